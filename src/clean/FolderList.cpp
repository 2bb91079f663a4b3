// src/clean/FolderList.cpp
#include "clean/FolderList.h"

namespace cleaner {
namespace {
constexpr std::wstring_view kMaker = L"\\Velmora";

std::wstring Join(std::wstring_view base, std::wstring_view suffix)
{
    std::wstring path(base);
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
    const auto parent = CutAtLastBackslash(roamingAppData);
    if (!parent)
        return folders;
    folders.push_back(Join(*parent, kMaker));
    if (const auto grandparent = CutAtLastBackslash(*parent))
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
