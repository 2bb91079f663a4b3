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

CTreeRemoval::Opened CTreeRemoval::OpenChecked(HANDLE parent, const fw::DirectoryEntry& entry, ACCESS_MASK access,
                                               fw::UniqueFile& file, DWORD& attributes)
{
    const ULONG options = fw::kNtOpenReparsePoint | fw::kNtSynchronousIo |
                          (entry.IsDirectory() ? fw::kNtDirectoryFile : fw::kNtNonDirectoryFile);
    DWORD error = m_nt.OpenRelative(parent, entry.name, access | SYNCHRONIZE | FILE_READ_ATTRIBUTES, options, file);
    if (IsGoneError(error))
        return Opened::Gone;
    if (error != ERROR_SUCCESS) {
        Stay(RemovalFailure::Reason::SystemError, error, entry.name);
        return Opened::Failed;
    }
    LONGLONG id = 0;
    error = m_nt.QueryFileId(file.get(), id);
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (error == ERROR_SUCCESS && !::GetFileInformationByHandleEx(file.get(), FileAttributeTagInfo, &tag, sizeof tag))
        error = ::GetLastError();
    if (error != ERROR_SUCCESS) {
        Stay(RemovalFailure::Reason::SystemError, error, entry.name);
        return Opened::Failed;
    }
    // Both checks are needed: a system that follows a link although told
    // not to hands back the target, whose id differs when a link was swapped
    // in and which shows no reparse point when the listing showed a link.
    const bool reparse = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const bool directory = (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (id != entry.fileId || reparse != entry.IsReparsePoint() || directory != entry.IsDirectory()) {
        Stay(RemovalFailure::Reason::Changed, ERROR_SUCCESS, entry.name);
        return Opened::Failed;
    }
    attributes = tag.FileAttributes;
    return Opened::Yes;
}

bool CTreeRemoval::Delete(HANDLE file, DWORD& error)
{
    // POSIX semantics take the name away at once, even while another
    // program (an indexer, a virus scanner) still holds the file open, so
    // that the folder can go right after it. Older systems and some file
    // systems refuse the call; then the classic disposition serves.
    if (m_posixDelete) {
        DispositionInfoEx posix{kDispositionDelete | kDispositionPosixSemantics};
        if (::SetFileInformationByHandle(file, kFileDispositionInfoEx, &posix, sizeof posix))
            return true;
        error = ::GetLastError();
        if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION)
            return false;
        m_posixDelete = false;
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition))
        return true;
    error = ::GetLastError();
    return false;
}

int CTreeRemoval::RemoveEntry(HANDLE parent, const fw::DirectoryEntry& entry, int depth)
{
    if (beforeOpen)
        beforeOpen(m_path, entry.name);

    // A junction, directory link or mount point is a directory that is never
    // entered: only the link itself goes.
    const bool folder = entry.IsDirectory() && !entry.IsReparsePoint();
    const bool readOnlyFile = !entry.IsDirectory() && (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    ACCESS_MASK access = DELETE;
    if (folder)
        access |= FILE_LIST_DIRECTORY;
    if (readOnlyFile)
        access |= FILE_WRITE_ATTRIBUTES;

    fw::UniqueFile file;
    DWORD attributes = 0;
    switch (OpenChecked(parent, entry, access, file, attributes)) {
    case Opened::Gone:
        return kRemoved;
    case Opened::Failed:
        return kStayed;
    case Opened::Yes:
        break;
    }

    if (folder) {
        const size_t length = m_path.size();
        m_path += L'\\';
        m_path += entry.name;
        const int emptied = EmptyFolder(file.get(), depth + 1);
        m_path.resize(length);
        if (emptied != kRemoved)
            return kStayed;
    }

    // Only a file's read-only bit is cleared, all other attributes as they
    // were; zero would mean "leave them unchanged".
    if (!entry.IsDirectory() && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        FILE_BASIC_INFO basic = {};
        basic.FileAttributes = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (basic.FileAttributes == 0)
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (!::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic))
            return Stay(RemovalFailure::Reason::SystemError, ::GetLastError(), entry.name);
    }

    DWORD error = ERROR_SUCCESS;
    if (!Delete(file.get(), error) && !IsGoneError(error))
        return Stay(RemovalFailure::Reason::SystemError, error, entry.name);
    // The entry goes when its handle closes, here.
    return kRemoved;
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
        if (RemoveEntry(folder, entry, depth) != kRemoved)
            return kStayed;
    }
    return kRemoved;
}

int CTreeRemoval::EmptyTree(const std::wstring& folder)
{
    m_failure = RemovalFailure();
    m_posixDelete = true;

    // The top is found in its parent's listing like any other entry. A root
    // has no parent listing and is never emptied; a name with wildcards in
    // it names no single entry.
    const std::wstring full = FullPath(folder);
    const auto split = SplitAtLastName(full);
    if (!split || split->name.find_first_of(L"*?<>\"") != std::wstring::npos)
        return kRemoved;
    const fw::UniqueFile parent(::CreateFileW(ExtendedLengthPath(split->parent).c_str(),
                                              FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!parent)
        return kRemoved;
    fw::CDirectoryListing listing(m_nt, parent.get(), split->name);
    if (!listing.Next())
        return kRemoved;
    const fw::DirectoryEntry& entry = listing.Entry();
    // A file cannot be listed; a link is not emptied through: the caller's
    // removal takes just the link.
    if (!entry.IsDirectory() || entry.IsReparsePoint())
        return kRemoved;

    m_path = full.substr(0, full.size() - split->name.size() - 1);
    fw::UniqueFile top;
    DWORD attributes = 0;
    const Opened opened = OpenChecked(parent.get(), entry, FILE_LIST_DIRECTORY, top, attributes);
    if (opened != Opened::Yes) {
        // A top that changed did not go; one that is gone or cannot be
        // opened cannot be listed, and the caller's removal tells.
        if (m_failure.reason == RemovalFailure::Reason::Changed)
            return kStayed;
        m_failure = RemovalFailure();
        return kRemoved;
    }
    m_path = full;
    return EmptyFolder(top.get(), 0);
}

}  // namespace cleaner
