// tests/support/TestRegistry.cpp
#include "support/TestRegistry.h"

#include "framework/Handle.h"
#include "framework/Registry.h"

#include <sddl.h>

#include <stdexcept>
#include <vector>

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

// Clean-up: below first, each key as itself through its own handle; what
// will not go stays, since the outcome does not matter here.
void DeleteBelow(const fw::CKeyDeleter& deleter, HKEY key, REGSAM view, int depth)
{
    if (depth < fw::kMaxKeyDepth && !fw::IsLinkKey(key)) {
        for (const std::wstring& name : fw::SubkeyNames(key)) {
            fw::UniqueKey child;
            if (fw::OpenKeyItself(key, name, DELETE | KEY_ENUMERATE_SUB_KEYS | view, child) == ERROR_SUCCESS)
                DeleteBelow(deleter, child.get(), view, depth + 1);
        }
    }
    deleter.Delete(key);
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

// The key's name in the system's own namespace, as a link names its target.
std::wstring SystemName(HKEY root, const std::wstring& path)
{
    if (root == HKEY_LOCAL_MACHINE)
        return L"\\Registry\\Machine\\" + path;
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        throw std::runtime_error("cannot open the process token");
    const fw::UniqueKernelHandle owner(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<LONGLONG> buffer(size / sizeof(LONGLONG) + 1);
    wchar_t* sid = nullptr;
    if (!::GetTokenInformation(token, TokenUser, buffer.data(), size, &size) ||
        !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid))
        throw std::runtime_error("cannot read the user's SID");
    const fw::UniqueLocal sidText(sid);
    return L"\\Registry\\User\\" + std::wstring(sid) + L"\\" + path;
}

}  // namespace

void CreateLink(HKEY root, const std::wstring& link, const std::wstring& target, View view)
{
    fw::UniqueKey key;
    if (::RegCreateKeyExW(root, link.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK,
                          KEY_CREATE_LINK | KEY_SET_VALUE | ViewFlag(root, view), nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create a registry link");
    // The target's name without a terminator.
    const std::wstring name = SystemName(root, target);
    if (::RegSetValueExW(key.get(), L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(name.c_str()),
                         static_cast<DWORD>(name.size() * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw std::runtime_error("cannot point a registry link");
}

bool LinkExists(HKEY root, const std::wstring& path, View view)
{
    fw::UniqueKey key;
    bool isLink = false;
    return fw::OpenKeyPathItself(root, path, KEY_READ, ViewFlag(root, view), key, isLink) == ERROR_SUCCESS && isLink;
}

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
    // Links left by a test go as themselves, never with what they name.
    fw::UniqueKey key;
    bool isLink = false;
    if (fw::OpenKeyPathItself(root, path, DELETE | KEY_ENUMERATE_SUB_KEYS, ViewFlag(root, view), key, isLink) ==
        ERROR_SUCCESS)
        DeleteBelow(fw::CKeyDeleter(), key.get(), ViewFlag(root, view), 0);
}

void ClearMakerTrees()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const wchar_t* key : {L"Software\\Velmora", L"Software\\VelmoraX", L"Software\\Other",
                                   L"Software\\OtherVendor", L"TopLevelTestKey"})
            DeleteKeyTree(root, key);
    }
    DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\Velmora", View::Bits32);
}

bool Is64BitSystem()
{
    return KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node", View::Bits64);
}

}  // namespace testing_support
