// src/app/ReRegistration.cpp
// The re-registration run: clean with the registry, let the product write
// fresh entries, clean the folders again, then offer the developer settings.
#include "app/CleanerApp.h"

#include "app/ProductStart.h"
#include "ui/SetRegistryDlg.h"

#include <shlwapi.h>

BOOL CCleanerApp::StartProductAndWait()
{
    if (!cleaner::CanStartProductPath(m_productExePath))
        return FALSE;
    // The start call may write into the command line, so it gets a buffer of
    // its own at full length; a path too long to start simply fails to start.
    std::wstring line = cleaner::ProductCommandLine(m_productExePath);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // High priority: the registration is the one thing the user waits for.
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, HIGH_PRIORITY_CLASS, nullptr,
                          nullptr, &startup, &process)) {
        // Told to a caller, as its own line and in the end line: a product
        // whose manifest asks for elevation (740) wants an elevated cleaner.
        const DWORD error = ::GetLastError();
        m_summary.productCode = error;
        if (m_report && m_report->IsOpen())
            m_report->Write(cleaner::ProductLine(m_productExePath, error,
                                                 cleaner::ProductStartReason(error, CRunReport::SystemMessage(error))));
        return FALSE;
    }
    const fw::UniqueKernelHandle processHandle(process.hProcess);
    const fw::UniqueKernelHandle threadHandle(process.hThread);
    m_summary.product = cleaner::ProductStart::Started;
    // As long as it takes; a window that shows the wait keeps answering.
    // Once a quit message came, nothing is pumped, and input would wake the
    // wait at once and for ever: a plain wait then.
    const HANDLE product = processHandle.get();
    if (m_progress) {
        DWORD woke = WAIT_FAILED;
        while (!m_progress->Quitting() &&
               (woke = ::MsgWaitForMultipleObjects(1, &product, FALSE, INFINITE, QS_ALLINPUT)) == WAIT_OBJECT_0 + 1)
            m_progress->Pump();
        if (woke != WAIT_OBJECT_0)
            ::WaitForSingleObject(product, INFINITE);
    } else {
        ::WaitForSingleObject(product, INFINITE);
    }
    // Whether the product registered itself is its own exit code's to say.
    DWORD code = 0;
    if (::GetExitCodeProcess(product, &code))
        m_summary.productCode = code;
    return TRUE;
}

void CCleanerApp::RunReRegistration()
{
    const std::wstring prefsPostfix = ReadPrefsPostfix(m_productExePath);
    const std::wstring platformSuffix = IsWin64Product(m_productExePath);

    m_registryPass = TRUE;
    m_summary.product = cleaner::ProductStart::NotStarted;
    BOOL cleaningSucceeded = TRUE;
    // Folders that stayed keep the product from starting, and there is no
    // second run; a registry tree that stayed fails the run all the same,
    // but the product still registers itself.
    if (!CleanProfile() && !m_failureReport.empty()) {
        cleaningSucceeded = FALSE;
    } else {
        if (m_progress)
            m_progress->WaitingForProduct(::PathFindFileNameW(m_productExePath.c_str()));
        // No message and no wait, as before; but the caller learns it.
        if (!StartProductAndWait())
            m_outcome.productNotStarted = true;
        m_registryPass = FALSE;
        if (m_progress)
            m_progress->CleaningAgain();
        CleanProfile();
    }
    // Asked to end meanwhile: the work is done, and no dialog follows.
    const bool quitting = m_progress && m_progress->Quitting();
    WorkDone();
    if (!quitting)
        ShowDeveloperDialog(prefsPostfix, platformSuffix, cleaningSucceeded);
}

void CCleanerApp::ShowDeveloperDialog(const std::wstring& prefsPostfix, const std::wstring& platformSuffix,
                                      BOOL cleaningSucceeded)
{
    CSetRegistryDlg dialog(*this);
    dialog.m_prefsPostfix = prefsPostfix;
    dialog.m_platformSuffix = platformSuffix;
    dialog.m_cleaningSucceeded = cleaningSucceeded;
    NoteDialogResult(dialog.DoModal());
}
