// src/ui/SetRegistryDlg.h
// The dialog that ends a re-registration run: how the cleaning went, and
// seven developer settings written into the product's fresh version keys.
#pragma once

#include "framework/Accessibility.h"
#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/FreshKeys.h"
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

    fw::CButton m_enableQuilloPro;
    fw::CButton m_developerObjectPortal;
    fw::CButton m_enableOperationProfiles;
    fw::CButton m_tpl;
    fw::CButton m_showAllInfoboxes;
    fw::CButton m_saveXmlTemplate;
    // The buttons that have the focus as the dialog opens take no key held
    // down from before.
    fw::CFreshKeysControl m_exitButton;
    fw::CFreshKeysControl m_setButton;
    fw::CButton m_keysGroup;
    CColorStatic m_statusLine;
    fw::CStatic m_entriesCreated;
    CColorStatic m_registryCleaned;
    fw::CButton m_specialMenu;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CCleanerApp& m_app;
    fw::CAccessibility m_accessibility;
};
