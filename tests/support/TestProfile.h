// tests/support/TestProfile.h
// The test prefix's real user profile and the real program, for the end to
// end tests.
#pragma once

#include "framework/Handle.h"
#include "support/TestFiles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct ProfileFolders {
    std::wstring local;      // CSIDL_LOCAL_APPDATA
    std::wstring roaming;    // CSIDL_APPDATA
    std::wstring documents;  // CSIDL_PERSONAL
    std::wstring appData;    // parent of roaming
    std::wstring home;       // grandparent of roaming
};
ProfileFolders UserProfile();

// The eight top folders a full cleaning run removes, in step order.
std::wstring TargetFolder(int step);

struct RunResult {
    bool started = false;
    DWORD exitCode = 0;
};

// A copy of the built program in a folder of its own, so that its settings
// file is the test's; the folder goes with the object.
class InstalledCleaner {
public:
    InstalledCleaner();
    ~InstalledCleaner();
    InstalledCleaner(const InstalledCleaner&) = delete;
    InstalledCleaner& operator=(const InstalledCleaner&) = delete;
    const std::wstring& Folder() const { return m_folder; }
    const std::wstring& ExePath() const { return m_exe; }
    std::wstring SettingsPath() const { return m_folder + L"\\Settings.ini"; }
    // Writes the file's "Settings" section exactly as given (key=value lines).
    void WriteSettings(const std::string& lines) const;
    void RemoveSettings() const;
    // Starts the program with its quoted path and the arguments (if any,
    // after one blank), waits for it and returns its exit code.
    // With a standard error handle, it is handed over as a shell's "2>" does.
    RunResult Run(const std::wstring& arguments, DWORD timeoutMs = 120000, HANDLE standardError = nullptr) const;

private:
    std::wstring m_folder;
    std::wstring m_exe;
};

// A program started and not waited for; ended by force if still running when
// the object goes. Without an application name the program is the command
// line's first item.
class StartedProcess {
public:
    // Without a standard error handle no handle is inherited, as from
    // Explorer; with one, it is the program's standard error.
    explicit StartedProcess(std::wstring commandLine, const std::wstring& application = {},
                            HANDLE standardError = nullptr);
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;
    bool Started() const { return m_process != nullptr; }
    DWORD Id() const { return ::GetProcessId(m_process); }
    // The exit code, or nothing when it has not ended within the time.
    bool Wait(DWORD timeoutMs, DWORD& exitCode);

private:
    HANDLE m_process = nullptr;
};

// A top-level dialog of any process with this caption (and control), waited
// for up to the time given; null when none appeared.
HWND WaitForDialog(const std::wstring& caption, int controlId, DWORD timeoutMs = 30000);
// The lParam that Windows sends with WM_QUERYENDSESSION and WM_ENDSESSION
// when the user logs off.
inline const LPARAM kLogoffParam = static_cast<LPARAM>(static_cast<ULONG_PTR>(ENDSESSION_LOGOFF));

// Whether the system takes a reason for holding the session up
// (ShutdownBlockReasonCreate): Windows does, Wine does not. A program that
// has none must let the session end.
bool SystemTakesBlockReasons();

// The process's top-level windows, shown or not.
std::vector<HWND> TopLevelWindows(DWORD processId);
// Whether the process shows any window on the screen.
bool ShowsAWindow(DWORD processId);
// Many empty files in a new folder, made from the Unix side under Wine,
// where a Windows loop takes a minute for tens of thousands.
bool MakeManyFiles(const std::wstring& folder, int count);
// Text of a control of another process (WM_GETTEXT).
std::wstring ForeignControlText(HWND dialog, int id);

// Starts a command line, waits, returns the exit code. Without an application
// name the program is the command line's first item.
RunResult RunCommandLine(std::wstring commandLine, DWORD timeoutMs = 120000, const std::wstring& application = {},
                         HANDLE standardError = nullptr);

// An inheritable file for a program's standard error, in a folder of its
// own, as a shell's "2> file" makes it.
class ErrorFile {
public:
    ErrorFile();
    HANDLE Handle() const { return m_file.get(); }
    // What was written so far.
    std::string Text() const;

private:
    TempFolder m_folder;
    fw::UniqueFile m_file;
};

}  // namespace testing_support
