// src/clean/TreeRemoval.h
// Emptying a folder tree through handles, so that nothing swapped in while
// it works (a link in place of a sub-folder, say) can steer it elsewhere.
//
// The top folder is found in its parent's listing and opened relative to
// the parent; every entry below is opened relative to its folder's handle,
// never following a link, and checked through the new handle against what
// the listing showed (the same file id, a reparse point exactly where the
// listing showed one) before it is emptied or deleted. Once checked, an
// entry is reached only through its handle.
#pragma once

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
    // Deeper folders count as entries that did not go: every level holds an
    // open handle and a listing, and no profile folder is nested this deep.
    static constexpr int kMaxDepth = 256;

    // Empties the folder; 0 when it holds nothing more that is removed
    // (also when it is missing, cannot be listed, is a file or is a link),
    // -1 when an entry did not go. The folder itself stays.
    int EmptyTree(const std::wstring& folder);

    const RemovalFailure& Failure() const noexcept { return m_failure; }

    // For tests only: called with a folder's path and an entry's name after
    // the folder was listed and before the entry is opened.
    std::function<void(const std::wstring& folder, std::wstring_view name)> beforeOpen;

private:
    enum class Opened { Yes, Gone, Failed };

    Opened OpenChecked(HANDLE parent, const fw::DirectoryEntry& entry, ACCESS_MASK access, fw::UniqueFile& file,
                       DWORD& attributes);
    int EmptyFolder(HANDLE folder, int depth);
    int RemoveEntry(HANDLE parent, const fw::DirectoryEntry& entry, int depth);
    bool Delete(HANDLE file, DWORD& error);
    int Stay(RemovalFailure::Reason reason, DWORD error, std::wstring_view name);

    fw::CNtFile m_nt;
    // The folder being worked on, for reports and for the test hook.
    std::wstring m_path;
    // Unknown until the first deletion; off on systems without it.
    bool m_posixDelete = true;
    RemovalFailure m_failure;
};

}  // namespace cleaner
