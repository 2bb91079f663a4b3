// src/app/CleanerApp.h
// The application object: the run state every part of the program shares,
// and the cleaning engine's operations as its members.
#pragma once

#include "app/ReportLines.h"
#include "app/RunReport.h"
#include "clean/CleaningRules.h"
#include "clean/KeyFailure.h"
#include "clean/RemovalRules.h"
#include "clean/RunProgress.h"
#include "clean/TreeRemoval.h"
#include "framework/Handle.h"
#include "framework/Registry.h"
#include "framework/WinApp.h"

#include <optional>
#include <string>
#include <vector>

class CCleanerApp : public fw::CWinApp {
public:
    CCleanerApp() = default;
    ~CCleanerApp() override = default;

    BOOL InitInstance() override;
    // Whether the token is an administrator's full one.
    static bool IsElevatedToken(HANDLE token);
    // The report's end line says what was done, and the process ends.
    void OnSessionEnding(LPARAM reason) noexcept override;
    // The whole run after the command line is read.
    void Run();
    // How the run ended, as the exit code tells it.
    cleaner::RunOutcome Outcome() const;

    // Application shell (src/app).
    void ApplyCommandLine(const std::wstring& commandLine);

    // Cleaning engine (src/clean).
    BOOL CleanProfile();
    void RemoveProfileFolder(const std::wstring& folder, BOOL& result);
    // The same through a removal the caller has set up (tests refuse calls).
    void RemoveProfileFolder(const std::wstring& folder, BOOL& result, cleaner::CTreeRemoval& removal);
    int DeleteFolderTree(const std::wstring& folder);
    // The same through a removal that goes on to the folder itself and
    // tells which entry stopped it and why.
    int DeleteFolderTree(const std::wstring& folder, cleaner::CTreeRemoval& removal);
    BOOL CanEnterFolder(const std::wstring& folder);
    // Deletes the key with all below it: nothing when it went or was not
    // there, else the first key that would not go and why.
    std::optional<cleaner::KeyFailure> DeleteRegistryKey(HKEY root, std::wstring path);
    // Deletes one key, opened as itself, through its handle; the root and
    // path are for tests that refuse a deletion.
    virtual LONG DeleteKeyItself(HKEY root, const std::wstring& path, HKEY key);
    // SHGetFolderPathW with the run's token (flags such as
    // CSIDL_FLAG_DONT_VERIFY in csidl); tests stand in for the shell.
    virtual HRESULT ShellFolderPath(int csidl, std::wstring& path);
    // The process token's elevation type: Full only where a linked,
    // unelevated token (and its logon session) exists beside it. Tests
    // stand in for an elevated run.
    virtual TOKEN_ELEVATION_TYPE ElevationType() const;
    BOOL HasWow6432Node();
    // KEY_WOW64_64KEY on a 64-bit system, else 0: the view for every access
    // to HKEY_LOCAL_MACHINE, asked anew at every call.
    REGSAM MachineViewFlag();

    // Registry selection (src/selection).
    // Each gives the first key that the rules did not spare and that stayed.
    std::optional<cleaner::KeyFailure> CleanMakerRegistryTree();
    std::optional<cleaner::KeyFailure> CleanMakerMachineTree(bool keepVaultry, bool keepQrx);
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
    // "/L": the run lists what the run the rest of the command line names
    // would remove, and changes nothing at all.
    BOOL m_listing = FALSE;
    // What a listing found, in the run's order, and whether the run it
    // lists would leave the registry alone.
    std::vector<cleaner::ListedEntry> m_listed;
    bool m_registryKept = false;
    std::wstring m_settingsPath;
    BOOL m_registryPass = FALSE;
    std::wstring m_failureReport;
    // For the failure dialog: one line per report entry, in its order, on
    // the entry that would not go and who holds it.
    std::vector<std::wstring> m_failureDetails;
    // For the failure dialog, after the folders: each registry tree that
    // stayed, and its detail line.
    std::vector<std::pair<std::wstring, std::wstring>> m_registryStayed;
    // Access token of the process, opened once per run; every shell-folder
    // look-up uses it. Closed with the application object.
    fw::UniqueKernelHandle m_hToken;

