// src/clean/CleanProfile.cpp
// The cleaning run: the eight folder steps, the registry stage and the
// result the caller and the user see.
#include "app/CleanerApp.h"

#include "app/ResultDialogs.h"
#include "clean/CleaningRules.h"
#include "clean/FolderList.h"
#include "clean/PathRoots.h"
#include "framework/RestartManager.h"
#include "res/resource.h"
#include "selection/TreeWalks.h"
#include "ui/SettingsFile.h"

#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// What the shell answers for a folder that is not there.
bool IsMissingFolder(HRESULT result) noexcept
{
    return result == S_FALSE || result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
           result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

// The folder as a user knows it, for a look-up that named no path.
const wchar_t* FolderKind(int csidl) noexcept
{
    switch (csidl) {
    case CSIDL_LOCAL_APPDATA:
        return L"%LOCALAPPDATA%";
    case CSIDL_APPDATA:
        return L"%APPDATA%";
    default:
        return L"Documents";
    }
}

}  // namespace

HRESULT CCleanerApp::ShellFolderPath(int csidl, std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    const HRESULT result = ::SHGetFolderPathW(nullptr, csidl, m_hToken.get(), SHGFP_TYPE_CURRENT, buffer);
    path = buffer;
    return result;
}

// SHGetFolderPathW without CSIDL_FLAG_CREATE: a look-up never creates a
// folder. A folder the shell cannot verify is asked for again unverified:
// its steps then find it simply not there, or on a drive or share that
// cannot be reached from here (which the shell does not tell apart), and
// say so. One the shell cannot name at all skips its steps; unless it is
// simply missing, that is a failure with a line of its own.
std::optional<std::wstring> CCleanerApp::NamedShellFolder(int csidl, HRESULT& verified)
{
    std::wstring path;
    verified = ShellFolderPath(csidl, path);
    if (verified == S_OK || (ShellFolderPath(csidl | CSIDL_FLAG_DONT_VERIFY, path) == S_OK && !path.empty()))
        return path;
    return std::nullopt;
}

std::optional<std::wstring> CCleanerApp::LookUpShellFolder(int csidl, BOOL& result)
{
    HRESULT verified = S_OK;
    if (auto path = NamedShellFolder(csidl, verified))
        return path;
    if (!IsMissingFolder(verified)) {
        cleaner::StayedFolder stayed;
        stayed.folder = FolderKind(csidl);
        stayed.entry = stayed.folder;
        // A Win32 error as itself; any other HRESULT as the shell gave it.
        stayed.code = HRESULT_FACILITY(verified) == FACILITY_WIN32 ? static_cast<unsigned long>(HRESULT_CODE(verified))
                                                                  : static_cast<unsigned long>(verified);
        stayed.reason =
            L"The shell could not say where it is: " + CRunReport::SystemMessage(stayed.code, stayed.folder);
        RecordStayed(stayed, result);
    }
    return std::nullopt;
}

void CCleanerApp::NoteDialogResult(INT_PTR result)
{
    if (result == -1)
        m_outcome.stepFailed = true;
}

namespace {

std::wstring ReasonText(const cleaner::RemovalFailure& failure)
{
    using Reason = cleaner::RemovalFailure::Reason;
    std::wstring text;
    switch (failure.reason) {
    case Reason::Changed:
        text = L"Changed while it was being removed: another entry or a link took its place.";
        break;
    case Reason::TooDeep:
        text = L"Nested more than " + std::to_wstring(cleaner::CTreeRemoval::kMaxDepth) + L" levels deep.";
        break;
    case Reason::ListedAgain:
        text = L"Listed again after it was removed.";
        break;
    case Reason::SystemError:
    case Reason::Unreachable:
    case Reason::None:
        text = CRunReport::SystemMessage(failure.error, failure.entry);
        break;
    }
    // An entry that stayed without its read-only bit must say so.
    if (failure.restoreError != ERROR_SUCCESS)
        text += L" Its read-only attribute could not be put back: " +
                CRunReport::SystemMessage(failure.restoreError, failure.entry);
    return text;
}

// The drive letter names no drive in this logon session.
bool IsDriveLetterUndefined(const std::wstring& folder)
{
    std::wstring_view path = folder;
    if (path.compare(0, 4, L"\\\\?\\") == 0)
        path.remove_prefix(4);
    const std::wstring root = std::wstring(path.substr(0, 2)) + L"\\";
    return ::GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR;
}

// The top folder that stayed, the entry that stopped it and why.
cleaner::StayedFolder StayedFolderFor(const std::wstring& folder, const cleaner::RemovalFailure& failure)
{
    using Reason = cleaner::RemovalFailure::Reason;
    cleaner::StayedFolder stayed;
    stayed.folder = folder;
    stayed.entry = failure.entry.empty() ? folder : failure.entry;
    stayed.code = failure.reason == Reason::SystemError || failure.reason == Reason::Unreachable ? failure.error : 0;
    stayed.reason = ReasonText(failure);
    return stayed;
}

}  // namespace

