// src/app/ReRegistration.cpp
// The re-registration run: clean with the registry, let the product write
// fresh entries, clean the folders again, then offer the developer settings.
#include "app/CleanerApp.h"

#include "app/ProductStart.h"
#include "clean/ApiPath.h"
#include "framework/MessageBox.h"
#include "ui/SetRegistryDlg.h"

#include <shlwapi.h>

namespace {

// The path with every link and junction on the way seen through, as the
// file system names it; empty where it cannot be opened.
std::wstring FinalPath(const std::wstring& path)
{
    const fw::UniqueFile handle(::CreateFileW(cleaner::ApiPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return std::wstring();
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(handle.get(), final.data(), static_cast<DWORD>(final.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return std::wstring();
        if (length < final.size()) {
            final.resize(length);
            return final;
        }
        final.resize(length);
    }
}

// Both as FinalPath gives them: the same volume, names compared as the
// file system does, without regard to case.
bool LiesAtOrBelow(const std::wstring& path, const std::wstring& folder)
{
    if (folder.empty() || path.size() < folder.size() ||
        ::CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                               static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\' || folder.back() == L'\\';
}

}  // namespace

std::optional<std::wstring> CCleanerApp::FolderHoldingProduct()
{
    // A build kept in the profile's product folders (a per-user install, a
    // developer's copy) would be deleted file by file, then not start.
    const std::wstring product = FinalPath(m_productExePath);
    if (product.empty())
        return std::nullopt;
    for (const std::wstring& folder : TopFolders(KeepOptionsForRun())) {
        if (LiesAtOrBelow(product, FinalPath(folder)))
            return folder;
    }
    return std::nullopt;
}

BOOL CCleanerApp::StartProductAndWait()
{
    const wchar_t* name = ::PathFindFileNameW(m_productExePath.c_str());
    if (!cleaner::CanStartProductPath(m_productExePath)) {
        m_productNotStarted = cleaner::NotStartedText(name, 0, L"");
        return FALSE;
    }
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
        const std::wstring reason = CRunReport::SystemMessage(error, m_productExePath);
        // The dialog's line has room for the file's name, not its path.
        m_productNotStarted = cleaner::NotStartedText(name, error, CRunReport::SystemMessage(error, name));
        if (m_report && m_report->IsOpen())
            m_report->Write(cleaner::ProductLine(m_productExePath, error, cleaner::ProductStartReason(error, reason)));
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
    if (const auto holder = FolderHoldingProduct()) {
        // Nothing is removed, nothing started, and the caller learns why.
        m_summary.product = cleaner::ProductStart::NotStarted;
        m_outcome.productNotStarted = true;
        if (m_report && m_report->IsOpen())
            m_report->Write(cleaner::ProductLine(m_productExePath, 0,
                                                 L"it lies in " + *holder + L", which the cleaning removes"));
        WorkDone();
        fw::AppMessageBox(nullptr,
                          (L"The product cannot be re-registered from where it is:\n\n" + m_productExePath +
                           L"\n\nlies in\n\n" + *holder +
                           L"\n\nwhich the cleaning removes. Nothing was removed; move the build elsewhere and "
                           L"try again.")
                              .c_str(),
                          MB_OK | MB_ICONSTOP);
        return;
    }
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
    dialog.m_productNotStarted = m_productNotStarted;
    NoteDialogResult(dialog.DoModal());
}
