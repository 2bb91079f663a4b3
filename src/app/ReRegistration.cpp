// src/app/ReRegistration.cpp
// The re-registration run: clean with the registry, let the product write
// fresh entries, clean the folders again, then offer the developer settings.
#include "app/CleanerApp.h"

#include "app/ProductStart.h"
#include "ui/SetRegistryDlg.h"

static_assert(cleaner::kProductCreationFlags == HIGH_PRIORITY_CLASS, "the product starts at high priority");

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
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, cleaner::kProductCreationFlags, nullptr,
                          nullptr, &startup, &process))
        return FALSE;
    const fw::UniqueKernelHandle processHandle(process.hProcess);
    const fw::UniqueKernelHandle threadHandle(process.hThread);
    ::WaitForSingleObject(processHandle.get(), INFINITE);
    return TRUE;
}

void CCleanerApp::RunReRegistration()
{
    const std::wstring prefsPostfix = ReadPrefsPostfix(m_productExePath);
    const std::wstring platformSuffix = IsWin64Product(m_productExePath);

    m_registryPass = TRUE;
    BOOL cleaningSucceeded = TRUE;
    if (!CleanProfile()) {
        // Folders stayed: the product is not started and there is no
        // second run.
        cleaningSucceeded = FALSE;
    } else {
        StartProductAndWait();
        m_registryPass = FALSE;
        CleanProfile();
    }
    ShowDeveloperDialog(prefsPostfix, platformSuffix, cleaningSucceeded);
}

void CCleanerApp::ShowDeveloperDialog(const std::wstring& prefsPostfix, const std::wstring& platformSuffix,
                                      BOOL cleaningSucceeded)
{
    CSetRegistryDlg dialog(*this);
    dialog.m_prefsPostfix = prefsPostfix;
    dialog.m_platformSuffix = platformSuffix;
    dialog.m_cleaningSucceeded = cleaningSucceeded;
    dialog.DoModal();
}
