// src/clean/CleanProfile.cpp
// The cleaning run: the eight folder steps, the registry stage and the
// result the caller and the user see.
#include "app/CleanerApp.h"

#include "app/ResultDialogs.h"
#include "clean/ApiPath.h"
#include "clean/CleaningRules.h"
#include "clean/FolderList.h"
#include "res/resource.h"
#include "selection/TreeWalks.h"
#include "ui/SettingsFile.h"

#include <shlobj.h>

#include <optional>
#include <vector>

namespace {

// SHGetFolderPathW without CSIDL_FLAG_CREATE: a look-up never creates a
// folder. Only S_OK counts; S_FALSE (folder missing) does not.
std::optional<std::wstring> LookUpShellFolder(int csidl, HANDLE token)
{
    wchar_t path[MAX_PATH] = {};
    if (::SHGetFolderPathW(nullptr, csidl, token, SHGFP_TYPE_CURRENT, path) != S_OK)
        return std::nullopt;
    return std::wstring(path);
}

cleaner::KeepOptions ReadKeepOptions(const std::wstring& settingsPath)
{
    cleaner::KeepOptions keep;
    keep.keepRegistry = cleaner::ReadSetting(settingsPath, cleaner::kKeepRegistry);
    keep.keepSnFindOutMore = cleaner::ReadSetting(settingsPath, cleaner::kKeepSnFindOutMore);
    keep.keepVaultry = cleaner::ReadSetting(settingsPath, cleaner::kKeepVaultry);
    keep.keepQrx = cleaner::ReadSetting(settingsPath, cleaner::kKeepQrx);
    return keep;
}

}  // namespace

void CCleanerApp::RecordFailure(const std::wstring& folder, BOOL& result)
{
    m_failureReport += L'\t';
    m_failureReport += folder;
    m_failureReport += L'\n';
    result = FALSE;
}

void CCleanerApp::RemoveProfileFolder(const std::wstring& folder, BOOL& result)
{
    if (DeleteFolderTree(folder) != 0) {
        RecordFailure(folder, result);
        return;
    }
    if (!CanEnterFolder(folder))
        return;
    if (!::RemoveDirectoryW(cleaner::ApiPath(folder).c_str()))
        RecordFailure(folder, result);
}

BOOL CCleanerApp::CleanProfile()
{
    BOOL result = TRUE;
    const auto removeAll = [&](const std::vector<std::wstring>& folders) {
        for (const std::wstring& folder : folders)
            RemoveProfileFolder(folder, result);
    };

    if (const auto local = LookUpShellFolder(CSIDL_LOCAL_APPDATA, m_hToken.get()))
        removeAll(cleaner::LocalAppDataFolders(*local));
    if (const auto roaming = LookUpShellFolder(CSIDL_APPDATA, m_hToken.get()))
        removeAll(cleaner::RoamingAncestorFolders(*roaming));
    if (const auto roaming = LookUpShellFolder(CSIDL_APPDATA, m_hToken.get()))
        removeAll(cleaner::RoamingFolders(*roaming));

    const cleaner::KeepOptions keep = ReadKeepOptions(m_settingsPath);
    if (cleaner::CleansDocumentFolders(keep)) {
        if (const auto documents = LookUpShellFolder(CSIDL_PERSONAL, m_hToken.get()))
            removeAll(cleaner::DocumentFolders(*documents));
    }

    const cleaner::RunMode mode{m_silent != FALSE, m_reRegister != FALSE, m_registryPass != FALSE};
    if (cleaner::CleansRegistry(mode, keep))
        CleanRegistry(keep);

    if (cleaner::IsInteractive(mode)) {
        EndWaitCursor();
        ShowResultDialog(result);
    }
    return result;
}

// Registry work never changes the run's result or its failure report.
void CCleanerApp::CleanRegistry(const cleaner::KeepOptions& keep)
{
    if (cleaner::PerUserTreeAction(keep) == cleaner::PerUserAction::DeleteWholeTree)
        DeleteRegistryKey(HKEY_CURRENT_USER, cleaner::kMakerKey);
    else
        CleanMakerRegistryTree();

    const cleaner::MachineAction machine = cleaner::MachineTreeAction(keep);
    if (machine.deleteWholeTree)
        DeleteRegistryKey(HKEY_LOCAL_MACHINE, cleaner::kMakerKey);
    else
        CleanMakerMachineTree(machine.keepVaultry, machine.keepQrx);
}

std::wstring CCleanerApp::FailureText() const
{
    // String-table entry 1 is the head; the report follows it directly.
    const wchar_t* head = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), IDS_FAILURE_HEAD, reinterpret_cast<LPWSTR>(&head), 0);
    std::wstring text = length > 0 ? std::wstring(head, static_cast<size_t>(length)) : std::wstring();
    return text + m_failureReport;
}

void CCleanerApp::ShowResultDialog(BOOL result)
{
    if (result) {
        CSuccessDlg dialog;
        dialog.DoModal();
    } else {
        CFailureDlg dialog;
        dialog.m_message = FailureText();
        dialog.DoModal();
    }
}
