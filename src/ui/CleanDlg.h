// src/ui/CleanDlg.h
// The main dialog of an interactive run: the warning, the four keep options,
// Clean and Cancel, and the drop target for the product's executable.
#pragma once

#include "framework/Accessibility.h"
#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/FreshInput.h"
#include "framework/IconStatic.h"
#include "framework/Static.h"
#include "ui/DropStatic.h"

class CCleanerApp;

class CCleanDlg : public fw::CDialog {
public:
    static constexpr UINT_PTR kDropPollTimer = 100;
    static constexpr UINT kDropPollMilliseconds = 100;

    explicit CCleanDlg(CCleanerApp& app, HWND parent = nullptr);

    fw::CButton m_keepSnFindOutMore;
    CDropStatic m_dropTarget;
    fw::CButton m_keepRegistry;
    // Has the focus as the dialog opens: an Enter held down from starting
    // the program must not start a deletion.
    fw::CFreshInputControl m_cleanButton;
    fw::CIconStatic m_icon;
    fw::CButton m_keepVaultry;
    fw::CButton m_keepQrx;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    void OnDpiChanged() override { m_icon.ShowSystemIcon(IDI_WARNING); }
    void OnDestroy() override { m_accessibility.Clear(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    // Asked on Clean; overridable so tests can stand in for the service manager.
    virtual bool HasCrewlinkServices();
    // Whether the program runs elevated, when a product is dropped: then the
    // person confirms the drop. Overridable so tests can stand in for it.
    virtual bool RunsElevated();

private:
    // The person's yes to a drop on an elevated dialog, which any program of
    // the session could have made.
    bool ConfirmElevatedDrop(const std::wstring& product);
    void OnKeepRegistryClicked();
    void EnableLowerBoxes(bool enable);

    CCleanerApp& m_app;
    fw::CAccessibility m_accessibility;
};
