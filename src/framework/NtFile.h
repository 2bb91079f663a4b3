// src/framework/NtFile.h
// The few NT file calls that Win32 has no counterpart for: opening a name
// relative to a directory handle, listing a directory with file ids (all
// of it, or the one entry of a given name), and reading a handle's file id.
// They are loaded from ntdll at run time, so that no build needs ntdll's
// import library. Every result is a Win32 error code.
#pragma once

#include "framework/Handle.h"

#include <string_view>

namespace fw {

// Open options of NtOpenFile (ntifs.h).
constexpr ULONG kNtDirectoryFile = 0x00000001;
constexpr ULONG kNtSynchronousIo = 0x00000020;  // FILE_SYNCHRONOUS_IO_NONALERT: needs SYNCHRONIZE
constexpr ULONG kNtNonDirectoryFile = 0x00000040;
constexpr ULONG kNtDeleteOnClose = 0x00001000;     // needs DELETE; the name goes with the last handle
constexpr ULONG kNtOpenReparsePoint = 0x00200000;  // the link itself, never its target

// What OpenRelative gives for a directory opened with kNtNonDirectoryFile
// (ERROR_DIRECTORY_NOT_SUPPORTED). The system's own mapping, access denied,
// would hide that the entry changed; a file opened with kNtDirectoryFile
// gives ERROR_DIRECTORY.
constexpr DWORD kErrorIsADirectory = 336;

class CNtFile {
public:
    CNtFile() noexcept;

    // False when ntdll lacks one of the calls; every call then fails with
    // ERROR_PROC_NOT_FOUND.
    bool IsLoaded() const noexcept;

    // Opens the entry named exactly so (case-sensitively where the file
    // system can tell) in the directory, shared for reading, writing and
    // deletion. A name being deleted gives ERROR_DELETE_PENDING, one that
    // is gone ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND. The owner stays
    // empty on failure.
    DWORD OpenRelative(HANDLE directory, std::wstring_view name, ACCESS_MASK access, ULONG options,
                       UniqueFile& file) const noexcept;

    // Fills the buffer with the next FILE_ID_BOTH_DIR_INFORMATION records
    // of a synchronous directory handle, in the order the file system keeps
    // them. With a name, only the entry of that name; the system heeds a
    // name only in the first query of a handle. ERROR_NO_MORE_FILES at the
    // end, ERROR_FILE_NOT_FOUND when the name is not there.
    DWORD QueryDirectory(HANDLE directory, void* buffer, ULONG size, bool restart, std::wstring_view name = {}) const
        noexcept;

    // The file id (the index number of FileInternalInformation), the same
    // number a listing shows for the entry.
    DWORD QueryFileId(HANDLE file, LONGLONG& id) const noexcept;

private:
    using OpenFn = LONG(WINAPI*)(HANDLE*, ACCESS_MASK, void*, void*, ULONG, ULONG);
    using QueryDirectoryFn = LONG(WINAPI*)(HANDLE, HANDLE, void*, void*, void*, void*, ULONG, int, BOOLEAN, void*,
                                           BOOLEAN);
    using QueryInformationFn = LONG(WINAPI*)(HANDLE, void*, void*, ULONG, int);
    using StatusToErrorFn = ULONG(WINAPI*)(LONG);

    DWORD ErrorOf(LONG status) const noexcept;

    OpenFn m_open = nullptr;
    QueryDirectoryFn m_queryDirectory = nullptr;
    QueryInformationFn m_queryInformation = nullptr;
    StatusToErrorFn m_statusToError = nullptr;
};

}  // namespace fw
