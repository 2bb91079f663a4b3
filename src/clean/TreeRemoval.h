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
// The deletion of each opened entry is CEntryDeletion's.
#pragma once

#include "clean/EntryDeletion.h"
#include "clean/RemovalRules.h"
#include "clean/RunProgress.h"
#include "framework/DirectoryListing.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

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
    // The system refused to delete the entry itself: something uses it (a
    // running program's file, a mapped view), so its holders are worth asking.
    bool inUse = false;
    // Its read-only bit, cleared for the deletion, could not be put back.
    DWORD restoreError = ERROR_SUCCESS;
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
    // (also when it is not there, is a file or is a link), -1 when an entry
    // did not go, or the folder cannot be opened, listed or looked up in its
    // parent, or its drive or parent cannot be reached. The folder itself
    // stays.
    int EmptyTree(const std::wstring& folder);

    // Removes the folder itself (a link only as itself), emptying it once
    // more where entries are still pending: 0, -1, or kGone when it is no
    // longer there. Shares the retry budget of EmptyTree.
    int RemoveTop(const std::wstring& folder);

    // Lists the folder as EmptyTree and RemoveTop together would remove it,
    // through the same listings and checks, and changes nothing: kRemoved
    // with the counts (the folder itself among the folders; a link counts
    // as the one folder that would go), kGone when it is not there or is a
    // file, -1 when a part could not be read to the end (Failure says which).
    int ListTree(const std::wstring& folder);
    const FolderCounts& Counted() const noexcept { return m_counts; }

    const RemovalFailure& Failure() const noexcept { return m_failure; }
    // All pauses before retries so far, in milliseconds.
    unsigned PausedMs() const noexcept { return m_budget.SpentMs(); }

    // Told of every entry that went (or in a listing, was counted); none in
    // a silent run.
    IRunProgress* progress = nullptr;

    // For tests only: called with a folder's path and an entry's name after
    // the folder was listed and before the entry is opened.
    std::function<void(const std::wstring& folder, std::wstring_view name)> beforeOpen;
    // How a pause before a retry is spent; tests count them instead.
    std::function<void(unsigned milliseconds)> pause = [](unsigned milliseconds) { ::Sleep(milliseconds); };
    // For tests only, standing in for answers only Windows gives to the
    // calls on an opened entry.
    EntryCallHooks refuse;
    // For tests only: the code a folder's listing ended with
    // (ERROR_NO_MORE_FILES at its end), and the one the removal takes; the
    // folder is the parent for the top's look-up.
    std::function<DWORD(const std::wstring& folder, DWORD error)> listingEnded;
    // For tests only: the error a file system that refuses a listing class
    // gives for this folder's listing, or ERROR_SUCCESS.
    std::function<DWORD(const std::wstring& folder, fw::ListingClass listing)> listingRefused;

private:
    // One try at an entry: None when it went; recorded when a failure
    // further down was already recorded and there is nothing to retry.
    struct Attempt {
        RemovalFailure::Reason reason = RemovalFailure::Reason::None;
        DWORD error = ERROR_SUCCESS;
        bool recorded = false;
        bool gone = false;   // someone else removed it meanwhile
        bool inUse = false;  // the system refused to delete the entry itself
        DWORD restoreError = ERROR_SUCCESS;
    };
    // The top folder as its parent's listing shows it.
    struct TopEntry {
        fw::UniqueFile parent;
        std::wstring name;
        std::optional<fw::CDirectoryListing> listing;  // of the name, on its entry
    };

    int EmptyFolder(HANDLE folder, int depth);
    int RemoveEntry(HANDLE parent, const fw::DirectoryEntry& entry, int depth);
    // In a listing: the entry counted, a folder's entries first.
    int ListEntry(HANDLE parent, const fw::DirectoryEntry& entry, EntryKind kind, int depth);
    Attempt RemoveFile(HANDLE parent, const fw::DirectoryEntry& entry);
    Attempt RemoveDirectory(HANDLE parent, const fw::DirectoryEntry& entry, EntryKind kind, int depth);
    Attempt OpenDirectory(HANDLE parent, const fw::DirectoryEntry& entry, ACCESS_MASK access, fw::UniqueFile& file);
    // Deletes the open entry, whose attributes are given; reopen opens it
    // again with FILE_WRITE_ATTRIBUTES for an entry that became read-only
    // after it was listed.
    template <class Reopen>
    Attempt Delete(fw::UniqueFile& file, DWORD attributes, Reopen reopen);
    // What an open's error means: gone, changed (the entry is now of the
    // other kind) or a failure.
    Attempt Opening(DWORD error, DWORD wrongKind) const noexcept;
    int Stay(RemovalFailure::Reason reason, DWORD error, std::wstring_view name, const Attempt* attempt = nullptr);
    fw::CDirectoryListing Listing(HANDLE folder, std::wstring_view name = {});
    // Finds the top folder: kRemoved with its entry, kGone when it is
    // simply not there, kStayed (recorded) when its parent cannot be
    // reached, opened or listed, or it names no single entry. The path to
    // report is then the folder's own.
    int FindTop(const std::wstring& folder, TopEntry& top);

    fw::CNtFile m_nt;
    // The folder being worked on, for reports and for the test hooks.
    std::wstring m_path;
    CEntryDeletion m_deletion{m_nt, refuse};
    CRetryBudget m_budget;
    RemovalFailure m_failure;
    // A listing counts instead of deleting.
    bool m_listing = false;
    FolderCounts m_counts;
};

}  // namespace cleaner
