// src/clean/RemovalRules.h
// The decisions of the folder tree removal that need no platform: which
// directory entries are links, when two file ids disagree, which failures
// are a moment of use worth another try, and how long to wait for it.
// Portable: the Win32 values are spelled out here.
#pragma once

#include <cstdint>
#include <optional>

namespace cleaner {

enum class EntryKind {
    File,    // anything that is not a directory: deleted as itself
    Folder,  // listed and emptied, then removed
    Link,    // a directory that is never entered: only the entry itself goes
};

// A directory is a link when its reparse tag is a name surrogate (mount
// points, symbolic links and their kin name another place) or is 0 (Wine
// lists a Unix directory link with the reparse attribute and no tag). Cloud
// files, deduplication, WOF and projected folders carry tags without that
// bit: they are folders with children of their own.
EntryKind ClassifyEntry(std::uint32_t attributes, std::uint32_t reparseTag) noexcept;

// File systems without file ids give 0, which says nothing: two ids
// disagree only when both are known.
bool FileIdsDiffer(std::int64_t listed, std::int64_t opened) noexcept;

// What a listing counts in a top folder that would go.
struct FolderCounts {
    unsigned long long files = 0;
    unsigned long long folders = 0;  // the top folder among them
    unsigned long long bytes = 0;
};

// A file held for a moment (sharing or lock violation), and a folder whose
// deleted entries are still pending while someone holds them.
bool IsMomentOfUse(std::uint32_t error) noexcept;
bool IsPendingEntries(std::uint32_t error) noexcept;

// The pauses before retries of one top folder: each longer than the last,
// all of them together no longer than the budget.
class CRetryBudget {
public:
    static constexpr unsigned kBudgetMs = 1000;
    static constexpr unsigned kFirstPauseMs = 10;

    // The next pause, or nothing when the budget is spent.
    std::optional<unsigned> NextPause() noexcept;
    unsigned SpentMs() const noexcept { return m_spent; }

private:
    unsigned m_next = kFirstPauseMs;
    unsigned m_spent = 0;
};

}  // namespace cleaner
