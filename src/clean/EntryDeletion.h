// src/clean/EntryDeletion.h
// One entry that is open through its own handle: what it is, read through
// that handle, and its deletion, in the best form the system offers, with
// the read-only bit seen to, and what a refusal means.
#pragma once

#include "framework/NtFile.h"

#include <functional>

namespace cleaner {

// For tests only, standing in for answers that only Windows gives: each
// gives the answer to take instead of the call's own, or success (0) to let
// the system answer.
struct EntryCallHooks {
    // The status of a disposition: the flags of FileDispositionInfoEx, or
    // 0 for the classic disposition.
    std::function<LONG(HANDLE entry, DWORD flags)> disposition;
    // The error of setting the entry's attributes to these.
    std::function<DWORD(HANDLE entry, DWORD attributes)> setAttributes;
    // The error of reading an information class through the handle.
    std::function<DWORD(HANDLE entry, FILE_INFO_BY_HANDLE_CLASS infoClass)> query;
};

// What the handle tells of its entry.
struct EntryInformation {
    DWORD attributes = 0;
    DWORD reparseTag = 0;  // where the attributes show a reparse point
};

class CEntryDeletion {
public:
    struct Outcome {
        DWORD error = ERROR_SUCCESS;  // ERROR_SUCCESS: it goes when its handle closes
        bool gone = false;            // someone else removed it meanwhile
        // The system refused to delete the entry itself, which is not
        // read-only: something uses it through a mapping (a running
        // program's file, a mapped view) and lets go in its own time.
        bool inUse = false;
        // Refused because it became read-only after it was listed: opened
        // again with FILE_WRITE_ATTRIBUTES, it can be tried once more.
        bool nowReadOnly = false;
        // Its read-only bit, cleared for the try, could not be put back.
        DWORD restoreError = ERROR_SUCCESS;
    };

    CEntryDeletion(const fw::CNtFile& nt, const EntryCallHooks& hooks) noexcept : m_nt(nt), m_hooks(hooks) {}

    // The attributes, and the reparse tag only where they show a reparse
    // point: FAT and exFAT know no tags and refuse to be asked. The handle
    // needs FILE_READ_ATTRIBUTES.
    DWORD Read(HANDLE entry, EntryInformation& information) const;

    // Deletes the entry, whose attributes are given. A read-only one goes
    // with the system told to ignore the bit where it can (Windows 10 1809
    // and later); elsewhere the bit is cleared first, which needs
    // FILE_WRITE_ATTRIBUTES, and put back if the entry stays.
    Outcome Delete(HANDLE entry, DWORD attributes);

    // Whether the system is known to refuse POSIX deletion: plain files are
    // then opened to go when closed, in one call less.
    bool ClassicOnly() const noexcept { return !m_posixDelete; }

private:
    LONG Dispose(HANDLE entry, DWORD flags) const;
    DWORD SetAttributes(HANDLE entry, DWORD attributes) const;
    DWORD Query(HANDLE entry, FILE_INFO_BY_HANDLE_CLASS infoClass, void* data, DWORD size) const;

    const fw::CNtFile& m_nt;
    const EntryCallHooks& m_hooks;
    // Unknown until the first deletion; off on systems without it.
    bool m_posixDelete = true;
    // With POSIX deletion: whether the system can also ignore the read-only
    // bit rather than have it cleared first.
    bool m_ignoreReadOnly = true;
};

// Someone else removed the entry meanwhile, or is removing it.
bool IsGoneError(DWORD error) noexcept;

}  // namespace cleaner