void CCleanerApp::RecordStayed(const cleaner::StayedFolder& stayed, BOOL& result)
{
    // A listing removes nothing: what it could not see is a part not listed.
    if (m_listing) {
        cleaner::ListedEntry unlisted{cleaner::ListedEntry::Kind::Unlisted, stayed.entry};
        unlisted.code = stayed.code;
        unlisted.note = stayed.reason;
        RecordListed(unlisted);
        return;
    }
    // Counted, shown and written together, with nothing between them that
    // lets messages through: a session that ends meanwhile finds the end
    // line's count equal to the lines before it.
    m_failureReport += L'\t';
    m_failureReport += stayed.folder;
    m_failureReport += L'\n';
    result = FALSE;
    m_failureDetails.push_back(cleaner::DetailLine(stayed));
    if (m_report && m_report->IsOpen())
        m_report->Write(cleaner::StayedLine(stayed));
}

void CCleanerApp::RecordFailure(const std::wstring& folder, const cleaner::RemovalFailure& failure, BOOL& result)
{
    cleaner::StayedFolder stayed = StayedFolderFor(folder, failure);
    using Reason = cleaner::RemovalFailure::Reason;
    const bool systemError = failure.reason == Reason::SystemError;
    // An elevated run has a logon session of its own, which does not see
    // the drive letters mapped in the user's; only a token with a linked
    // unelevated one has such a session beside it (not with UAC off, nor
    // for the built-in Administrator).
    if (failure.reason == Reason::Unreachable && cleaner::IsOnDriveLetter(folder) && IsDriveLetterUndefined(folder) &&
        ElevationType() == TokenElevationTypeFull)
        stayed.advice = L"the drive may be mapped only for the user's own, unelevated session";
    // Only a file held open, or in use, has a holder to name.
    if (systemError && (cleaner::IsMomentOfUse(failure.error) || failure.inUse)) {
        // The manager may take a while to answer.
        if (m_progress)
            m_progress->Tick();
        for (const fw::FileHolder& holder : fw::CRestartManager().HoldersOf(stayed.entry))
            stayed.holders.push_back({holder.name, holder.processId});
        if (m_progress)
            m_progress->Tick();
    }
    RecordStayed(stayed, result);
}

void CCleanerApp::WriteReportEnd()
{
    if (!m_report || !m_report->IsOpen())
        return;
    cleaner::RunSummary summary = m_summary;
    // One report entry per top folder that stayed, each ended by a line feed.
    summary.stayed = static_cast<int>(std::count(m_failureReport.begin(), m_failureReport.end(), L'\n'));
    summary.exitCode = cleaner::ExitCodeFor(Outcome());
    m_report->Write(cleaner::SummaryLine(summary));
}

void CCleanerApp::RemoveProfileFolder(const std::wstring& folder, BOOL& result)
{
    // One removal per top folder: its retries share one budget.
    cleaner::CTreeRemoval removal;
    RemoveProfileFolder(folder, result, removal);
}

