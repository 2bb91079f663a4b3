// src/framework/DllSearch.h
// Where the process looks for a DLL that it loads at run time.
#pragma once

#include <windows.h>

namespace fw {

// From now on only the system folder: never the program's own folder (a
// shared tools folder, Downloads) nor the current one, where anyone may put
// a DLL that would run inside the program, elevated where it is. Called
// first thing at start-up.
void RestrictDllSearch() noexcept;

// A DLL of the system folder; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name) noexcept;

}  // namespace fw
