// tests/support/TestFiles.h
// Real files and folders for the Win32 tests: a scratch folder that removes
// itself, and small helpers to build and inspect trees.
#pragma once

#include "framework/Handle.h"

#include <string>
#include <vector>

namespace testing_support {

// A fresh, empty folder below the temporary folder, removed with all it holds
// when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& relative) const { return m_path + L"\\" + relative; }

private:
    std::wstring m_path;
};

// Creates every missing folder of the path (long paths too).
void MakeFolders(const std::wstring& path);
// Creates or replaces a file with the given text (folders are made first).
void WriteTextFile(const std::wstring& path, const std::string& content = "data");
std::string ReadTextFile(const std::wstring& path);
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
DWORD Attributes(const std::wstring& path);
// Names below the folder in the order the system lists them, without "." and "..".
std::vector<std::wstring> ListNames(const std::wstring& folder);
// Every file and folder below the folder, relative to it, sorted.
std::vector<std::wstring> ListTree(const std::wstring& folder);
// Removes a tree whatever its attributes; for clean-up, not under test.
void RemoveTree(const std::wstring& path);

// A file held open without sharing, so that it can be neither deleted nor
// opened by anyone else while the object lives.
class LockedFile {
public:
    // Without sharing by default, as a program that uses the file would.
    explicit LockedFile(const std::wstring& path, DWORD share = 0);
    bool IsLocked() const { return m_file.valid(); }
    void Release() { m_file.reset(); }

private:
    fw::UniqueFile m_file;
};

// Whether the system deletes files in the folder with POSIX semantics (the
// name goes at once, while others still hold the file), asked with the call
// the removal makes, on a scratch file there. Windows 10 1709 and later do
// on NTFS; older systems, other file systems and Wine before 9 refuse it.
bool DeletesWithPosixSemantics(const std::wstring& folder);
// Whether it also deletes a read-only file so, told to ignore the bit
// (Windows 10 1809 and later; Wine 10), rather than have it cleared first.
bool DeletesIgnoringReadOnly(const std::wstring& folder);

// The root of a drive letter that names no drive here ("Q:\\"), empty when
// every letter is taken.
std::wstring UnmappedDrive();

// The directory of the running test program, without a trailing backslash.
std::wstring ProgramFolder();
// ASCII text for messages and expectations; other characters become "?".
std::string Narrow(const std::wstring& text);

// A Windows environment variable; empty when not set.
std::wstring Environment(const wchar_t* name);

// Whether this runs under Wine, as ntdll's wine_get_version export tells:
// never judged by a file or a setting.
bool RunsUnderWine();

// In the self-test bundle (run-selftest.cmd sets CLEANER_SELFTEST), a test
// that cleans the real profile or registry of the user who runs it, or
// changes the machine (services), runs only where the runner was told so
// (/reset-this-profile sets CLEANER_RESET_THIS_PROFILE); elsewhere (Wine's
// throwaway prefixes) always.
bool MayResetThisProfile();
// The reason a test gives when it may not.
inline const char* const kResetsThisProfile =
    "cleans this user's real profile or registry: run-selftest.cmd /reset-this-profile runs it";

// A directory link at link, to the target: a Unix symbolic link under Wine
// (which makes no junctions), a junction on Windows. False when none was
// made. RemoveFolderLink removes the link as itself.
bool LinkFolder(const std::wstring& link, const std::wstring& target);
void RemoveFolderLink(const std::wstring& link);

// Under Wine only: the Unix path of a Windows path (empty elsewhere), and a
// shell command run on the Unix side, for what Windows programs cannot do
// there (making a symbolic link). Wine cannot wait for a Unix process, so
// the command is polled for: true when it finished within the time. The
// command quotes with single quotes and holds no backslash.
std::string UnixPath(const std::wstring& windowsPath);
bool RunUnixShell(const std::string& command, DWORD timeoutMs = 10000);

}  // namespace testing_support
