// src/clean/PathRoots.h
// Where a path's root ends: drive roots, shares, servers and devices, in
// the usual and the extended-length forms. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cleaner {

// True for a path that names a root or something above one: "D:", "D:\",
// "\\srv\share", "\\srv", "\\?\D:\", "\\?\UNC\srv\share", "\\?\Volume{..}",
// "\" and the empty text. A folder placed directly in such a path would sit
// beside every user's folders, or be a whole share. Forward slashes and
// doubled backslashes count as one separator here, so that no spelling of a
// root passes for a folder.
bool IsRootOrAbove(std::wstring_view path);

// True for a full path on a drive letter ("H:\..."), in the usual or the
// extended-length form: such letters are mapped per logon session.
bool IsOnDriveLetter(std::wstring_view fullPath) noexcept;

// A full path split into its parent folder and its last name. The parent of
// a folder directly in a root keeps the root's backslash ("C:\x" gives "C:\"
// and "x"; "C:" alone would mean the drive's current directory). Nothing for
// a root, or when the last name is empty.
struct ParentAndName {
    std::wstring parent;
    std::wstring name;
};
std::optional<ParentAndName> SplitAtLastName(std::wstring_view fullPath);

}  // namespace cleaner
