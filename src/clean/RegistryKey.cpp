// src/clean/RegistryKey.cpp
// The one way the program deletes registry data, and the registry view test.
// The program is 32-bit: on a 64-bit system HKEY_LOCAL_MACHINE\Software
// would show it the redirected 32-bit view, so every access there asks for
// the 64-bit view explicitly. HKEY_CURRENT_USER never gets a view flag.
#include "app/CleanerApp.h"

#include <shlwapi.h>

namespace {
constexpr REGSAM kDeleteAccess = KEY_READ | KEY_WRITE;
}

BOOL CCleanerApp::HasWow6432Node()
{
    fw::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node", 0, KEY_READ | KEY_WOW64_64KEY, key.put()) !=
        ERROR_SUCCESS)
        return FALSE;
    return TRUE;
}

REGSAM CCleanerApp::MachineViewFlag()
{
    return HasWow6432Node() ? KEY_WOW64_64KEY : 0;
}

void CCleanerApp::DeleteRegistryKey(HKEY root, std::wstring path)
{
    const size_t slash = path.rfind(L'\\');
    const std::wstring parent = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    const std::wstring leaf = slash == std::wstring::npos ? path : path.substr(slash + 1);

    const REGSAM access = root == HKEY_LOCAL_MACHINE ? (kDeleteAccess | MachineViewFlag()) : kDeleteAccess;
    fw::UniqueKey key;
    if (::RegOpenKeyExW(root, parent.c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        return;
    ::SHDeleteKeyW(key.get(), leaf.c_str());
}
