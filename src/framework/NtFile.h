// src/framework/NtFile.h
// The few NT file calls that Win32 has no counterpart for: opening a name
// relative to a directory handle, listing a directory with file ids (all
// of it, or the one entry of a given name), reading a handle's file id, and
// setting information with the system's own status, which tells refusals
// apart that Win32 maps to one error.
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

// NTSTATUS values the callers tell apart.
constexpr LONG kStatusAccessDenied = static_cast<LONG>(0xC0000022);
// A deletion refused for the entry itself: it is read-only, or in use
// through a mapping (a running program's file, a mapped view). Win32 makes
// access denied of it, as of a missing right.
constexpr LONG kStatusCannotDelete = static_cast<LONG>(0xC0000121);
constexpr LONG kStatusInvalidParameter = static_cast<LONG>(0xC000000D);

// How a listing describes its entries: with file ids, or in the plainer
// form without them, which every file system knows (some shares, NAS and
// third-party drivers refuse the first).
enum class ListingClass { WithIds, Plain };

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

    // Fills the buffer with the next records of a synchronous directory
    // handle, in the order the file system keeps them:
    // FILE_ID_BOTH_DIR_INFORMATION, or FILE_FULL_DIR_INFORMATION for the
    // plain class. With a name, only the entry of that name; the system
    // heeds a name only in the first query of a handle. ERROR_NO_MORE_FILES
    // at the end, ERROR_FILE_NOT_FOUND when the name is not there.
    DWORD QueryDirectory(HANDLE directory, ListingClass listing, void* buffer, ULONG size, bool restart,
                         std::wstring_view name = {}) const noexcept;

    // The file id (the index number of FileInternalInformation), the same
    // number a listing shows for the entry.
    DWORD QueryFileId(HANDLE file, LONGLONG& id) const noexcept;

    // NtSetInformationFile: the status itself, for a caller that must tell
    // refusals apart; ErrorOf gives the Win32 error for it.
    LONG SetInformation(HANDLE file, const void* data, ULONG size, int infoClass) const noexcept;
    DWORD ErrorOf(LONG status) const noexcept;

private:
    using OpenFn = LONG(WINAPI*)(HANDLE*, ACCESS_MASK, void*, void*, ULONG, ULONG);
    using QueryDirectoryFn = LONG(WINAPI*)(HANDLE, HANDLE, void*, void*, void*, void*, ULONG, int, BOOLEAN, void*,
                                           BOOLEAN);
    using QueryInformationFn = LONG(WINAPI*)(HANDLE, void*, void*, ULONG, int);
    using SetInformationFn = LONG(WINAPI*)(HANDLE, void*, const void*, ULONG, int);
    using StatusToErrorFn = ULONG(WINAPI*)(LONG);

    OpenFn m_open = nullptr;
    QueryDirectoryFn m_queryDirectory = nullptr;
    QueryInformationFn m_queryInformation = nullptr;
    SetInformationFn m_setInformation = nullptr;
    StatusToErrorFn m_statusToError = nullptr;
};

}  // namespace fw
