// src/clean/RegistryKey.cpp
// The one way the program deletes registry data, and the registry view test.
// The program is 32-bit: on a 64-bit system HKEY_LOCAL_MACHINE\Software
// would show it the redirected 32-bit view, so every access there asks for
// the 64-bit view explicitly. HKEY_CURRENT_USER never gets a view flag.
//
// The per-user tree is writable by the user and by anything the user runs,
// while the cleaner may run elevated: every key is opened as itself, so that
// a registry link planted there goes as the link and nothing it names is
// touched.
#include "app/CleanerApp.h"

#include "framework/Registry.h"

namespace {

bool IsGone(LONG error) noexcept
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_KEY_DELETED;
}

bool HasOpenableSubkey(HKEY key, REGSAM view)
{
    for (const std::wstring& name : fw::SubkeyNames(key)) {
        fw::UniqueKey child;
        if (!IsGone(fw::OpenKeyItself(key, name, KEY_ENUMERATE_SUB_KEYS | view, child)))
            return true;
    }
    return false;
}

// Counts the key and all below it as the deletion would reach them: a link
// as itself, never entered. The first key that cannot be read ends it.
LONG CountKeyAndBelow(HKEY key, REGSAM view, int depth, const std::wstring& path, unsigned long long& keys,
                      unsigned long long& values, std::wstring& failedAt)
{
    ++keys;
    DWORD count = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                           nullptr, nullptr) == ERROR_SUCCESS)
        values += count;
    if (depth >= fw::kMaxKeyDepth || fw::IsLinkKey(key))
        return ERROR_SUCCESS;
    for (const std::wstring& name : fw::SubkeyNames(key)) {
        fw::UniqueKey child;
        const LONG opened = fw::OpenKeyItself(key, name, KEY_ENUMERATE_SUB_KEYS | view, child);
        if (IsGone(opened))
            continue;
        const std::wstring childPath = path + L'\\' + name;
        const LONG counted = opened == ERROR_SUCCESS
                                 ? CountKeyAndBelow(child.get(), view, depth + 1, childPath, keys, values, failedAt)
                                 : opened;
        if (counted != ERROR_SUCCESS) {
            if (failedAt.empty())
                failedAt = childPath;
            return counted;
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace

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

LONG CCleanerApp::DeleteKeyItself(HKEY, const std::wstring&, HKEY key) { return m_keyDeleter.Delete(key); }

const wchar_t* CCleanerApp::RootName(HKEY root) noexcept
{
    return root == HKEY_LOCAL_MACHINE ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CURRENT_USER\\";
}

void CCleanerApp::ListRegistryKey(HKEY root, const std::wstring& path)
{
    const REGSAM view = root == HKEY_LOCAL_MACHINE ? MachineViewFlag() : 0;
    const std::wstring rootName = RootName(root);
    fw::UniqueKey key;
    bool isLink = false;
    // Read only: a listing changes nothing.
    const LONG opened = fw::OpenKeyPathItself(root, path, KEY_ENUMERATE_SUB_KEYS, view, key, isLink);
    if (IsGone(opened))
        return;
    cleaner::ListedEntry entry{cleaner::ListedEntry::Kind::Key, rootName + path};
    std::wstring failedAt;
    const LONG counted = opened == ERROR_SUCCESS
                             ? CountKeyAndBelow(key.get(), view, 0, path, entry.keys, entry.values, failedAt)
                             : opened;
    if (counted != ERROR_SUCCESS) {
        cleaner::ListedEntry unlisted{cleaner::ListedEntry::Kind::Unlisted,
                                      rootName + (failedAt.empty() ? path : failedAt)};
        unlisted.code = static_cast<unsigned long>(counted);
        unlisted.note = CRunReport::SystemMessage(static_cast<DWORD>(counted), unlisted.path);
        RecordListed(unlisted);
        return;
    }
    RecordListed(entry);
}

std::optional<cleaner::KeyFailure> CCleanerApp::DeleteRegistryKey(HKEY root, std::wstring path)
{
    if (m_listing) {
        ListRegistryKey(root, path);
        return std::nullopt;
    }
    const REGSAM view = root == HKEY_LOCAL_MACHINE ? MachineViewFlag() : 0;
    fw::UniqueKey key;
    bool isLink = false;
    const LONG opened = fw::OpenKeyPathItself(root, path, DELETE | KEY_ENUMERATE_SUB_KEYS, view, key, isLink);
    // A key that is not there is as gone as one removed.
    if (IsGone(opened))
        return std::nullopt;
    if (opened != ERROR_SUCCESS)
        return cleaner::KeyFailure{static_cast<unsigned long>(opened), path, false};
    // One budget for the whole tree, as for a top folder.
    cleaner::CRetryBudget budget;
    std::optional<cleaner::KeyFailure> failure;
    DeleteKeyAndBelow(root, path, key.get(), view, 0, budget, failure);
    return failure;
}

// Below first, then the key; siblings of a key that stayed are still
// removed, but not the keys above it, which cannot go while it is there.
bool CCleanerApp::DeleteKeyAndBelow(HKEY root, const std::wstring& path, HKEY key, REGSAM view, int depth,
                                    cleaner::CRetryBudget& budget, std::optional<cleaner::KeyFailure>& failure)
{
    const auto stay = [&](LONG error, const std::wstring& at, bool keysAdded) {
        if (!failure)
            failure = cleaner::KeyFailure{static_cast<unsigned long>(error), at, keysAdded};
        return false;
    };
    for (;;) {
        bool below = true;
        bool listed = false;
        // A link is never entered: it goes as itself.
        if (depth < fw::kMaxKeyDepth && !fw::IsLinkKey(key)) {
            for (const std::wstring& name : fw::SubkeyNames(key)) {
                if (m_progress)
                    m_progress->Tick();
                const std::wstring childPath = path + L'\\' + name;
                fw::UniqueKey child;
                const LONG opened = fw::OpenKeyItself(key, name, DELETE | KEY_ENUMERATE_SUB_KEYS | view, child);
                if (IsGone(opened))
                    continue;
                listed = true;
                if (opened != ERROR_SUCCESS)
                    below = stay(opened, childPath, false);
                else if (!DeleteKeyAndBelow(root, childPath, child.get(), view, depth + 1, budget, failure))
                    below = false;
            }
        }
        if (!below)
            return false;
        const LONG deleted = DeleteKeyItself(root, path, key);
        if (deleted == ERROR_SUCCESS || IsGone(deleted))
            return true;
        // Refused because it has subkeys again: another program added them
        // meanwhile (an installer, the product's last child). Listed again
        // within the budget; a writer that never stops does not hold the
        // run for longer. Subkeys that the listing never served (a name no
        // Win32 call can open, with a zero inside) are no writer's: the
        // key stays for the reason the system gave.
        const bool keysAdded = deleted == ERROR_ACCESS_DENIED && fw::HasSubkeys(key);
        if (!keysAdded || (!listed && !HasOpenableSubkey(key, view)))
            return stay(deleted, path, false);
        const auto pauseMs = budget.NextPause();
        if (!pauseMs)
            return stay(deleted, path, true);
        if (m_progress)
            m_progress->Pause(*pauseMs);
        else
            ::Sleep(*pauseMs);
    }
}
