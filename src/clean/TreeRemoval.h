// src/clean/TreeRemoval.h
// Removing a folder tree through handles, so that nothing swapped in while
// it works (a link in place of a sub-folder, say) can steer it elsewhere.
//
// The top folder is found in its parent's listing and opened relative to
// the parent; every entry below is opened relative to its folder's handle,
// never following a link. A directory is checked through the new handle
// against what the listing showed (the same file id where both are known,
// a reparse point of the same tag exactly where the listing showed one)
// before it is emptied or deleted. Anything else is opened as a
// non-directory that is the entry itself and deleted through that handle.
// Once checked, an entry is reached only through its handle.
//
// A file held for a moment and a folder whose deleted entries are still
// held get more tries, all of one top folder's together within one budget.
#pragma once

#include "clean/RemovalRules.h"
#include "clean/RunProgress.h"
#include "framework/NtFile.h"

#include <functional>
#include <string>
#include <string_view>

namespace fw {
struct DirectoryEntry;
}

namespace cleaner {

// Why the removal stopped, for the caller to report.
struct RemovalFailure {
    enum class Reason {
        None,
        SystemError,  // a call failed: error holds its code
        Changed,      // the entry was not the one the listing showed
        TooDeep,      // nested deeper than the removal goes
        ListedAgain,  // listed once more after it was taken for gone
    };
    Reason reason = Reason::None;
    DWORD error = ERROR_SUCCESS;
    std::wstring entry;  // full path of the first entry that did not go
};

class CTreeRemoval {
public:
    static constexpr int kRemoved = 0;
    static constexpr int kStayed = -1;
    // From RemoveTop: someone else removed the folder meanwhile.
    static constexpr int kGone = 1;
    // Deeper folders count as entries that did not go: every level holds an
    // open handle and a listing, and no profile folder is nested this deep.
    static constexpr int kMaxDepth = 256;

    // Empties the folder; 0 when it holds nothing more that is removed
    // (also when it is missing, cannot be listed, is a file or is a link),
    // -1 when an entry did not go. The folder itself stays.
    int EmptyTree(const std::wstring& folder);

    // Removes the folder itself (a link only as itself), emptying it once
    // more where entries are still pending: 0, -1, or kGone when it is no
    // longer there. Shares the retry budget of EmptyTree.
    int RemoveTop(const std::wstring& folder);

    const RemovalFailure& Failure() const noexcept { return m_failure; }
    // All pauses before retries so far, in milliseconds.
    unsigned PausedMs() const noexcept { return m_budget.SpentMs(); }

    // Told of every entry that went; none in a silent run.
    IRunProgress* progress = nullptr;

    // For tests only: called with a folder's path and an entry's name after
    // the folder was listed and before the entry is opened.
    std::function<void(const std::wstring& folder, std::wstring_view name)> beforeOpen;
    // How a pause before a retry is spent; tests count them instead.
    std::function<void(unsigned milliseconds)> pause = [](unsigned milliseconds) { ::Sleep(milliseconds); };

private:
    // One try at an entry: None when it went; recorded when a failure
    // further down was already recorded and there is nothing to retry.
    struct Attempt {
        RemovalFailure::Reason reason = RemovalFailure::Reason::None;
        DWORD error = ERROR_SUCCESS;
        bool recorded = false;
        bool gone = false;  // someone else removed it meanwhile
    };

    int EmptyFolder(HANDLE folder, int depth);
    int RemoveEntry(HANDLE parent, const fw::DirectoryEntry& entry, int depth);
    Attempt RemoveFile(HANDLE parent, const fw::DirectoryEntry& entry);
    Attempt RemoveDirectory(HANDLE parent, const fw::DirectoryEntry& entry, EntryKind kind, int depth);
    Attempt OpenDirectory(HANDLE parent, const fw::DirectoryEntry& entry, ACCESS_MASK access, fw::UniqueFile& file);
    Attempt Delete(HANDLE file);
    // What an open's error means: gone, changed (the entry is now of the
    // other kind) or a failure.
    Attempt Opening(DWORD error, DWORD wrongKind) const noexcept;
    int Stay(RemovalFailure::Reason reason, DWORD error, std::wstring_view name);
    bool OpenParent(const std::wstring& folder, fw::UniqueFile& parent, std::wstring& name);

    fw::CNtFile m_nt;
    // The folder being worked on, for reports and for the test hook.
    std::wstring m_path;
    // Unknown until the first deletion; off on systems without it, and then
    // plain files are opened to go on close instead.
    bool m_posixDelete = true;
    CRetryBudget m_budget;
    RemovalFailure m_failure;
};

}  // namespace cleaner
