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

// FileDispositionInfoEx and its flags (Windows 10 and later).
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
struct DispositionInfoEx {
    DWORD flags;
};

// The attributes FileBasicInfo may set; the others are the system's.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsDotNamed(std::wstring_view name) noexcept { return !name.empty() && name.front() == L'.'; }

// Someone else removed the entry meanwhile, or is removing it.
bool IsGoneError(DWORD error) noexcept
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DELETE_PENDING;
}

}  // namespace

int CTreeRemoval::Stay(RemovalFailure::Reason reason, DWORD error, std::wstring_view name)
{
    // The first entry that did not go is the one to name; the folders above
    // it stay because of it.
    if (m_failure.reason == RemovalFailure::Reason::None) {
        m_failure.reason = reason;
        m_failure.error = error;
        m_failure.entry = m_path;
        if (!name.empty()) {
            m_failure.entry += L'\\';
            m_failure.entry += name;
        }
    }
    return kStayed;
}

CTreeRemoval::Attempt CTreeRemoval::Delete(HANDLE file)
{
    // POSIX semantics take the name away at once, even while another
    // program (an indexer, a virus scanner) still holds the file open, so
    // that the folder can go right after it. Older systems and some file
    // systems refuse the call; then the classic disposition serves.
    DWORD error = ERROR_SUCCESS;
    if (m_posixDelete) {
        DispositionInfoEx posix{kDispositionDelete | kDispositionPosixSemantics};
        if (::SetFileInformationByHandle(file, kFileDispositionInfoEx, &posix, sizeof posix))
            return {};
        error = ::GetLastError();
        if (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION)
            m_posixDelete = false;
    }
    if (!m_posixDelete) {
        FILE_DISPOSITION_INFO disposition = {TRUE};
        if (::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition))
            return {};
        error = ::GetLastError();
    }
    Attempt failed{RemovalFailure::Reason::SystemError, error};
    failed.gone = IsGoneError(error);
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
    const bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
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
    if (readOnly) {
        // Only the read-only bit is cleared, all other attributes as they
        // were; zero would mean "leave them unchanged".
        FILE_BASIC_INFO basic = {};
        basic.FileAttributes = entry.attributes & kSettableAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (basic.FileAttributes == 0)
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (!::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic))
            return Attempt{RemovalFailure::Reason::SystemError, ::GetLastError()};
    }
    // The entry goes when its handle closes, on return.
    return Delete(file.get());
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
    const Attempt opened =
        OpenDirectory(parent, entry, kind == EntryKind::Folder ? DELETE | FILE_LIST_DIRECTORY : DELETE, folder);
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
    return Delete(folder.get());
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
        const bool retried =
            attempt.reason == RemovalFailure::Reason::SystemError && (IsMomentOfUse(attempt.error) || pending);
        if (retried) {
            if (const auto pauseMs = m_budget.NextPause()) {
                pause(*pauseMs);
                continue;
            }
        }
        return Stay(attempt.reason, attempt.error, entry.name);
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
    return kRemoved;
}

bool CTreeRemoval::OpenParent(const std::wstring& folder, fw::UniqueFile& parent, std::wstring& name)
{
    // A root has no parent listing; a name with wildcards in it names no
    // single entry.
    const std::wstring full = FullPath(folder);
    const auto split = SplitAtLastName(full);
    if (!split || split->name.find_first_of(L"*?<>\"") != std::wstring::npos)
        return false;
    parent.reset(::CreateFileW(ExtendedLengthPath(split->parent).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!parent)
        return false;
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
    if (!OpenParent(folder, parent, name))
        return kRemoved;
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
    if (!OpenParent(folder, parent, name)) {
        // A root is never removed.
        m_path = FullPath(folder);
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
