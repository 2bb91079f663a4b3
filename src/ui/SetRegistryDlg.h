// src/ui/SetRegistryDlg.h
// The dialog that ends a re-registration run: how the cleaning went, and
// seven developer settings written into the product's fresh version keys.
#pragma once

#include "framework/Accessibility.h"
#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/FreshInput.h"
#include "framework/Static.h"
#include "ui/ColorStatic.h"

#include <string>

class CCleanerApp;

class CSetRegistryDlg : public fw::CDialog {
public:
    explicit CSetRegistryDlg(CCleanerApp& app, HWND parent = nullptr);

    std::wstring m_prefsPostfix;
    std::wstring m_platformSuffix;
    int m_cleaningSucceeded = 0;
    // Why the product did not start, in place of the line on the new
    // registry entries; empty when it started.
    std::wstring m_productNotStarted;

    fw::CButton m_enableQuilloPro;
    fw::CButton m_developerObjectPortal;
    fw::CButton m_enableOperationProfiles;
    fw::CButton m_tpl;
    fw::CButton m_showAllInfoboxes;
    fw::CButton m_saveXmlTemplate;
    // The buttons that have the focus as the dialog opens take no key held
    // down from before.
    fw::CFreshInputControl m_exitButton;
    fw::CFreshInputControl m_setButton;
    fw::CButton m_keysGroup;
    CColorStatic m_statusLine;
    CColorStatic m_entriesCreated;
    CColorStatic m_registryCleaned;
    fw::CButton m_specialMenu;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDestroy() override { m_accessibility.Clear(); }

private:
    // Gives a line room for the lines a longer text wraps to: as wide as
    // the group of boxes, and down to the next control.
    void MakeRoomBelow(fw::CWnd& line, int bottomDialogUnits);

    CCleanerApp& m_app;
    fw::CAccessibility m_accessibility;
};
