// src/framework/Registry.cpp
#include "framework/Registry.h"

#include "framework/ProcAddress.h"

namespace fw {

std::vector<std::wstring> SubkeyNames(HKEY key)
{
    constexpr DWORD kNameBufferSize = 256;
    std::vector<std::wstring> names;
    wchar_t name[kNameBufferSize];
    for (DWORD index = 0; ::RegEnumKeyW(key, index, name, kNameBufferSize) == ERROR_SUCCESS; ++index)
        names.emplace_back(name);
    return names;
}

LONG OpenKeyItself(HKEY parent, const std::wstring& name, REGSAM access, UniqueKey& key)
{
    key.reset();
    // A path would be followed through every link but its last key.
    if (name.empty() || name.find(L'\\') != std::wstring::npos)
        return ERROR_INVALID_NAME;
    return ::RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access | KEY_QUERY_VALUE, key.put());
}

LONG OpenKeyPathItself(HKEY root, const std::wstring& path, REGSAM access, REGSAM view, UniqueKey& key,
                       bool& isLink)
{
    key.reset();
    isLink = false;
    HKEY current = root;
    UniqueKey held;
    for (size_t start = 0;;) {
        const size_t end = path.find(L'\\', start);
        const bool last = end == std::wstring::npos;
        const std::wstring name = path.substr(start, last ? std::wstring::npos : end - start);
        UniqueKey next;
        const LONG result = OpenKeyItself(current, name, (last ? access : KEY_ENUMERATE_SUB_KEYS) | view, next);
        if (result != ERROR_SUCCESS)
            return result;
        const bool link = IsLinkKey(next.get());
        if (last) {
            isLink = link;
            key = std::move(next);
            return ERROR_SUCCESS;
        }
        if (link)
            return ERROR_FILE_NOT_FOUND;
        held = std::move(next);
        current = held.get();
        start = end + 1;
    }
}

bool IsLinkKey(HKEY key)
{
    DWORD type = REG_NONE;
    const LONG result = ::RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
    return (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && type == REG_LINK;
}

bool HasSubkeys(HKEY key)
{
    DWORD subkeys = 0;
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys > 0;
}

CKeyDeleter::CKeyDeleter() noexcept
{
    if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll")) {
        m_delete = LoadProc<DeleteFn>(ntdll, "NtDeleteKey");
        m_statusToError = LoadProc<StatusToErrorFn>(ntdll, "RtlNtStatusToDosError");
    }
}

LONG CKeyDeleter::Delete(HKEY key) const noexcept
{
    if (m_delete == nullptr || m_statusToError == nullptr)
        return ERROR_PROC_NOT_FOUND;
    const LONG status = m_delete(key);
    return status >= 0 ? ERROR_SUCCESS : static_cast<LONG>(m_statusToError(status));
}

}  // namespace fw
