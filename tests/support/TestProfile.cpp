// tests/support/TestProfile.cpp
#include "support/TestProfile.h"

#include "support/TestFiles.h"

#include <shlobj.h>

#include <algorithm>
#include <stdexcept>

namespace testing_support {
namespace {

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        throw std::runtime_error("shell folder look-up failed");
    return path;
}

std::wstring Parent(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

}  // namespace

ProfileFolders UserProfile()
{
    ProfileFolders folders;
    folders.local = ShellFolder(CSIDL_LOCAL_APPDATA);
    folders.roaming = ShellFolder(CSIDL_APPDATA);
    folders.documents = ShellFolder(CSIDL_PERSONAL);
    folders.appData = Parent(folders.roaming);
    folders.home = Parent(folders.appData);
    return folders;
}

std::wstring TargetFolder(int step)
{
    const ProfileFolders p = UserProfile();
    switch (step) {
    case 1: return p.local + L"\\Velmora";
    case 2: return p.local + L"\\VL-LW-Temp";
    case 3: return p.appData + L"\\Velmora";
    case 4: return p.home + L"\\Velmora";
    case 5: return p.roaming + L"\\Velmora";
    case 6: return p.roaming + L"\\Install.VL";
    case 7: return p.documents + L"\\Lumetra";
    case 8: return p.documents + L"\\Quillo";
    default: throw std::out_of_range("step");
    }
}

InstalledCleaner::InstalledCleaner()
{
    m_folder = UserProfile().local + L"\\..\\cleaner-under-test";
    wchar_t full[MAX_PATH] = {};
    ::GetFullPathNameW(m_folder.c_str(), MAX_PATH, full, nullptr);
    m_folder = full;
    MakeFolders(m_folder);
    m_exe = m_folder + L"\\VelmoraRegistryCleaner.exe";
    const std::wstring built = ProgramFolder() + L"\\VelmoraRegistryCleaner.exe";
    if (!::CopyFileW(built.c_str(), m_exe.c_str(), FALSE))
        throw std::runtime_error("cannot copy the built program");
    RemoveSettings();
}

InstalledCleaner::~InstalledCleaner() { RemoveTree(m_folder); }

void InstalledCleaner::WriteSettings(const std::string& lines) const
{
    WriteTextFile(SettingsPath(), "[Settings]\r\n" + lines);
}

void InstalledCleaner::RemoveSettings() const { ::DeleteFileW(SettingsPath().c_str()); }

RunResult InstalledCleaner::Run(const std::wstring& arguments, DWORD timeoutMs, HANDLE standardError) const
{
    std::wstring line = L"\"" + m_exe + L"\"";
    if (!arguments.empty())
        line += L" " + arguments;
    return RunCommandLine(line, timeoutMs, {}, standardError);
}

RunResult RunCommandLine(std::wstring commandLine, DWORD timeoutMs, const std::wstring& application,
                         HANDLE standardError)
{
    RunResult result;
    StartedProcess process(std::move(commandLine), application, standardError);
    result.started = process.Started();
    if (!result.started)
        return result;
    if (!process.Wait(timeoutMs, result.exitCode))
        throw std::runtime_error("the program did not end in time");  // and is ended by force
    return result;
}

StartedProcess::StartedProcess(std::wstring commandLine, const std::wstring& application, HANDLE standardError)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (standardError != nullptr) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = standardError;
    }
    PROCESS_INFORMATION process = {};
    if (::CreateProcessW(application.empty() ? nullptr : application.c_str(), commandLine.data(), nullptr, nullptr,
                         standardError != nullptr, 0, nullptr, nullptr, &startup, &process)) {
        m_process = process.hProcess;
        ::CloseHandle(process.hThread);
    }
}

StartedProcess::~StartedProcess()
{
    if (m_process == nullptr)
        return;
    // Ended, and gone: its files are let go once it has ended.
    if (::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT && ::TerminateProcess(m_process, 99))
        ::WaitForSingleObject(m_process, 30000);
    ::CloseHandle(m_process);
}

bool StartedProcess::Wait(DWORD timeoutMs, DWORD& exitCode)
{
    if (m_process == nullptr || ::WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return ::GetExitCodeProcess(m_process, &exitCode) != FALSE;
}

HWND WaitForDialog(const std::wstring& caption, int controlId, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    do {
        HWND window = ::FindWindowW(L"#32770", caption.c_str());
        if (window != nullptr && ::IsWindowVisible(window) && (controlId == 0 || ::GetDlgItem(window, controlId)))
            return window;
        ::Sleep(100);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

namespace {
struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->found.push_back(window);
    return TRUE;
}
}  // namespace

bool SystemTakesBlockReasons()
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const bool taken = window != nullptr && ::ShutdownBlockReasonCreate(window, L"probe");
    if (taken)
        ::ShutdownBlockReasonDestroy(window);
    if (window != nullptr)
        ::DestroyWindow(window);
    return taken;
}

std::vector<HWND> TopLevelWindows(DWORD processId)
{
    WindowSearch search{processId, {}};
    ::EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ShowsAWindow(DWORD processId)
{
    const std::vector<HWND> windows = TopLevelWindows(processId);
    return std::any_of(windows.begin(), windows.end(), [](HWND window) { return ::IsWindowVisible(window) != FALSE; });
}

bool MakeManyFiles(const std::wstring& folder, int count)
{
    MakeFolders(folder);
    const std::string unix = UnixPath(folder);
    if (!unix.empty())
        return RunUnixShell("cd '" + unix + "' && seq 1 " + std::to_string(count) + " | xargs touch", 120000);
    for (int i = 1; i <= count; ++i) {
        const fw::UniqueFile file(::CreateFileW((folder + L"\\" + std::to_wstring(i)).c_str(), GENERIC_WRITE, 0,
                                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
    }
    return true;
}

std::wstring ForeignControlText(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    const auto length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(
        ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

ErrorFile::ErrorFile()
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    m_file.reset(::CreateFileW((m_folder / L"stderr.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file)
        throw std::runtime_error("cannot make a file for standard error");
}

std::string ErrorFile::Text() const { return ReadTextFile(m_folder / L"stderr.txt"); }

}  // namespace testing_support
