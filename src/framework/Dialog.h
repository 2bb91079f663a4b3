// src/framework/Dialog.h
// A modal or modeless dialog built from a resource template. One static
// dialog procedure finds the object (kept in DWLP_USER from WM_INITDIALOG
// on) and switches to typed virtual handlers.
#pragma once

#include "framework/Wnd.h"

#include <string>

namespace fw {

class CDialog;

// Binds controls to wrapper objects and moves text between controls and
// strings, in the direction the dialog asks for.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool save) : m_dialog(dialog), m_save(save) {}
    bool IsSaving() const { return m_save; }
    // Binds the control once; later exchanges leave the binding alone.
    void Control(int id, CWnd& control);
    void Text(int id, std::wstring& text);

private:
    CDialog& m_dialog;
    bool m_save;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

    // Runs the dialog; returns the code given to EndDialog, or -1 when the
    // dialog could not be made.
    INT_PTR DoModal();
    // Makes the dialog without a loop of its own (modeless), hidden unless
    // its template is visible; false when it could not be made. The caller
    // lets its messages through and destroys it.
    bool Create();
    void DestroyWindow();
    void EndDialog(int result) const { ::EndDialog(m_hWnd, result); }
    // Exchanges data with the controls: from the controls when saving.
    void UpdateData(bool save);

    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds) const { return ::SetTimer(m_hWnd, id, milliseconds, nullptr); }
    void KillTimer(UINT_PTR id) const { ::KillTimer(m_hWnd, id); }

protected:
    // Binds the controls and fills them. Return true to let the system give
    // the focus to the first tab stop, false when the focus was set here.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& dx);
    virtual void OnOK();
    virtual void OnCancel();
    // A command from a control or menu; true when handled. The default sends
    // IDOK and IDCANCEL to OnOK and OnCancel.
    virtual bool OnCommand(UINT code, UINT id, HWND control);
    virtual void OnTimer(UINT_PTR id);
    // The dialog moved to a monitor of another scale, and the system laid it
    // out at the new DPI: what the dialog drew for the old one is drawn anew.
    // Called once that layout is done.
    virtual void OnDpiChanged() {}
    // The window is being destroyed, its controls still there.
    virtual void OnDestroy() {}
    // Every other message; true when handled, with the result in result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

private:
    // Posted to itself on WM_DPICHANGED, so that OnDpiChanged comes after the
    // system's own handling has laid the controls out anew. Dialogs of this
    // framework keep their own messages above it.
    static constexpr UINT kDpiLaidOut = WM_APP + 0x100;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
};

}  // namespace fw
