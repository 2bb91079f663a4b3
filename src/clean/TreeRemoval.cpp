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

#include <unordered_set>

namespace cleaner {
namespace {

bool IsDotNamed(std::wstring_view name) noexcept { return !name.empty() && name.front() == L'.'; }

bool IsReadOnly(DWORD attributes) noexcept { return (attributes & FILE_ATTRIBUTE_READONLY) != 0; }

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

int CTreeRemoval::Stay(RemovalFailure::Reason reason, DWORD error, std::wstring_view name, const Attempt* attempt)
{
    // The first entry that did not go is the one to name; the folders above
    // it stay because of it.
    if (m_failure.reason == RemovalFailure::Reason::None) {
        m_failure.reason = reason;
        m_failure.error = error;
        m_failure.inUse = attempt != nullptr && attempt->inUse;
        m_failure.restoreError = attempt != nullptr ? attempt->restoreError : ERROR_SUCCESS;
        m_failure.entry = m_path;
        if (!name.empty()) {
            m_failure.entry += L'\\';
            m_failure.entry += name;
        }
    }
    return kStayed;
}

fw::CDirectoryListing CTreeRemoval::Listing(HANDLE folder, std::wstring_view name)
{
    fw::CDirectoryListing::ClassRefusal refusal;
    if (listingRefused)
        refusal = [this](fw::ListingClass listing) { return listingRefused(m_path, listing); };
    return fw::CDirectoryListing(m_nt, folder, name, std::move(refusal));
}

template <class Reopen>
CTreeRemoval::Attempt CTreeRemoval::Delete(fw::UniqueFile& file, DWORD attributes, Reopen reopen)
{
    CEntryDeletion::Outcome outcome = m_deletion.Delete(file.get(), attributes);
    // Made read-only after it was listed: the handle cannot change the bit.
    if (outcome.nowReadOnly) {
        const Attempt reopened = reopen(file);
        if (!file)
            return reopened;
        outcome = m_deletion.Delete(file.get(), attributes | FILE_ATTRIBUTE_READONLY);
    }
    if (outcome.error == ERROR_SUCCESS)
        return Attempt();
    Attempt failed{RemovalFailure::Reason::SystemError, outcome.error};
    failed.gone = outcome.gone;
    failed.inUse = outcome.inUse;
    failed.restoreError = outcome.restoreError;
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
    const bool readOnly = IsReadOnly(entry.attributes);
    fw::UniqueFile file;
    if (m_deletion.ClassicOnly() && !readOnly) {
        // Opened to go when closed: two calls, as the system's DeleteFileW.
        // A refusal there (the file is in use through a mapping, or became
        // read-only) is asked again through the disposition, whose status
        // tells which.
        const DWORD error = m_nt.OpenRelative(parent, entry.name, DELETE | SYNCHRONIZE, kOptions | fw::kNtDeleteOnClose,
                                              file);
        if (error != ERROR_ACCESS_DENIED)
            return Opening(error, fw::kErrorIsADirectory);
    }
    const auto open = [&](fw::UniqueFile& opened, bool writeAttributes) {
        const ACCESS_MASK access =
            DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES | (writeAttributes ? FILE_WRITE_ATTRIBUTES : 0);
        return Opening(m_nt.OpenRelative(parent, entry.name, access, kOptions, opened), fw::kErrorIsADirectory);
    };
    const Attempt opened = open(file, readOnly);
    if (!file)
        return opened;
    // The entry goes when its handle closes, on return.
    return Delete(file, entry.attributes, [&](fw::UniqueFile& reopened) { return open(reopened, true); });
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
    EntryInformation information;
    DWORD error = m_nt.QueryFileId(file.get(), id);
    if (error == ERROR_SUCCESS)
        error = m_deletion.Read(file.get(), information);
    if (error != ERROR_SUCCESS) {
        file.reset();
        return Attempt{RemovalFailure::Reason::SystemError, error};
    }
    // All checks are needed: a system that follows a link although told
    // not to hands back the target, whose id differs when a link was swapped
    // in and which shows no reparse point when the listing showed a link;
    // a link of another kind put in place of a cloud folder shows its tag.
    const bool reparse = (information.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool directory = (information.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (FileIdsDiffer(entry.fileId, id) || reparse != entry.IsReparsePoint() || !directory ||
        (reparse && information.reparseTag != entry.reparseTag)) {
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
    const ACCESS_MASK access = DELETE | (kind == EntryKind::Folder ? FILE_LIST_DIRECTORY : 0);
    const Attempt opened =
        OpenDirectory(parent, entry, access | (IsReadOnly(entry.attributes) ? FILE_WRITE_ATTRIBUTES : 0), folder);
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
    return Delete(folder, entry.attributes, [&](fw::UniqueFile& reopened) {
        return OpenDirectory(parent, entry, access | FILE_WRITE_ATTRIBUTES, reopened);
    });
}

int CTreeRemoval::ListEntry(HANDLE parent, const fw::DirectoryEntry& entry, EntryKind kind, int depth)
{
    // Opened and checked as the removal opens a folder before it empties
    // it; files and links are counted from the listing, never opened.
    if (kind == EntryKind::Folder) {
        fw::UniqueFile folder;
        const Attempt opened = OpenDirectory(parent, entry, FILE_LIST_DIRECTORY, folder);
        if (!folder)
            return opened.gone ? kGone : Stay(opened.reason, opened.error, entry.name);
        const size_t length = m_path.size();
        m_path += L'\\';
        m_path += entry.name;
        const int listed = EmptyFolder(folder.get(), depth + 1);
        m_path.resize(length);
        if (listed == kStayed)
            return kStayed;
    }
    if (kind == EntryKind::File) {
        ++m_counts.files;
        m_counts.bytes += entry.size;
    } else {
        ++m_counts.folders;
    }
    if (progress)
        progress->EntryRemoved();
    return kRemoved;
}

int CTreeRemoval::RemoveEntry(HANDLE parent, const fw::DirectoryEntry& entry, int depth)
{
    if (beforeOpen)
        beforeOpen(m_path, entry.name);
    const EntryKind kind = ClassifyEntry(entry.attributes, entry.reparseTag);
    if (m_listing)
        return ListEntry(parent, entry, kind, depth);
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
        // entries stay listed until their holders let go, and an entry in
        // use through a mapping; nothing else is. Each try opens the entry
        // anew: Wine checks a folder's emptiness correctly only once per
        // handle.
        const bool pending = kind == EntryKind::Folder && IsPendingEntries(attempt.error);
        const bool retried = attempt.reason == RemovalFailure::Reason::SystemError &&
                             (IsMomentOfUse(attempt.error) || pending || attempt.inUse);
        if (retried) {
            if (const auto pauseMs = m_budget.NextPause()) {
                pause(*pauseMs);
                continue;
            }
        }
        return Stay(attempt.reason, attempt.error, entry.name, &attempt);
    }
}

int CTreeRemoval::EmptyFolder(HANDLE folder, int depth)
{
    if (depth > kMaxDepth)
        return Stay(RemovalFailure::Reason::TooDeep, ERROR_SUCCESS, {});
    fw::CDirectoryListing listing = Listing(folder);
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

int CTreeRemoval::FindTop(const std::wstring& folder, TopEntry& top)
{
    // A root has no parent listing; a name with wildcards in it names no
    // single entry.
    const std::wstring full = FullPath(folder);
    m_path = full;
    const auto split = SplitAtLastName(full);
    if (!split || split->name.find_first_of(L"*?<>\"") != std::wstring::npos)
        return Stay(RemovalFailure::Reason::SystemError, ERROR_INVALID_NAME, {});
    top.parent.reset(::CreateFileW(ExtendedLengthPath(split->parent).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!top.parent) {
        // Not there is as wished; a parent or drive out of reach (a drive
        // mapped only in another logon session, a share that is offline) is
        // a folder that stayed for all anyone knows.
        DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            error = UnreachableReason(split->parent);
            if (error == ERROR_SUCCESS)
                return kGone;
            return Stay(RemovalFailure::Reason::Unreachable, error, {});
        }
        return Stay(RemovalFailure::Reason::SystemError, error, {});
    }
    m_path = split->parent;
    top.name = split->name;
    // The parent's listing of the one name: only "no such file" (or its end)
    // says that the folder is not there; any other answer leaves it unseen.
    top.listing.emplace(Listing(top.parent.get(), top.name));
    if (top.listing->Next())
        return kRemoved;
    const DWORD ended = listingEnded ? listingEnded(m_path, top.listing->Error()) : top.listing->Error();
    m_path = full;
    if (ended == ERROR_NO_MORE_FILES || ended == ERROR_FILE_NOT_FOUND)
        return kGone;
    return Stay(RemovalFailure::Reason::SystemError, ended, {});
}

int CTreeRemoval::EmptyTree(const std::wstring& folder)
{
    m_failure = RemovalFailure();

    // The top is found in its parent's listing like any other entry; one
    // that is not there, a file or a link is not emptied: the caller's
    // removal takes just the link.
    TopEntry top;
    const int found = FindTop(folder, top);
    if (found != kRemoved)
        return found == kGone ? kRemoved : kStayed;
    const fw::DirectoryEntry& entry = top.listing->Entry();
    if (ClassifyEntry(entry.attributes, entry.reparseTag) != EntryKind::Folder)
        return kRemoved;

    fw::UniqueFile opened;
    const Attempt attempt = OpenDirectory(top.parent.get(), entry, FILE_LIST_DIRECTORY, opened);
    // One that is gone meanwhile is as wished; one that changed or cannot
    // be opened stays with all it holds.
    if (!opened)
        return attempt.gone ? kRemoved : Stay(attempt.reason, attempt.error, entry.name);
    m_path += L'\\';
    m_path += entry.name;
    return EmptyFolder(opened.get(), 0);
}

int CTreeRemoval::ListTree(const std::wstring& folder)
{
    m_failure = RemovalFailure();
    m_counts = FolderCounts();
    m_listing = true;
    TopEntry top;
    const int found = FindTop(folder, top);
    if (found != kRemoved)
        return found;
    // A file in the folder's place is left as it is.
    const fw::DirectoryEntry& entry = top.listing->Entry();
    if (!entry.IsDirectory())
        return kGone;
    return RemoveEntry(top.parent.get(), entry, 0);
}

int CTreeRemoval::RemoveTop(const std::wstring& folder)
{
    TopEntry top;
    const int found = FindTop(folder, top);
    if (found != kRemoved)
        return found;
    const fw::DirectoryEntry& entry = top.listing->Entry();
    // The folder was entered a moment ago; a file in its place is not it.
    if (!entry.IsDirectory())
        return Stay(RemovalFailure::Reason::Changed, ERROR_SUCCESS, entry.name);
    return RemoveEntry(top.parent.get(), entry, 0);
}

}  // namespace cleaner
