// src/clean/FolderList.cpp
#include "clean/FolderList.h"

#include "clean/PathRoots.h"

namespace cleaner {
namespace {
constexpr std::wstring_view kMaker = L"\\Velmora";

// A base that already ends in a backslash (a documents folder at D:\, say)
// does not get a second one.
std::wstring Join(std::wstring_view base, std::wstring_view suffix)
{
    std::wstring path(base);
    if (!path.empty() && path.back() == L'\\' && !suffix.empty() && suffix.front() == L'\\')
        suffix.remove_prefix(1);
    path += suffix;
    return path;
}
}  // namespace

std::optional<std::wstring> CutAtLastBackslash(std::wstring_view path)
{
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring_view::npos)
        return std::nullopt;
    return std::wstring(path.substr(0, slash));
}

std::vector<std::wstring> LocalAppDataFolders(std::wstring_view localAppData)
{
    return {Join(localAppData, kMaker), Join(localAppData, L"\\VL-LW-Temp")};
}

std::vector<std::wstring> RoamingAncestorFolders(std::wstring_view roamingAppData)
{
    std::vector<std::wstring> folders;
    // A folder directly in a root (a drive, a share, a server) would sit
    // beside every user's folders, or be a whole share: that step is left
    // out, and so is every step above it.
    const auto parent = CutAtLastBackslash(roamingAppData);
    if (!parent || IsRootOrAbove(*parent))
        return folders;
    folders.push_back(Join(*parent, kMaker));
    const auto grandparent = CutAtLastBackslash(*parent);
    if (grandparent && !IsRootOrAbove(*grandparent))
        folders.push_back(Join(*grandparent, kMaker));
    return folders;
}

std::vector<std::wstring> RoamingFolders(std::wstring_view roamingAppData)
{
    return {Join(roamingAppData, kMaker), Join(roamingAppData, L"\\Install.VL")};
}

std::vector<std::wstring> DocumentFolders(std::wstring_view documents)
{
    return {Join(documents, L"\\Lumetra"), Join(documents, L"\\Quillo")};
}

}  // namespace cleaner