void CCleanerApp::RemoveProfileFolder(const std::wstring& folder, BOOL& result, cleaner::CTreeRemoval& removal)
{
    if (m_progress) {
        m_progress->RemovingFolder(folder);
        removal.progress = m_progress;
        removal.pause = [this](unsigned milliseconds) { m_progress->Pause(milliseconds); };
    }
    if (m_listing) {
        ListProfileFolder(folder, removal, result);
        return;
    }
    if (DeleteFolderTree(folder, removal) != 0) {
        RecordFailure(folder, removal.Failure(), result);
        return;
    }
    if (!CanEnterFolder(folder))
        return;
    // Removed through its own handle; one that another run removed
    // meanwhile is gone as wished, but not by this run.
    switch (removal.RemoveTop(folder)) {
    case cleaner::CTreeRemoval::kRemoved:
        ++m_summary.removed;
        break;
    case cleaner::CTreeRemoval::kStayed:
        RecordFailure(folder, removal.Failure(), result);
        break;
    default:
        break;
    }
}

namespace {

// The run's folder steps in order: the shell folder each lies in, and the
// folders there. Documents' go only where KeepQRX does not keep them.
struct FolderStep {
    int csidl;
    std::vector<std::wstring> (*folders)(std::wstring_view place);
};
constexpr FolderStep kFolderSteps[] = {
    {CSIDL_LOCAL_APPDATA, cleaner::LocalAppDataFolders},
    {CSIDL_APPDATA, cleaner::RoamingAncestorFolders},
    {CSIDL_APPDATA, cleaner::RoamingFolders},
    {CSIDL_PERSONAL, cleaner::DocumentFolders},
};

}  // namespace

std::vector<std::wstring> CCleanerApp::TopFolders(const cleaner::KeepOptions& keep)
{
    std::vector<std::wstring> folders;
    HRESULT verified = S_OK;
    for (const FolderStep& step : kFolderSteps) {
        if (step.csidl == CSIDL_PERSONAL && !cleaner::CleansDocumentFolders(keep))
            continue;
        if (const auto place = NamedShellFolder(step.csidl, verified)) {
            const std::vector<std::wstring> more = step.folders(*place);
            folders.insert(folders.end(), more.begin(), more.end());
        }
    }
    return folders;
}

BOOL CCleanerApp::CleanProfile()
{
    BOOL result = TRUE;
    // Boxes that Clean could not store are obeyed as ticked, not the file.
    const cleaner::KeepOptions keep = KeepOptionsForRun();
    for (const FolderStep& step : kFolderSteps) {
        if (step.csidl == CSIDL_PERSONAL && !cleaner::CleansDocumentFolders(keep)) {
            if (m_listing)
                ListKeptFolders();
            continue;
        }
        if (const auto place = LookUpShellFolder(step.csidl, result)) {
            for (const std::wstring& folder : step.folders(*place))
                RemoveProfileFolder(folder, result);
        }
    }

    const cleaner::RunMode mode{m_silent != FALSE, m_reRegister != FALSE, m_registryPass != FALSE};
    if (cleaner::CleansRegistry(mode, keep)) {
        if (m_progress)
            m_progress->CleaningRegistry();
        if (!CleanRegistry(keep)) {
            result = FALSE;
            m_summary.registry = cleaner::RegistryState::Stayed;
        } else if (m_summary.registry == cleaner::RegistryState::Untouched && !m_listing) {
            m_summary.registry = cleaner::RegistryState::Cleaned;
        }
    } else {
        m_registryKept = true;
    }

    if (cleaner::IsInteractive(mode) && !m_listing) {
        // Asked to end meanwhile: the work is done, and no dialog follows.
        const bool quitting = m_progress && m_progress->Quitting();
        WorkDone();
        EndWaitCursor();
        if (!quitting)
            ShowResultDialog(result);
    }
    return result;
}

void CCleanerApp::ListProfileFolder(const std::wstring& folder, cleaner::CTreeRemoval& removal, BOOL& result)
{
    // The removal's own walk, counting: a part it cannot read is told as
    // not listed, with why; a folder it would leave alone is not listed.
    const int listed = removal.ListTree(folder);
    if (listed == cleaner::CTreeRemoval::kStayed) {
        RecordStayed(StayedFolderFor(folder, removal.Failure()), result);
        return;
    }
    if (listed != cleaner::CTreeRemoval::kRemoved || !CanEnterFolder(folder))
        return;
    cleaner::ListedEntry listedFolder{cleaner::ListedEntry::Kind::Folder, folder};
    listedFolder.counts = removal.Counted();
    RecordListed(listedFolder);
}

