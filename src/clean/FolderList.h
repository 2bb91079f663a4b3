// src/clean/FolderList.h
// Which top folders a cleaning run removes, built from the shell folders.
// Portable: the shell look-ups are made by the caller.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cleaner {

// The text before the last backslash. Nothing when there is no backslash to
// cut at: a folder above the root must never turn into a relative path that
// names some other place.
std::optional<std::wstring> CutAtLastBackslash(std::wstring_view path);

// Steps 1 and 2: below the local application-data folder.
std::vector<std::wstring> LocalAppDataFolders(std::wstring_view localAppData);
// Steps 3 and 4: beside and above the roaming folder's parent. A step whose
// base cannot be cut from the roaming path, or is a root, is left out.
std::vector<std::wstring> RoamingAncestorFolders(std::wstring_view roamingAppData);
// Steps 5 and 6: below the roaming application-data folder.
std::vector<std::wstring> RoamingFolders(std::wstring_view roamingAppData);
// Steps 7 and 8: below the documents folder.
std::vector<std::wstring> DocumentFolders(std::wstring_view documents);

}  // namespace cleaner
