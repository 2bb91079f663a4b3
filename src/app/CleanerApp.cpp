// src/app/CleanerApp.cpp
#include "app/CleanerApp.h"

#include "app/CommandLine.h"
#include "clean/CleaningRules.h"
#include "framework/Accessibility.h"
#include "ui/CleanDlg.h"
#include "ui/ProgressWindow.h"

namespace {

// The folder of the running executable, for a program path that names none.
std::wstring ModuleFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return cleaner::FolderOf(path);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

void CCleanerApp::ApplyCommandLine(const std::wstring& commandLine)
{
    const cleaner::CommandLine split = cleaner::SplitCommandLine(commandLine);
    m_silent = split.silent ? TRUE : FALSE;
    m_reRegister = split.reRegister ? TRUE : FALSE;
    m_listing = split.list ? TRUE : FALSE;
    if (split.reRegister)
        m_productExePath = split.productExePath;
    const bool hasFolder = split.programPath.find(L'\\') != std::wstring::npos;
    m_settingsPath = cleaner::SettingsPathFor(split.programPath, hasFolder ? std::wstring() : ModuleFolder());
}

BOOL CCleanerApp::InitInstance()
{
    // For what the dialogs tell screen readers.
    const fw::CComApartment com;
    m_report.emplace();
    ApplyCommandLine(::GetCommandLineW());

    Run();
    WriteReportEnd();
    SetExitCode(cleaner::ExitCodeFor(Outcome()));
    return FALSE;
}

cleaner::RunOutcome CCleanerApp::Outcome() const
{
    cleaner::RunOutcome outcome = m_outcome;
    // A folder or registry tree that stayed, or a handler that caught an
    // exception anywhere.
    if (!m_failureReport.empty() || !m_registryStayed.empty() || ExceptionCaught())
        outcome.stepFailed = true;
    return outcome;
}

void CCleanerApp::Run()
{
    m_summary.mode = m_listing ? cleaner::RunKind::List
                               : m_reRegister ? cleaner::RunKind::ReRegister : cleaner::RunKind::Clean;
    // A listing asks nothing: it stores no boxes and takes no drop.
    if (!m_silent && !m_reRegister && !m_listing) {
        // Only Clean or an accepted drop go on: a dialog that could not be
        // shown, or failed inside (-1), must not lead to a deletion.
        CCleanDlg dialog(*this);
        const INT_PTR result = dialog.DoModal();
        if (result == IDCANCEL)
            return;
        if (result != IDOK) {
            m_outcome.couldNotStart = true;
            return;
        }
    }

    // The shell's look-ups with a token need TOKEN_QUERY and
    // TOKEN_IMPERSONATE; GENERIC_READ alone maps to TOKEN_READ, which lacks
    // the second. A process may always open its own token so.
    if (!::OpenProcessToken(::GetCurrentProcess(), GENERIC_READ | TOKEN_IMPERSONATE, m_hToken.put())) {
        m_outcome.couldNotStart = true;
        return;
    }

    // Made hidden now, shown only if the work lasts; a silent run's is never
    // shown, and is there for the session's messages, which Windows sends
    // only to top-level windows. A window that cannot be made leaves a run
    // without one.
    CProgressWindow progressWindow(m_listing != FALSE);
    if (progressWindow.Start(cleaner::ShowsProgress(cleaner::RunMode{m_silent != FALSE, m_reRegister != FALSE, false})))
        m_progress = &progressWindow;
    BeginWaitCursor();
    m_working = true;
    try {
        if (m_listing)
            RunListing();
        else if (m_reRegister)
            RunReRegistration();
        else
            CleanProfile();
    } catch (...) {
        // Out of memory in the middle of a run: it did not finish, and a
        // silent caller must learn so rather than see an abort box.
        m_outcome.stepFailed = true;
    }
    m_working = false;
    m_progress = nullptr;
    EndWaitCursor();
}

void CCleanerApp::WorkDone()
{
    m_working = false;
    if (m_progress)
        m_progress->Done();
}

void CCleanerApp::OnSessionEnding(LPARAM reason) noexcept
{
    // Windows ends the process once this returns, whatever it was doing: a
    // run cut short failed, and a caller learns how far it got.
    try {
        if (m_working)
            m_outcome.stepFailed = true;
        m_summary.ending = (static_cast<ULONG_PTR>(reason) & ENDSESSION_CLOSEAPP) != 0 ? cleaner::RunEnding::Closed
                                                                                      : cleaner::RunEnding::Session;
        WriteReportEnd();
    } catch (...) {
        m_outcome.stepFailed = true;
    }
    ::ExitProcess(static_cast<UINT>(cleaner::ExitCodeFor(Outcome())));
}
