// src/framework/Dialog.cpp
#include "framework/Dialog.h"

#include "framework/WinApp.h"

namespace fw {

void CDataExchange::Control(int id, CWnd& control)
{
    if (control.GetSafeHwnd() == nullptr)
        control.BindControl(m_dialog.GetDlgItem(id));
}

void CDataExchange::Text(int id, std::wstring& text)
{
    HWND item = m_dialog.GetDlgItem(id);
    if (m_save) {
        CWnd wrapper;
        wrapper.Attach(item);
        text = wrapper.GetWindowText();
        wrapper.Detach();
    } else {
        ::SetWindowTextW(item, text.c_str());
    }
}

INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create()
{
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), m_parent, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::DestroyWindow()
{
    // WM_NCDESTROY clears the handle.
    if (m_hWnd != nullptr)
        ::DestroyWindow(m_hWnd);
}

void CDialog::UpdateData(bool save)
{
    CDataExchange dx(*this, save);
    DoDataExchange(dx);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnCommand(UINT code, UINT id, HWND)
{
    if (code != BN_CLICKED)
        return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::OnTimer(UINT_PTR) {}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        ::PostMessageW(m_hWnd, kDpiLaidOut, 0, 0);
        return FALSE;  // the system's own handling resizes the dialog
    case kDpiLaidOut:
        OnDpiChanged();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            if (CWinApp* app = CWinApp::Current())
                app->OnSessionEnding(lParam);
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        // Reflected to the control, so a control class colours itself. The
        // brush is returned directly, not through DWLP_MSGRESULT.
        if (CWnd* control = CWnd::FromSubclassed(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = control->OnReflectedCtlColor(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<INT_PTR>(brush);
        }
        return FALSE;
    default: {
        INT_PTR result = 0;
        if (!OnMessage(message, wParam, lParam, result))
            return FALSE;
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    // Messages before WM_INITDIALOG find no object and get the defaults.
    if (dialog == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY) {
        dialog->m_hWnd = nullptr;
        return FALSE;
    }
    // No exception may cross into the window manager: the dialog ends, and
    // the application learns that it failed.
    try {
        return dialog->Dispatch(message, wParam, lParam);
    } catch (...) {
        if (CWinApp* app = CWinApp::Current())
            app->NoteCaughtException();
        ::EndDialog(window, -1);
        return TRUE;
    }
}

}  // namespace fw
