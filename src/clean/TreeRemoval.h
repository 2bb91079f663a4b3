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
        Unreachable,  // its drive or a folder above it cannot be reached: error holds why
    };
    Reason reason = Reason::None;
    DWORD error = ERROR_SUCCESS;
    std::wstring entry;  // full path of the first entry that did not go
    // Opened for deletion, then refused it: something uses the entry (a
    // running program's file, a mapped view), so its holders are worth asking.
    bool inUse = false;
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
    // (also when it is not there, cannot be opened, is a file or is a link),
    // -1 when an entry did not go or the folder's drive or parent cannot be
    // reached. The folder itself stays.
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
    // For tests only, standing in for refusals that only Windows makes: an
    // error to take instead of disposing of the open entry (flags of
    // FileDispositionInfoEx, 0 for the classic disposition), or
    // ERROR_SUCCESS to let the system answer.
    std::function<DWORD(HANDLE entry, DWORD flags)> beforeDisposition;
    // For tests only: the code a folder's listing ended with
    // (ERROR_NO_MORE_FILES at its end), and the one the removal takes.
    std::function<DWORD(const std::wstring& folder, DWORD error)> listingEnded;

private:
    // One try at an entry: None when it went; recorded when a failure
    // further down was already recorded and there is nothing to retry.
    struct Attempt {
        RemovalFailure::Reason reason = RemovalFailure::Reason::None;
        DWORD error = ERROR_SUCCESS;
        bool recorded = false;
        bool gone = false;  // someone else removed it meanwhile
        bool inUse = false;  // opened for deletion, then refused it
    };

    int EmptyFolder(HANDLE folder, int depth);
    int RemoveEntry(HANDLE parent, const fw::DirectoryEntry& entry, int depth);
    Attempt RemoveFile(HANDLE parent, const fw::DirectoryEntry& entry);
    Attempt RemoveDirectory(HANDLE parent, const fw::DirectoryEntry& entry, EntryKind kind, int depth);
    Attempt OpenDirectory(HANDLE parent, const fw::DirectoryEntry& entry, ACCESS_MASK access, fw::UniqueFile& file);
    // Deletes the open entry, whose listed attributes are given: a read-only
    // one as well, its bit put back when it stays.
    Attempt Delete(HANDLE file, DWORD attributes);
    DWORD Dispose(HANDLE file, DWORD flags);
    // What an open's error means: gone, changed (the entry is now of the
    // other kind) or a failure.
    Attempt Opening(DWORD error, DWORD wrongKind) const noexcept;
    int Stay(RemovalFailure::Reason reason, DWORD error, std::wstring_view name, bool inUse = false);
    // True with the parent open. Else unreachable tells why the parent
    // cannot be reached, or is ERROR_SUCCESS for a folder that is simply not
    // there (or a root, or a name with wildcards). On failure the folder's
    // full path is the one reported.
    bool OpenParent(const std::wstring& folder, fw::UniqueFile& parent, std::wstring& name, DWORD& unreachable);

    fw::CNtFile m_nt;
    // The folder being worked on, for reports and for the test hook.
    std::wstring m_path;
    // Unknown until the first deletion; off on systems without it, and then
    // plain files are opened to go on close instead.
    bool m_posixDelete = true;
    // With POSIX deletion: whether the system can also ignore the read-only
    // bit (Windows 10 1809 and later) rather than have it cleared first.
    bool m_ignoreReadOnly = true;
    CRetryBudget m_budget;
    RemovalFailure m_failure;
};

}  // namespace cleaner