cleaner::KeepOptions CCleanerApp::KeepOptionsForRun() const
{
    return m_unstoredKeepOptions ? *m_unstoredKeepOptions : cleaner::ReadKeepOptions(m_settingsPath);
}

bool CCleanerApp::CleanRegistry(const cleaner::KeepOptions& keep)
{
    const std::optional<cleaner::KeyFailure> user =
        cleaner::PerUserTreeAction(keep) == cleaner::PerUserAction::DeleteWholeTree
            ? DeleteRegistryKey(HKEY_CURRENT_USER, cleaner::kMakerKey)
            : CleanMakerRegistryTree();
    if (user)
        RecordRegistryFailure(HKEY_CURRENT_USER, *user);

    const cleaner::MachineAction machine = cleaner::MachineTreeAction(keep);
    const std::optional<cleaner::KeyFailure> machineFailure =
        machine.deleteWholeTree ? DeleteRegistryKey(HKEY_LOCAL_MACHINE, cleaner::kMakerKey)
                                : CleanMakerMachineTree(machine.keepVaultry, machine.keepQrx);
    if (machineFailure)
        RecordRegistryFailure(HKEY_LOCAL_MACHINE, *machineFailure);
    return !user && !machineFailure;
}

TOKEN_ELEVATION_TYPE CCleanerApp::ElevationType() const
{
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    if (!m_hToken || !::GetTokenInformation(m_hToken.get(), TokenElevationType, &type, sizeof type, &size))
        return TokenElevationTypeDefault;
    return type;
}

bool CCleanerApp::IsElevatedToken(HANDLE token)
{
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return token != nullptr && ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

bool CCleanerApp::IsElevated() const { return IsElevatedToken(m_hToken.get()); }

void CCleanerApp::RecordRegistryFailure(HKEY root, const cleaner::KeyFailure& failure)
{
    const std::wstring rootName = RootName(root);
    cleaner::StayedFolder stayed;
    stayed.folder = rootName + cleaner::kMakerKey;
    stayed.entry = rootName + failure.key;
    stayed.code = failure.error;
    stayed.isKey = true;
    stayed.reason = failure.keysAdded ? L"Another program kept adding keys below it while it was being removed."
                                      : CRunReport::SystemMessage(failure.error, stayed.entry);
    // Windows gives a user's programs no right to delete the machine's
    // entries; only an elevated run has it.
    if (root == HKEY_LOCAL_MACHINE && !failure.keysAdded && failure.error == ERROR_ACCESS_DENIED && !IsElevated())
        stayed.advice = L"the machine's entries need the cleaner run as administrator";
    if (m_report && m_report->IsOpen())
        m_report->Write(cleaner::StayedLine(stayed));
    m_registryStayed.emplace_back(stayed.folder, cleaner::DetailLine(stayed));
}

std::wstring CCleanerApp::FailureText() const
{
    // String-table entry 1 is the head; the report follows it directly,
    // each folder's line with its detail line under it.
    const wchar_t* head = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), IDS_FAILURE_HEAD, reinterpret_cast<LPWSTR>(&head), 0);
    std::wstring text = length > 0 ? std::wstring(head, static_cast<size_t>(length)) : std::wstring();
    size_t entry = 0;
    for (size_t start = 0; start < m_failureReport.size();) {
        const size_t end = m_failureReport.find(L'\n', start);
        const size_t next = end == std::wstring::npos ? m_failureReport.size() : end + 1;
        text.append(m_failureReport, start, next - start);
        if (end != std::wstring::npos && entry < m_failureDetails.size())
            text += m_failureDetails[entry++] + L'\n';
        start = next;
    }
    // The registry trees that stayed, after the folders, in the same layout.
    for (const auto& [tree, detail] : m_registryStayed)
        text += L'\t' + tree + L'\n' + detail + L'\n';
    return text;
}

void CCleanerApp::ShowResultDialog(BOOL result)
{
    if (result) {
        CSuccessDlg dialog;
        NoteDialogResult(dialog.DoModal());
    } else {
        CFailureDlg dialog;
        dialog.m_message = FailureText();
        NoteDialogResult(dialog.DoModal());
    }
}
