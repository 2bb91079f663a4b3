// src/app/CommandLine.h
// How the program reads its command line. Portable: no platform calls.
#pragma once

#include <string>
#include <string_view>

namespace cleaner {

struct CommandLine {
    std::wstring programPath;    // without its quotes
    std::wstring argumentText;   // everything after the program path
    bool silent = false;         // "/S" or "-S" anywhere, in any case
    bool reRegister = false;     // the argument text names the product's executable
    std::wstring productExePath; // the whole trimmed argument text when reRegister
    // "/L" or "-L", in any case, as a whole blank-separated word: the run
    // lists what the run the rest would choose removes, and removes nothing.
    bool list = false;
};

// Splits the process's command line into program path and argument text and
// looks at the argument text for the silent switch, a product argument and
// the listing switch.
CommandLine SplitCommandLine(std::wstring_view line);

// Where the settings file lies: the program path cut at its last backslash,
// then "\Settings.ini". A program path without a backslash has no folder, so
// moduleFolder (the running executable's folder) is used in its place.
std::wstring SettingsPathFor(std::wstring_view programPath, std::wstring_view moduleFolder);

// The folder part of a path: the text before its last backslash; the empty
// text when there is no backslash.
std::wstring FolderOf(std::wstring_view path);

// True when the path has a backslash and the name after the last one is
// "Plandrel.exe" in any letter case. The product argument and a dropped file
// are both judged by it.
bool IsProductExecutablePath(std::wstring_view path);

// ASCII-only case folding, the comparison the command line and the dropped
// file name need; other characters compare exactly.
bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b) noexcept;

}  // namespace cleaner
