// src/framework/DllSearch.cpp
#include "framework/DllSearch.h"

#include "framework/ProcAddress.h"

#include <string>

namespace fw {
namespace {
// Windows 8, and Windows 7 and Vista with update KB2533623.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
}  // namespace

void RestrictDllSearch() noexcept
{
    const auto setDefault =
        LoadProc<SetDefaultDllDirectoriesFn>(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystem32))
        return;
    // Without it, at least the current folder leaves the search.
    ::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) noexcept
{
    if (HMODULE module = ::LoadLibraryExW(name, nullptr, kSearchSystem32))
        return module;
    // Only a system without the flag refuses it so (ERROR_INVALID_PARAMETER);
    // the full path of the system folder then, so that nothing of that name
    // elsewhere is loaded. Any other failure is the answer.
    if (::GetLastError() != ERROR_INVALID_PARAMETER)
        return nullptr;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    const std::wstring path = std::wstring(folder, length) + L'\\' + name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace fw
