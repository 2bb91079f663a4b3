// src/framework/DirectoryListing.h
// The entries of a directory, read through its handle in the order the file
// system keeps them, a buffer at a time. Names, attributes and file ids
// come straight from the listing; nothing is looked up by path.
#pragma once

#include "framework/NtFile.h"

#include <functional>
#include <string_view>
#include <vector>

namespace fw {

struct DirectoryEntry {
    std::wstring_view name;  // valid until the next call of Next
    DWORD attributes = 0;
    LONGLONG fileId = 0;     // 0 where the file system keeps no ids, or the listing gives none
    DWORD reparseTag = 0;    // for a reparse point; 0 otherwise (and for Wine's Unix links)
    ULONGLONG size = 0;      // the end of file's data, in bytes

    bool IsDirectory() const noexcept { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // Links, but also cloud, deduplicated and other folders: the tag tells.
    bool IsReparsePoint() const noexcept { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

class CDirectoryListing {
public:
    // For tests only, standing in for a file system that refuses a listing
    // class: the error to take instead of asking (ERROR_SUCCESS lets the
    // system answer).
    using ClassRefusal = std::function<DWORD(ListingClass)>;

    // The handle must be synchronous and opened with FILE_LIST_DIRECTORY.
    // With a name, the listing holds at most the entry of that name; the
    // system takes a name only in the first listing of a handle.
    CDirectoryListing(const CNtFile& nt, HANDLE directory, std::wstring_view name = {}, ClassRefusal refusal = {});

    // Moves to the next entry; false at the end or when the listing failed.
    bool Next();
    const DirectoryEntry& Entry() const noexcept { return m_entry; }
    // ERROR_NO_MORE_FILES after the end (ERROR_FILE_NOT_FOUND for a name
    // that is not there, or a folder without "." and ".."); another code
    // when listing failed.
    DWORD Error() const noexcept { return m_error; }
    // Whether the listing ended because it reached the end, not because it
    // failed.
    bool Ended() const noexcept { return m_error == ERROR_NO_MORE_FILES || m_error == ERROR_FILE_NOT_FOUND; }

private:
    bool Fill();
    DWORD Query();

    const CNtFile& m_nt;
    HANDLE m_directory;
    std::wstring_view m_name;
    ClassRefusal m_refusal;
    ListingClass m_class = ListingClass::WithIds;
    // 8-byte aligned, as the records are.
    std::vector<LONGLONG> m_buffer;
    size_t m_offset = 0;
    bool m_haveBatch = false;
    bool m_restart = true;
    DWORD m_error = ERROR_SUCCESS;
    DirectoryEntry m_entry;
};

}  // namespace fw
