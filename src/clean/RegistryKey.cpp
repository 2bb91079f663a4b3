// src/clean/RegistryKey.cpp
// The one way the program deletes registry data, and the registry view test.
// The program is 32-bit: on a 64-bit system HKEY_LOCAL_MACHINE\Software
// would show it the redirected 32-bit view, so every access there asks for
// the 64-bit view explicitly. HKEY_CURRENT_USER never gets a view flag.
//
// The per-user tree is writable by the user and by anything the user runs,
// while the cleaner runs elevated: every key is opened as itself, so that a
// registry link planted there goes as the link and nothing it names is
// touched.
#include "app/CleanerApp.h"

#include "framework/Registry.h"

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
    const REGSAM view = root == HKEY_LOCAL_MACHINE ? MachineViewFlag() : 0;
    fw::UniqueKey key;
    bool isLink = false;
    if (fw::OpenKeyPathItself(root, path, DELETE | KEY_ENUMERATE_SUB_KEYS, view, key, isLink) != ERROR_SUCCESS)
        return;
    fw::DeleteKeyAndBelow(key.get(), view);
}
