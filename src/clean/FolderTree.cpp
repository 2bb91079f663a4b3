// src/clean/FolderTree.cpp
// Emptying a folder tree, depth first, stopping at the first entry that will
// not go; and telling whether a folder is there.
#include "app/CleanerApp.h"

#include "clean/ApiPath.h"
#include "clean/TreeRemoval.h"

namespace {

// SetCurrentDirectoryW takes at most MAX_PATH - 2 characters (room for the
// backslash it adds and the terminator).
constexpr size_t kLongestEnterablePath = MAX_PATH - 2;

// What entering a folder needs, asked without entering it: a folder too
// long to be made the current directory is still there to be removed.
bool CanTraverse(const std::wstring& folder)
{
    const fw::UniqueFile handle(::CreateFileW(cleaner::ApiPath(folder).c_str(), FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILE_BASIC_INFO basic = {};
    return handle && ::GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic) &&
           (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

int CCleanerApp::DeleteFolderTree(const std::wstring& folder)
{
    cleaner::CTreeRemoval removal;
    return DeleteFolderTree(folder, removal);
}

int CCleanerApp::DeleteFolderTree(const std::wstring& folder, cleaner::CTreeRemoval& removal)
{
    return removal.EmptyTree(folder);
}

BOOL CCleanerApp::CanEnterFolder(const std::wstring& folder)
{
    if (folder.size() > kLongestEnterablePath)
        return CanTraverse(folder) ? TRUE : FALSE;

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
