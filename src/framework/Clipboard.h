// src/framework/Clipboard.h
// Text put on the clipboard, as Ctrl+C in a message box puts its text there.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// False when the clipboard is held by another program or no memory is left.
bool CopyTextToClipboard(HWND owner, const std::wstring& text) noexcept;

}  // namespace fw
