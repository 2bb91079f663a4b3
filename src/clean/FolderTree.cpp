// src/clean/FolderTree.cpp
// Emptying a folder tree, depth first, stopping at the first entry that will
// not go; and telling whether a folder is there.
//
// Each folder is listed once and its entries are removed in the order the
// system lists them. Searching the folder anew after every entry, or reading
// back the attributes of a file that was just deleted, costs a scan of the
// whole folder on file systems that look names up case-insensitively, which
// makes large folders quadratic.
#include "app/CleanerApp.h"

#include "clean/LongPath.h"
#include "framework/FileFind.h"

#include <unordered_set>

namespace {

using cleaner::ExtendedLengthPath;

constexpr int kRemoved = 0;
constexpr int kStayed = -1;
// Deeper folders count as entries that did not go: every level holds a
// listing on the stack, and no profile folder is nested this deep.
constexpr int kMaxDepth = 256;

int EmptyFolder(const std::wstring& folder, int depth);

bool IsDotNamed(const wchar_t* name) noexcept { return name[0] == L'.'; }

// Gone, as opposed to unreadable: an entry whose attributes cannot be read
// for another reason did not go.
bool IsGone(const std::wstring& apiPath)
{
    if (::GetFileAttributesW(apiPath.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The attributes come from the listing: reading them again per file would
// cost one more look-up of the name for every file.
int RemoveFile(const std::wstring& path, DWORD attributes)
{
    const std::wstring apiPath = ExtendedLengthPath(path);
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0)
        ::SetFileAttributesW(apiPath.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    if (::DeleteFileW(apiPath.c_str()))
        return kRemoved;
    // The deletion failed, but someone else may have removed the file.
    return IsGone(apiPath) ? kRemoved : kStayed;
}

int RemoveEntry(const std::wstring& path, const fw::CFileFind& entry, int depth)
{
    if (!entry.IsDirectory())
        return RemoveFile(path, entry.GetAttributes());
    // A junction, directory link or mount point: only the link goes, nothing
    // is ever removed through it.
    if (!entry.IsReparsePoint()) {
        if (EmptyFolder(path, depth + 1) != kRemoved)
            return kStayed;
    }
    return ::RemoveDirectoryW(ExtendedLengthPath(path).c_str()) ? kRemoved : kStayed;
}

int EmptyFolder(const std::wstring& folder, int depth)
{
    if (depth > kMaxDepth)
        return kStayed;
    fw::CFileFind find;
    if (!find.FindFile(ExtendedLengthPath(folder + L"\\*.*")))
        return kRemoved;
    // Anything the listing misses (an entry added meanwhile) keeps the folder
    // itself from going, so the caller's RemoveDirectoryW reports it.
    std::unordered_set<std::wstring> gone;
    do {
        const wchar_t* name = find.GetFileName();
        if (find.IsDirectory() && IsDotNamed(name))
            continue;
        // Listed again after it was taken for gone: it did not go.
        if (!gone.insert(name).second)
            return kStayed;
        if (RemoveEntry(folder + L"\\" + name, find, depth) != kRemoved)
            return kStayed;
    } while (find.FindNextFile());
    return kRemoved;
}

}  // namespace

int CCleanerApp::DeleteFolderTree(const std::wstring& folder)
{
    // A top folder that is itself a link is not emptied through the link;
    // the caller's RemoveDirectoryW then removes just the link.
    const DWORD attributes = ::GetFileAttributesW(ExtendedLengthPath(folder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return kRemoved;
    return EmptyFolder(folder, 0);
}

BOOL CCleanerApp::CanEnterFolder(const std::wstring& folder)
{
    std::wstring saved(MAX_PATH, L'\0');
    DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(saved.size()), saved.data());
    if (length >= saved.size()) {
        saved.resize(length);
        length = ::GetCurrentDirectoryW(static_cast<DWORD>(saved.size()), saved.data());
    }
    saved.resize(length < saved.size() ? length : 0);

    const BOOL entered = ::SetCurrentDirectoryW(folder.c_str());
    if (!saved.empty())
        ::SetCurrentDirectoryW(saved.c_str());
    return entered ? TRUE : FALSE;
}
