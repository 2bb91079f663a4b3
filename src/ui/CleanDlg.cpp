// src/ui/CleanDlg.cpp
#include "ui/CleanDlg.h"

#include "app/CleanerApp.h"
#include "app/CommandLine.h"
#include "app/CursorPlacement.h"
#include "framework/MessageBox.h"
#include "res/resource.h"
#include "ui/Services.h"
#include "ui/SettingsFile.h"

CCleanDlg::CCleanDlg(CCleanerApp& app, HWND parent) : CDialog(IDD_CLEAN_DIALOG, parent), m_app(app) {}

void CCleanDlg::DoDataExchange(fw::CDataExchange& dx)
{
    dx.Control(IDC_KEEP_SN_FINDOUTMORE, m_keepSnFindOutMore);
    dx.Control(IDC_WARNING_TEXT, m_dropTarget);
    dx.Control(IDC_KEEP_REGISTRY, m_keepRegistry);
    dx.Control(IDOK, m_cleanButton);
    dx.Control(IDC_CLEAN_ICON, m_icon);
    dx.Control(IDC_KEEP_VAULTRY, m_keepVaultry);
    dx.Control(IDC_KEEP_QRX, m_keepQrx);
}

void CCleanDlg::EnableLowerBoxes(bool enable)
{
    m_keepSnFindOutMore.EnableWindow(enable);
    m_keepVaultry.EnableWindow(enable);
    m_keepQrx.EnableWindow(enable);
}

BOOL CCleanDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_icon.ShowSystemIcon(IDI_WARNING);
    // The warning icon says nothing the text does not.
    m_accessibility.HideFromReaders(m_icon);
    PlaceDialogUnderCursor(m_hWnd, m_cleanButton);

    const cleaner::KeepOptions stored = cleaner::ReadKeepOptions(m_app.m_settingsPath);
    m_keepRegistry.SetChecked(stored.keepRegistry);
    EnableLowerBoxes(!stored.keepRegistry);
    // A disabled box still shows the stored choice.
    m_keepSnFindOutMore.SetChecked(stored.keepSnFindOutMore);
    m_keepVaultry.SetChecked(stored.keepVaultry);
    m_keepQrx.SetChecked(stored.keepQrx);

    // Run elevated (as the machine's registry tree needs), the dialog is of
    // higher integrity than Explorer, whose drop would be blocked on the way.
    constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA: the drop's data
    for (const UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData}) {
        AllowMessageFromLowerIntegrity(message);
        m_dropTarget.AllowMessageFromLowerIntegrity(message);
    }

    SetTimer(kDropPollTimer, kDropPollMilliseconds);
    return TRUE;
}

bool CCleanDlg::OnCommand(UINT code, UINT id, HWND control)
{
    if (code == BN_CLICKED && id == IDC_KEEP_REGISTRY) {
        OnKeepRegistryClicked();
        return true;
    }
    return CDialog::OnCommand(code, id, control);
}

void CCleanDlg::OnKeepRegistryClicked()
{
    EnableLowerBoxes(m_keepRegistry.GetCheck() != BST_CHECKED);
}

bool CCleanDlg::HasCrewlinkServices() { return ::HasCrewlinkServices(); }

bool CCleanDlg::RunsElevated()
{
    fw::UniqueKernelHandle token;
    return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()) &&
           CCleanerApp::IsElevatedToken(token.get());
}

bool CCleanDlg::ConfirmElevatedDrop(const std::wstring& product)
{
    // The message filter lets a drop through from any program of the
    // session, not only from the person's file manager; this box is no
    // window any of them may press (User Interface Privilege Isolation).
    const std::wstring question =
        L"Clean the profile, both Velmora registry trees included (the user's and the machine's), and start this "
        L"file as administrator?\n\n" +
        product;
    return fw::AppMessageBox(m_hWnd, question.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CCleanDlg::OnOK()
{
    if (!m_keepVaultry.IsChecked() && HasCrewlinkServices()) {
        // No drop is taken up behind the question: it would end the dialog
        // whatever the answer.
        KillTimer(kDropPollTimer);
        const int answer = fw::AppMessageBox(
            m_hWnd, L"Vaultry services exist. Are you sure to clear Vaultry information from registry?",
            MB_YESNO | MB_ICONHAND | MB_DEFBUTTON2);
        SetTimer(kDropPollTimer, kDropPollMilliseconds);
        if (answer == IDNO)
            return;
    }
    cleaner::KeepOptions ticked;
    ticked.keepRegistry = m_keepRegistry.IsChecked();
    ticked.keepSnFindOutMore = m_keepSnFindOutMore.IsChecked();
    ticked.keepVaultry = m_keepVaultry.IsChecked();
    ticked.keepQrx = m_keepQrx.IsChecked();
    // A file that cannot be written (a read-only program folder) must not
    // let the run obey older choices than the ones on screen.
    if (!cleaner::WriteKeepOptions(m_app.m_settingsPath, ticked))
        m_app.m_unstoredKeepOptions = ticked;
    CDialog::OnOK();
}

void CCleanDlg::OnCancel() { CDialog::OnCancel(); }

bool CCleanDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message != WM_DROPFILES)
        return CDialog::OnMessage(message, wParam, lParam, result);
    // Windows posts a drop to the window under the point that accepts files,
    // the warning text; the dialog itself accepts none. Wine 10 posts it to
    // the dialog, the point in the dialog's client area: a drop that landed
    // on the warning text counts as dropped there, any other is let go.
    const auto drop = reinterpret_cast<HDROP>(wParam);
    POINT point = {};
    if (::DragQueryPoint(drop, &point) &&
        ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE) == m_dropTarget.GetSafeHwnd())
        m_dropTarget.OnDropFiles(drop);
    else
        ::DragFinish(drop);
    result = 0;
    return true;
}

void CCleanDlg::OnTimer(UINT_PTR id)
{
    if (id != kDropPollTimer)
        return;
    // Stopped until the drop is judged, so that no tick arrives while the
    // rejection message is open.
    KillTimer(kDropPollTimer);
    if (!m_dropTarget.m_fileDropped) {
        SetTimer(kDropPollTimer, kDropPollMilliseconds);
        return;
    }
    m_dropTarget.m_fileDropped = 0;
    const std::wstring dropped = m_dropTarget.m_droppedPath;
    if (cleaner::IsProductExecutablePath(dropped)) {
        if (RunsElevated() && !ConfirmElevatedDrop(dropped)) {
            SetTimer(kDropPollTimer, kDropPollMilliseconds);
            return;
        }
        m_app.m_productExePath = dropped;
        m_app.m_reRegister = TRUE;
        EndDialog(IDOK);
        return;
    }
    fw::AppMessageBox(m_hWnd, L"The dropped file must be an Plandrel.exe file!", MB_OK);
    SetTimer(kDropPollTimer, kDropPollMilliseconds);
}
