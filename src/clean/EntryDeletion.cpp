// src/clean/EntryDeletion.cpp
#include "clean/EntryDeletion.h"

namespace cleaner {
namespace {

// NtSetInformationFile's classes: FileDispositionInformation, and its
// extended form (Windows 10 and later; the read-only flag since 1809).
constexpr int kFileDispositionInformation = 13;
constexpr int kFileDispositionInformationEx = 64;
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;

// The attributes FileBasicInfo may set; the others are the system's.
constexpr DWORD kPinned = 0x00080000;    // FILE_ATTRIBUTE_PINNED: kept on this device
constexpr DWORD kUnpinned = 0x00100000;  // FILE_ATTRIBUTE_UNPINNED: kept online only
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | kPinned |
                                      kUnpinned;

// The system does not know the information class or one of its flags.
bool IsUnknownToTheSystem(DWORD error) noexcept
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

}  // namespace

bool IsGoneError(DWORD error) noexcept
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DELETE_PENDING;
}

DWORD CEntryDeletion::Query(HANDLE entry, FILE_INFO_BY_HANDLE_CLASS infoClass, void* data, DWORD size) const
{
    if (m_hooks.query) {
        const DWORD refused = m_hooks.query(entry, infoClass);
        if (refused != ERROR_SUCCESS)
            return refused;
    }
    return ::GetFileInformationByHandleEx(entry, infoClass, data, size) ? ERROR_SUCCESS : ::GetLastError();
}

DWORD CEntryDeletion::Read(HANDLE entry, EntryInformation& information) const
{
    information = EntryInformation();
    FILE_BASIC_INFO basic = {};
    DWORD error = Query(entry, FileBasicInfo, &basic, sizeof basic);
    if (error != ERROR_SUCCESS)
        return error;
    information.attributes = basic.FileAttributes;
    if ((basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        FILE_ATTRIBUTE_TAG_INFO tag = {};
        error = Query(entry, FileAttributeTagInfo, &tag, sizeof tag);
        information.reparseTag = tag.ReparseTag;
    }
    return error;
}

LONG CEntryDeletion::Dispose(HANDLE entry, DWORD flags) const
{
    if (m_hooks.disposition) {
        const LONG refused = m_hooks.disposition(entry, flags);
        if (refused != 0)
            return refused;
    }
    if (flags != 0)
        return m_nt.SetInformation(entry, &flags, sizeof flags, kFileDispositionInformationEx);
    const BOOLEAN deleteFile = TRUE;
    return m_nt.SetInformation(entry, &deleteFile, sizeof deleteFile, kFileDispositionInformation);
}

// All attributes as given, of those a caller may set; zero would mean
// "leave them unchanged".
DWORD CEntryDeletion::SetAttributes(HANDLE entry, DWORD attributes) const
{
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = attributes & kSettableAttributes;
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (m_hooks.setAttributes) {
        const DWORD refused = m_hooks.setAttributes(entry, basic.FileAttributes);
        if (refused != ERROR_SUCCESS)
            return refused;
    }
    return ::SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic) ? ERROR_SUCCESS : ::GetLastError();
}

CEntryDeletion::Outcome CEntryDeletion::Delete(HANDLE entry, DWORD attributes)
{
    // POSIX semantics take the name away at once, even while another
    // program (an indexer, a virus scanner) still holds the file open, so
    // that the folder can go right after it. Older systems and some file
    // systems refuse the call; then the classic disposition serves.
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    bool cleared = false;
    Outcome outcome;
    LONG status = 0;
    for (;;) {
        const bool ignoreReadOnly = m_posixDelete && m_ignoreReadOnly;
        if (readOnly && !ignoreReadOnly && !cleared) {
            // Refused, the entry stays as it was: no disposition was asked.
            outcome.error = SetAttributes(entry, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
            if (outcome.error != ERROR_SUCCESS)
                return outcome;
            cleared = true;
        }
        const DWORD flags = m_posixDelete ? kDispositionDelete | kDispositionPosixSemantics |
                                                (ignoreReadOnly ? kDispositionIgnoreReadOnly : 0)
                                          : 0;
        status = Dispose(entry, flags);
        if (status >= 0)
            return Outcome();
        outcome.error = m_nt.ErrorOf(status);
        if (!m_posixDelete || !IsUnknownToTheSystem(outcome.error))
            break;
        // Windows 10 before 1809 knows POSIX deletion but not the read-only
        // flag; older systems neither.
        if (ignoreReadOnly)
            m_ignoreReadOnly = false;
        else
            m_posixDelete = false;
    }
    outcome.gone = IsGoneError(outcome.error);
    // Win32 makes access denied of this too; only this status says that the
    // entry itself may not go now, rather than that the right is missing.
    if (status == fw::kStatusCannotDelete) {
        EntryInformation now;
        outcome.nowReadOnly =
            !readOnly && Read(entry, now) == ERROR_SUCCESS && (now.attributes & FILE_ATTRIBUTE_READONLY) != 0;
        outcome.inUse = !outcome.nowReadOnly;
    }
    if (cleared)
        outcome.restoreError = SetAttributes(entry, attributes);
    return outcome;
}

}  // namespace cleaner
