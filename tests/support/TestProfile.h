// tests/support/TestProfile.h
// The test prefix's real user profile and the real program, for the end to
// end tests.
#pragma once

#include <windows.h>

#include <string>

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
// file is the test's.
class InstalledCleaner {
public:
    InstalledCleaner();
    const std::wstring& Folder() const { return m_folder; }
    const std::wstring& ExePath() const { return m_exe; }
    std::wstring SettingsPath() const { return m_folder + L"\\Settings.ini"; }
    // Writes the file's "Settings" section exactly as given (key=value lines).
    void WriteSettings(const std::string& lines) const;
    void RemoveSettings() const;
    // Starts the program with its quoted path and the arguments (if any,
    // after one blank), waits for it and returns its exit code.
    RunResult Run(const std::wstring& arguments, DWORD timeoutMs = 120000) const;

private:
    std::wstring m_folder;
    std::wstring m_exe;
};

// Starts a command line, waits, returns the exit code. Without an application
// name the program is the command line's first item.
RunResult RunCommandLine(std::wstring commandLine, DWORD timeoutMs = 120000, const std::wstring& application = {});

}  // namespace testing_support
