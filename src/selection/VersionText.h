// src/selection/VersionText.h
// What the product's version file says, found by plain, case-sensitive text
// search; no XML parsing. Portable.
#pragma once

#include <string>
#include <string_view>

namespace cleaner {

// The folder's "ProductVersion.xml" for an executable path: the path up to and
// including its last backslash, then the file name. Empty when there is no
// backslash (a forward slash does not separate folders).
std::wstring VersionFilePath(std::wstring_view exePath);

// Replaces "&amp;" by "&" until none is left, as if the search began again at
// the start after every cut: "&amp;amp;" becomes "&". Other references stay.
std::wstring CollapseAmpersands(std::wstring_view text);

// The text between the first "<prefspostfix>" and the first
// "</prefspostfix>", both searched from the start; empty when either is
// missing or the closing tag starts before the opening one ends. Nothing is
// trimmed.
std::wstring FindPrefsPostfix(std::wstring_view text);

// "64" when the text holds "<platform>WIN64</platform>" exactly; else empty.
std::wstring PlatformSuffix(std::wstring_view text);

}  // namespace cleaner
