// src/framework/Registry.h
// Reading an open registry key, and keys as themselves: a registry link (a
// key whose "SymbolicLinkValue" of type REG_LINK names another key) is
// opened, told and deleted as the link, never as the key it names.
#pragma once

#include "framework/Handle.h"

#include <string>
#include <vector>

namespace fw {

// The registry nests no deeper than this.
constexpr int kMaxKeyDepth = 512;

// The names of the key's direct subkeys in enumeration order. Every legal
// name (up to 255 characters) is read whole; the list ends at the first index
// the system does not serve: after the last subkey, or at any error.
std::vector<std::wstring> SubkeyNames(HKEY key);

// Opens the direct subkey of that name (no backslash in it) as itself: a
// link is opened as the link. KEY_QUERY_VALUE is added, for IsLinkKey.
LONG OpenKeyItself(HKEY parent, const std::wstring& name, REGSAM access, UniqueKey& key);

// Opens a path below the root key by key, each as itself: a path through a
// link is not there (ERROR_FILE_NOT_FOUND); the last key may be a link,
// and then isLink is set. The access (with its view flag) is asked for the
// last key; the view flag is given to every key on the way.
LONG OpenKeyPathItself(HKEY root, const std::wstring& path, REGSAM access, REGSAM view, UniqueKey& key,
                       bool& isLink);

// True when the key, opened as itself, is a link.
bool IsLinkKey(HKEY key);

// True when the key has subkeys now (a key that cannot be asked counts as
// having none).
bool HasSubkeys(HKEY key);

// Deletes one key through its own handle (NtDeleteKey, loaded from ntdll at
// run time): a link goes as itself and nothing behind it is touched, which
// RegDeleteKeyW, opening the name again, would not promise. The key must
// have been opened with DELETE; one that still has subkeys is refused
// (ERROR_ACCESS_DENIED), and one deleted meanwhile gives ERROR_KEY_DELETED.
class CKeyDeleter {
public:
    CKeyDeleter() noexcept;
    LONG Delete(HKEY key) const noexcept;

private:
    using DeleteFn = LONG(WINAPI*)(HANDLE);
    using StatusToErrorFn = ULONG(WINAPI*)(LONG);
    DeleteFn m_delete = nullptr;
    StatusToErrorFn m_statusToError = nullptr;
};

}  // namespace fw