    // How the run ended, for the exit code: set by the steps as they go.
    cleaner::RunOutcome m_outcome;
    // The keep options as ticked on Clean when they could not be stored:
    // the run then obeys these rather than the file.
    std::optional<cleaner::KeepOptions> m_unstoredKeepOptions;
    // What the report's closing line counts, over every cleaning run (the
    // folders that stayed are the failure report's entries).
    cleaner::RunSummary m_summary;
    // Whoever shows the run's progress (in a silent run a window that is
    // never shown, for the session's messages); none when it cannot be made.
    cleaner::IRunProgress* m_progress = nullptr;
    // The run's work has begun and is not over: a session that ends
    // meanwhile cuts it short.
    bool m_working = false;
    // Re-registration: what the developer dialog says when the product did
    // not start; empty when it started.
    std::wstring m_productNotStarted;
    // Report lines for a caller that redirected standard error; made by
    // InitInstance, so that only a real run writes them.
    std::optional<CRunReport> m_report;

    // The failure dialog's text: the string table's head and the report.
    std::wstring FailureText() const;
    // The listing dialog's text, numbers in the user's format.
    std::wstring ListingText() const;

private:
    std::wstring ReadVersionFileBeside(const std::wstring& exePath);
    // The top folders a run with these keep options removes, in step order,
    // where the shell names their places.
    std::vector<std::wstring> TopFolders(const cleaner::KeepOptions& keep);
    // The run's keep options: the boxes as ticked when Clean could not
    // store them, else the settings file's.
    cleaner::KeepOptions KeepOptionsForRun() const;
    // The top folder that the product's executable lies in, links seen
    // through; nothing when it lies in none.
    std::optional<std::wstring> FolderHoldingProduct();
    void RecordFailure(const std::wstring& folder, const cleaner::RemovalFailure& failure, BOOL& result);
    void WriteReportEnd();
    // The work is over: the progress hands over to the dialog that follows.
    void WorkDone();
    // False when a tree, or a key in it that was not spared, stayed.
    bool CleanRegistry(const cleaner::KeepOptions& keep);
    void RecordRegistryFailure(HKEY root, const cleaner::KeyFailure& failure);
    bool DeleteKeyAndBelow(HKEY root, const std::wstring& path, HKEY key, REGSAM view, int depth,
                           cleaner::CRetryBudget& budget, std::optional<cleaner::KeyFailure>& failure);
    // Whether the process runs with an administrator's full token.
    bool IsElevated() const;
    // Records a top folder (or a shell folder that named none) that stayed:
    // the failure report's entry, the dialog's detail and the report line.
    void RecordStayed(const cleaner::StayedFolder& stayed, BOOL& result);

    fw::CKeyDeleter m_keyDeleter;
    void ShowResultDialog(BOOL result);
    void RunReRegistration();
    void RunListing();
    // A listing's findings: told to a caller and kept for the dialog.
    void RecordListed(const cleaner::ListedEntry& entry);
    // A folder that cannot be listed to the end goes through RecordStayed,
    // which a listing records as not listed.
    void ListProfileFolder(const std::wstring& folder, cleaner::CTreeRemoval& removal, BOOL& result);
    // The folders a keep option spares, where they are there.
    void ListKeptFolders();
    // The root's name as reports write it, with its backslash.
    static const wchar_t* RootName(HKEY root) noexcept;
    // What DeleteRegistryKey would delete: the key's subtree, counted.
    void ListRegistryKey(HKEY root, const std::wstring& path);
    void ShowDeveloperDialog(const std::wstring& prefsPostfix, const std::wstring& platformSuffix, BOOL cleaningSucceeded);
    // The shell folder's path, verified or else unverified; nothing when
    // the shell names none. `verified` is the verified look-up's answer.
    std::optional<std::wstring> NamedShellFolder(int csidl, HRESULT& verified);
    // The same; where the shell names none and the folder is not simply
    // missing, a failure is recorded.
    std::optional<std::wstring> LookUpShellFolder(int csidl, BOOL& result);
    // A dialog of the run that could not be shown, or ended by an exception,
    // is a step that failed.
    void NoteDialogResult(INT_PTR result);
};
