// src/clean/TreeRemoval.cpp
// Each folder is listed once and its entries are removed in the order the
// system lists them. Searching a folder anew after every entry, or looking
// a deleted name up again, costs a scan of the whole folder on file systems
// that look names up case-insensitively, which makes large folders
// quadratic.
#include "clean/TreeRemoval.h"

#include "clean/ApiPath.h"
#include "clean/LongPath.h"
#include "clean/PathRoots.h"
#include "framework/DirectoryListing.h"

#include <unordered_set>

namespace cleaner {
namespace {

// FileDispositionInfoEx and its flags (Windows 10 and later; the read-only
// bit ignored since 1809).
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
struct DispositionInfoEx {
    DWORD flags;
};

// The attributes FileBasicInfo may set; the others are the system's.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsDotNamed(std::wstring_view name) noexcept { return !name.empty() && name.front() == L'.'; }

bool IsReadOnly(const fw::DirectoryEntry& entry) noexcept { return (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0; }

// Someone else removed the entry meanwhile, or is removing it.
bool IsGoneError(DWORD error) noexcept
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DELETE_PENDING;
}

// The system does not know the information class or one of its flags.
bool IsUnknownToTheSystem(DWORD error) noexcept
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

// Sets the entry's attributes through its handle: all of them as given, of
// those a caller may set; zero would mean "leave them unchanged".
DWORD SetAttributes(HANDLE file, DWORD attributes) noexcept
{
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = attributes & kSettableAttributes;
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) ? ERROR_SUCCESS : ::GetLastError();
}

// For a folder that was not found: nothing when it is simply not there (a
// folder above it is), else why it cannot be reached. A drive that is not
// mapped in this logon session and a missing folder above answer alike
// (path not found), so the walk goes up to the first folder that answers.
DWORD UnreachableReason(const std::wstring& fullPath)
{
    std::wstring path = fullPath;
    for (;;) {
        if (::GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
            return ERROR_SUCCESS;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            return error;
        const auto split = SplitAtLastName(path);
        if (!split)
            return error;  // the root itself is not there
        path = split->parent;
    }
}

}  // namespace

int CTreeRemoval::Stay(RemovalFailure::Reason reason, DWORD error, std::wstring_view name, bool inUse)
{
    // The first entry that did not go is the one to name; the folders above
    // it stay because of it.
    if (m_failure.reason == RemovalFailure::Reason::None) {
        m_failure.reason = reason;
        m_failure.error = error;
        m_failure.inUse = inUse;
        m_failure.entry = m_path;
        if (!name.empty()) {
            m_failure.entry += L'\\';
            m_failure.entry += name;
        }
    }
    return kStayed;
}

DWORD CTreeRemoval::Dispose(HANDLE file, DWORD flags)
{
    if (beforeDisposition) {
        const DWORD refused = beforeDisposition(file, flags);
        if (refused != ERROR_SUCCESS)
            return refused;
    }
    BOOL disposed = FALSE;
    if (flags != 0) {
        DispositionInfoEx extended{flags};
        disposed = ::SetFileInformationByHandle(file, kFileDispositionInfoEx, &extended, sizeof extended);
    } else {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        disposed = ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
    }
    return disposed ? ERROR_SUCCESS : ::GetLastError();
}

CTreeRemoval::Attempt CTreeRemoval::Delete(HANDLE file, DWORD attributes)
{
    // POSIX semantics take the name away at once, even while another
    // program (an indexer, a virus scanner) still holds the file open, so
    // that the folder can go right after it. Older systems and some file
    // systems refuse the call; then the classic disposition serves. A
    // read-only entry, file or folder, refuses deletion: the system ignores
    // the bit where it can, else the bit is cleared first, and put back if
    // the entry stays after all.
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    bool cleared = false;
    DWORD error = ERROR_SUCCESS;
    for (;;) {
        const bool ignoreReadOnly = m_posixDelete && m_ignoreReadOnly;
        if (readOnly && !ignoreReadOnly && !cleared) {
            error = SetAttributes(file, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
            if (error != ERROR_SUCCESS)
                break;
            cleared = true;
        }
        const DWORD flags = m_posixDelete ? kDispositionDelete | kDispositionPosixSemantics |
                                                (ignoreReadOnly ? kDispositionIgnoreReadOnly : 0)
                                          : 0;
        error = Dispose(file, flags);
        if (error == ERROR_SUCCESS)
            return {};
        if (!m_posixDelete || !IsUnknownToTheSystem(error))
            break;
        // Windows 10 before 1809 knows POSIX deletion but not the read-only
        // flag; older systems neither.
        if (ignoreReadOnly)
            m_ignoreReadOnly = false;
        else
            m_posixDelete = false;
    }
    if (cleared)
        SetAttributes(file, attributes);
    Attempt failed{RemovalFailure::Reason::SystemError, error};
    failed.gone = IsGoneError(error);
    // The open was granted DELETE: a refusal now is the system's answer for
    // a file in use through a mapping (a running program's own file, a
    // mapped view), which lets go in its own time.
    failed.inUse = error == ERROR_ACCESS_DENIED;
    return failed;
}

CTreeRemoval::Attempt CTreeRemoval::Opening(DWORD error, DWORD wrongKind) const noexcept
{
    Attempt opened;
    if (error == ERROR_SUCCESS)
        return opened;
    if (IsGoneError(error))
        opened.gone = true;
    else if (error == wrongKind)
        opened.reason = RemovalFailure::Reason::Changed;
    else
        opened = Attempt{RemovalFailure::Reason::SystemError, error};
    return opened;
}

CTreeRemoval::Attempt CTreeRemoval::RemoveFile(HANDLE parent, const fw::DirectoryEntry& entry)
{
    // Opened without following a link, the entry is the name itself: a
    // link, one name of a file with several, a placeholder. Deleting
    // through that handle removes only that name, so no query is needed.
    // One that has become a directory fails the open.
    constexpr ULONG kOptions = fw::kNtNonDirectoryFile | fw::kNtOpenReparsePoint | fw::kNtSynchronousIo;
    const bool readOnly = IsReadOnly(entry);
    fw::UniqueFile file;
    if (!m_posixDelete && !readOnly) {
        // Opened to go when closed: two calls, as the system's DeleteFileW.
        return Opening(m_nt.OpenRelative(parent, entry.name, DELETE | SYNCHRONIZE, kOptions | fw::kNtDeleteOnClose,
                                         file),
                       fw::kErrorIsADirectory);
    }
    const ACCESS_MASK access = DELETE | SYNCHRONIZE | (readOnly ? FILE_WRITE_ATTRIBUTES : 0);
    const Attempt opened = Opening(m_nt.OpenRelative(parent, entry.name, access, kOptions, file),
                                   fw::kErrorIsADirectory);
    if (!file)
        return opened;
    // The entry goes when its handle closes, on return.
    return Delete(file.get(), entry.attributes);
}

CTreeRemoval::Attempt CTreeRemoval::OpenDirectory(HANDLE parent, const fw::DirectoryEntry& entry, ACCESS_MASK access,
                                                  fw::UniqueFile& file)
{
    constexpr ULONG kOptions = fw::kNtDirectoryFile | fw::kNtOpenReparsePoint | fw::kNtSynchronousIo;
    const Attempt opened = Opening(
        m_nt.OpenRelative(parent, entry.name, access | SYNCHRONIZE | FILE_READ_ATTRIBUTES, kOptions, file),
        ERROR_DIRECTORY);
    if (!file)
        return opened;
    LONGLONG id = 0;
    DWORD error = m_nt.QueryFileId(file.get(), id);
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (error == ERROR_SUCCESS && !::GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &tag, sizeof tag))
        error = ::GetLastError();
    if (error != ERROR_SUCCESS) {
        file.reset();
        return Attempt{RemovalFailure::Reason::SystemError, error};
    }
    // All checks are needed: a system that follows a link although told
    // not to hands back the target, whose id differs when a link was swapped
    // in and which shows no reparse point when the listing showed a link;
    // a link of another kind put in place of a cloud folder shows its tag.
    const bool reparse = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool directory = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (FileIdsDiffer(entry.fileId, id) || reparse != entry.IsReparsePoint() || !directory ||
        (reparse && tag.ReparseTag != entry.reparseTag)) {
        file.reset();
        return Attempt{RemovalFailure::Reason::Changed};
    }
    return {};
}

CTreeRemoval::Attempt CTreeRemoval::RemoveDirectory(HANDLE parent, const fw::DirectoryEntry& entry, EntryKind kind,
                                                    int depth)
{
    // A link is never entered: only the link itself goes.
    fw::UniqueFile folder;
    const ACCESS_MASK access = DELETE | (kind == EntryKind::Folder ? FILE_LIST_DIRECTORY : 0) |
                               (IsReadOnly(entry) ? FILE_WRITE_ATTRIBUTES : 0);
    const Attempt opened = OpenDirectory(parent, entry, access, folder);
    if (!folder)
        return opened;
    if (kind == EntryKind::Folder) {
        const size_t length = m_path.size();
        m_path += L'\\';
        m_path += entry.name;
        const int emptied = EmptyFolder(folder.get(), depth + 1);
        m_path.resize(length);
        if (emptied == kStayed) {
            Attempt recorded;
            recorded.recorded = true;
            return recorded;
        }
    }
    return Delete(folder.get(), entry.attributes);
}

int CTreeRemoval::RemoveEntry(HANDLE parent, const fw::DirectoryEntry& entry, int depth)
{
    if (beforeOpen)
        beforeOpen(m_path, entry.name);
    const EntryKind kind = ClassifyEntry(entry.attributes, entry.reparseTag);
    for (;;) {
        const Attempt attempt =
            kind == EntryKind::File ? RemoveFile(parent, entry) : RemoveDirectory(parent, entry, kind, depth);
        if (attempt.recorded)
            return kStayed;
        if (attempt.gone)
            return kGone;
        if (attempt.reason == RemovalFailure::Reason::None) {
            if (progress)
                progress->EntryRemoved();
            return kRemoved;
        }
        // A file held for a moment (an indexer, a scanner, a child process
        // that is ending) is tried again, and so is a folder whose deleted
        // entries stay listed until their holders let go; nothing else is.
        // Each try opens the entry anew: Wine checks a folder's emptiness
        // correctly only once per handle.
        const bool pending = kind == EntryKind::Folder && IsPendingEntries(attempt.error);
        const bool retried = attempt.reason == RemovalFailure::Reason::SystemError &&
                             (IsMomentOfUse(attempt.error) || pending || attempt.inUse);
        if (retried) {
            if (const auto pauseMs = m_budget.NextPause()) {
                pause(*pauseMs);
                continue;
            }
        }
        return Stay(attempt.reason, attempt.error, entry.name, attempt.inUse);
    }
}

int CTreeRemoval::EmptyFolder(HANDLE folder, int depth)
{
    if (depth > kMaxDepth)
        return Stay(RemovalFailure::Reason::TooDeep, ERROR_SUCCESS, {});
    fw::CDirectoryListing listing(m_nt, folder);
    // Anything the listing misses (an entry added meanwhile) keeps the folder
    // itself from going, so its removal reports it.
    std::unordered_set<std::wstring> gone;
    while (listing.Next()) {
        const fw::DirectoryEntry& entry = listing.Entry();
        // "." and ".." and every other folder whose name begins with a dot.
        if (entry.IsDirectory() && IsDotNamed(entry.name))
            continue;
        if (!gone.emplace(entry.name).second)
            return Stay(RemovalFailure::Reason::ListedAgain, ERROR_SUCCESS, entry.name);
        if (RemoveEntry(folder, entry, depth) == kStayed)
            return kStayed;
    }
    // A listing that failed part-way (a network error, a file system that
    // refuses this listing) leaves the folder with entries no one saw: its
    // own error ends the folder's removal, with no try at deleting it.
    // Without "." and "..", an empty folder may answer "no such file".
    const DWORD ended = listingEnded ? listingEnded(m_path, listing.Error()) : listing.Error();
    if (ended != ERROR_NO_MORE_FILES && ended != ERROR_FILE_NOT_FOUND)
        return Stay(RemovalFailure::Reason::SystemError, ended, {});
    return kRemoved;
}

bool CTreeRemoval::OpenParent(const std::wstring& folder, fw::UniqueFile& parent, std::wstring& name,
                              DWORD& unreachable)
{
    unreachable = ERROR_SUCCESS;
    // A root has no parent listing; a name with wildcards in it names no
    // single entry.
    const std::wstring full = FullPath(folder);
    m_path = full;
    const auto split = SplitAtLastName(full);
    if (!split || split->name.find_first_of(L"*?<>\"") != std::wstring::npos)
        return false;
    parent.reset(::CreateFileW(ExtendedLengthPath(split->parent).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!parent) {
        const DWORD error = ::GetLastError();
        unreachable = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? UnreachableReason(split->parent)
                                                                                     : error;
        return false;
    }
    name = split->name;
    m_path = full.substr(0, full.size() - name.size() - 1);
    return true;
}

int CTreeRemoval::EmptyTree(const std::wstring& folder)
{
    m_failure = RemovalFailure();

    // The top is found in its parent's listing like any other entry; one
    // that is not there, a file or a link is not emptied: the caller's
    // removal takes just the link.
    fw::UniqueFile parent;
    std::wstring name;
    DWORD unreachable = ERROR_SUCCESS;
    if (!OpenParent(folder, parent, name, unreachable)) {
        // Not there is as wished; a parent or drive out of reach (a drive
        // mapped only in another logon session, a share that is offline) is
        // a folder that stayed for all anyone knows.
        return unreachable == ERROR_SUCCESS ? kRemoved : Stay(RemovalFailure::Reason::Unreachable, unreachable, {});
    }
    fw::CDirectoryListing listing(m_nt, parent.get(), name);
    if (!listing.Next())
        return kRemoved;
    const fw::DirectoryEntry& entry = listing.Entry();
    if (ClassifyEntry(entry.attributes, entry.reparseTag) != EntryKind::Folder)
        return kRemoved;

    fw::UniqueFile top;
    const Attempt opened = OpenDirectory(parent.get(), entry, FILE_LIST_DIRECTORY, top);
    // A top that changed did not go; one that is gone or cannot be opened
    // cannot be listed, and the caller's removal tells.
    if (opened.reason == RemovalFailure::Reason::Changed)
        return Stay(opened.reason, opened.error, entry.name);
    if (!top)
        return kRemoved;
    m_path += L'\\';
    m_path += entry.name;
    return EmptyFolder(top.get(), 0);
}

int CTreeRemoval::RemoveTop(const std::wstring& folder)
{
    fw::UniqueFile parent;
    std::wstring name;
    DWORD unreachable = ERROR_SUCCESS;
    if (!OpenParent(folder, parent, name, unreachable)) {
        // A root is never removed; a folder entered a moment ago whose
        // parent cannot be opened now is not removed either. The path to
        // report is the folder's own, as OpenParent left it.
        return Stay(RemovalFailure::Reason::SystemError, ERROR_ACCESS_DENIED, {});
    }
    fw::CDirectoryListing listing(m_nt, parent.get(), name);
    if (!listing.Next())
        return kGone;
    const fw::DirectoryEntry& entry = listing.Entry();
    // The folder was entered a moment ago; a file in its place is not it.
    if (!entry.IsDirectory())
        return Stay(RemovalFailure::Reason::Changed, ERROR_SUCCESS, entry.name);
    return RemoveEntry(parent.get(), entry, 0);
}

}  // namespace cleaner
