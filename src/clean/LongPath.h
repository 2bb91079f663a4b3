// src/clean/LongPath.h
// The extended-length form of a path for the file functions. Portable.
//
// In that form a path is taken literally: entries deeper than MAX_PATH can be
// listed and removed, and a name that ends in a dot or a blank names that
// entry, not the one without the dot or blank that the usual parsing would
// make of it.
#pragma once

#include <string>
#include <string_view>

namespace cleaner {

// "C:\a\b" becomes "\\?\C:\a\b" and "\\server\share\a" becomes
// "\\?\UNC\server\share\a". Paths already in that form, device paths and
// relative paths are returned unchanged (the extended form turns off the
// parsing that relative paths need).
std::wstring ExtendedLengthPath(std::wstring_view path);

}  // namespace cleaner
