// src/clean/LongPath.h
// The extended-length form of a path for the file functions, so that entries
// deeper than MAX_PATH can be listed and removed. Portable.
#pragma once

#include <string>
#include <string_view>

namespace cleaner {

// Paths this long or longer are handed to the file functions in the
// "\\?\" form. 248 is the shortest limit among them (a directory's path
// must leave room for an 8.3 file name).
constexpr size_t kLongPathThreshold = 248;

// "C:\a\b" becomes "\\?\C:\a\b" and "\\server\share\a" becomes
// "\\?\UNC\server\share\a" when the path reaches the threshold. Short paths,
// paths already in that form and relative paths are returned unchanged (the
// extended form turns off the parsing that relative paths need).
std::wstring ExtendedLengthPath(std::wstring_view path);

}  // namespace cleaner
