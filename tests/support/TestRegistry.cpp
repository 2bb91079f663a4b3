// tests/support/TestRegistry.cpp
#include "support/TestRegistry.h"

#include "framework/Handle.h"

#include <stdexcept>

namespace testing_support {
namespace {

REGSAM ViewFlag(HKEY root, View view)
{
    if (root != HKEY_LOCAL_MACHINE)
        return 0;
    switch (view) {
    case View::Bits64: return KEY_WOW64_64KEY;
    case View::Bits32: return KEY_WOW64_32KEY;
    default: return 0;
    }
}

void Collect(HKEY root, const std::wstring& path, REGSAM flag, std::set<std::wstring>& out)
{
    fw::UniqueKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | flag, key.put()) != ERROR_SUCCESS)
        return;
    out.insert(path);
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        Collect(root, path + L"\\" + name, flag, out);
    }
}

}  // namespace

void CreateKey(HKEY root, const std::wstring& path, View view)
{
    fw::UniqueKey key;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | ViewFlag(root, view), nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create a registry key");
}

void SetStringValue(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& data,
                    View view)
{
    fw::UniqueKey key;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | ViewFlag(root, view), nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create a registry key");
    ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

bool KeyExists(HKEY root, const std::wstring& path, View view)
{
    fw::UniqueKey key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | ViewFlag(root, view), key.put()) == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const std::wstring& path, const std::wstring& name, View view)
{
    fw::UniqueKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | ViewFlag(root, view), key.put()) != ERROR_SUCCESS)
        return false;
    return ::RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::set<std::wstring> KeysBelow(HKEY root, const std::wstring& path, View view)
{
    std::set<std::wstring> keys;
    Collect(root, path, ViewFlag(root, view), keys);
    return keys;
}

void DeleteKeyTree(HKEY root, const std::wstring& path, View view)
{
    const size_t slash = path.rfind(L'\\');
    fw::UniqueKey parent;
    if (::RegOpenKeyExW(root, path.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | ViewFlag(root, view),
                        parent.put()) != ERROR_SUCCESS)
        return;
    ::RegDeleteTreeW(parent.get(), path.substr(slash + 1).c_str());
    ::RegDeleteKeyExW(parent.get(), path.substr(slash + 1).c_str(), ViewFlag(root, view), 0);
}

void ClearMakerTrees()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const wchar_t* key : {L"Software\\Velmora", L"Software\\VelmoraX", L"Software\\Other", L"TopLevelTestKey"})
            DeleteKeyTree(root, key);
    }
    DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\Velmora", View::Bits32);
}

bool Is64BitSystem()
{
    return KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node", View::Bits64);
}

}  // namespace testing_support
