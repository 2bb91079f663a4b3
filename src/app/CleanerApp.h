// src/app/CleanerApp.h
// The application object: the run state every part of the program shares,
// and the cleaning engine's operations as its members.
#pragma once

#include "clean/CleaningRules.h"
#include "framework/Handle.h"
#include "framework/WinApp.h"

#include <string>

class CCleanerApp : public fw::CWinApp {
public:
    CCleanerApp() = default;
    ~CCleanerApp() override = default;

    BOOL InitInstance() override;

    // Application shell (src/app).
    void ApplyCommandLine(const std::wstring& commandLine);

    // Cleaning engine (src/clean).
    BOOL CleanProfile();
    void RemoveProfileFolder(const std::wstring& folder, BOOL& result);
    int DeleteFolderTree(const std::wstring& folder);
    BOOL CanEnterFolder(const std::wstring& folder);
    void DeleteRegistryKey(HKEY root, std::wstring path);
    BOOL HasWow6432Node();
    // KEY_WOW64_64KEY on a 64-bit system, else 0: the view for every access
    // to HKEY_LOCAL_MACHINE, asked anew at every call.
    REGSAM MachineViewFlag();

    // Registry selection (src/selection).
    void CleanMakerRegistryTree();
    void CleanMakerMachineTree(bool keepVaultry, bool keepQrx);
    BOOL HoldsQrxData(std::wstring path);
    BOOL HasQrxSubkey(std::wstring path);

    // Product version file (src/selection): empty texts for every absence.
    std::wstring ReadPrefsPostfix(std::wstring exePath);
    std::wstring IsWin64Product(std::wstring exePath);
    std::wstring ReadVersionFileText(const std::wstring& path);
    // The bytes end with a zero byte.
    std::wstring DecodeVersionText(const char* bytes);

    // Re-registration (src/app): starts the product and waits for it; false
    // when it could not be started.
    BOOL StartProductAndWait();

    std::wstring m_productExePath;
    BOOL m_reRegister = FALSE;
    BOOL m_silent = FALSE;
    std::wstring m_settingsPath;
    BOOL m_registryPass = FALSE;
    std::wstring m_failureReport;
    // Access token of the process, opened once per run; every shell-folder
    // look-up uses it. Closed with the application object.
    fw::UniqueKernelHandle m_hToken;

    // The failure dialog's text: the string table's head and the report.
    std::wstring FailureText() const;

private:
    std::wstring ReadVersionFileBeside(const std::wstring& exePath);
    void RecordFailure(const std::wstring& folder, BOOL& result);
    void CleanRegistry(const cleaner::KeepOptions& keep);
    void ShowResultDialog(BOOL result);
    void RunReRegistration();
    void ShowDeveloperDialog(const std::wstring& prefsPostfix, const std::wstring& platformSuffix, BOOL cleaningSucceeded);
};
