// src/framework/Dpi.h
// The DPI a window is laid out at, which for a per-monitor aware program
// is its monitor's, and what is sized by it.
#pragma once

#include "framework/Handle.h"

namespace fw {

// The window's DPI (GetDpiForWindow, Windows 10 1607 and later, found at run
// time); before that, the system's.
UINT WindowDpi(HWND window) noexcept;

// A system icon (IDI_WARNING, say) drawn for the DPI, scaled down from a
// larger image rather than up from a smaller one; null when it cannot be
// loaded. Where that is not offered, the system's shared icon at its own
// size. owned holds the icon when it is the caller's to destroy, and stays
// empty for a shared one, which no one may destroy.
HICON LoadSystemIcon(const wchar_t* id, UINT dpi, UniqueIcon& owned) noexcept;

}  // namespace fw
