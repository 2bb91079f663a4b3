// src/ui/SetRegistryDlg.cpp
#include "ui/SetRegistryDlg.h"

#include "app/CleanerApp.h"
#include "app/CursorPlacement.h"
#include "framework/Registry.h"
#include "res/resource.h"
#include "ui/DeveloperSettings.h"
#include "ui/SettingsFile.h"
#include "ui/VersionKeyRules.h"

#include <algorithm>
#include <initializer_list>

CSetRegistryDlg::CSetRegistryDlg(CCleanerApp& app, HWND parent) : CDialog(IDD_SET_REGISTRY_DIALOG, parent), m_app(app)
{
}

void CSetRegistryDlg::DoDataExchange(fw::CDataExchange& dx)
{
    dx.Control(IDC_ENABLE_QUILLO_PRO, m_enableQuilloPro);
    dx.Control(IDC_DEVELOPER_OBJECT_PORTAL, m_developerObjectPortal);
    dx.Control(IDC_ENABLE_OPERATION_PROFILES, m_enableOperationProfiles);
    dx.Control(IDC_TPL, m_tpl);
    dx.Control(IDC_SHOW_ALL_INFOBOXES, m_showAllInfoboxes);
    dx.Control(IDC_SAVE_XML_TEMPLATE, m_saveXmlTemplate);
    dx.Control(IDCANCEL, m_exitButton);
    dx.Control(IDOK, m_setButton);
    dx.Control(IDC_KEYS_GROUP, m_keysGroup);
    dx.Control(IDC_STATUS_LINE, m_statusLine);
    dx.Control(IDC_ENTRIES_CREATED, m_entriesCreated);
    dx.Control(IDC_REGISTRY_CLEANED, m_registryCleaned);
    dx.Control(IDC_SPECIAL_MENU, m_specialMenu);
}

BOOL CSetRegistryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    const std::wstring& settings = m_app.m_settingsPath;
    m_specialMenu.SetChecked(cleaner::ReadSetting(settings, cleaner::kSpecialMenu));
    m_saveXmlTemplate.SetChecked(cleaner::ReadSetting(settings, cleaner::kSaveXmlTemplate));
    m_showAllInfoboxes.SetChecked(cleaner::ReadSetting(settings, cleaner::kShowAllInfoboxes));
    m_enableOperationProfiles.SetChecked(cleaner::ReadSetting(settings, cleaner::kEnableOperationProfiles));
    m_tpl.SetChecked(cleaner::ReadSetting(settings, cleaner::kReadFullTemplateInSe));
    m_developerObjectPortal.SetChecked(cleaner::ReadSetting(settings, cleaner::kUseDeveloperObjectPortal));
    m_enableQuilloPro.SetChecked(cleaner::ReadSetting(settings, cleaner::kEnableQuilloPro));
    m_statusLine.SetWindowText(L"");
    m_accessibility.MarkLive(m_statusLine);
    // Down to the buttons: room for a second line.
    MakeRoomBelow(m_statusLine, 224);

    HWND anchor = m_setButton;
    if (!m_cleaningSucceeded) {
        m_registryCleaned.ChangeTextColor(CColorStatic::kDarkRed);
        m_registryCleaned.SetWindowText(L"Cleaning not complete.");
        m_entriesCreated.SetWindowText(L"");
        for (fw::CWnd* control : std::initializer_list<fw::CWnd*>{
                 &m_keysGroup, &m_specialMenu, &m_saveXmlTemplate, &m_showAllInfoboxes, &m_enableOperationProfiles,
                 &m_tpl, &m_developerObjectPortal, &m_enableQuilloPro, &m_setButton})
            control->EnableWindow(false);
        anchor = m_exitButton;
        // Exit is the default button now, so that Enter presses it: a
        // disabled Set named as the default would leave Enter doing nothing.
        SendMessage(DM_SETDEFID, IDCANCEL);
    } else if (!m_productNotStarted.empty()) {
        // The product wrote no entries: why it did not start, down to the
        // group of boxes.
        MakeRoomBelow(m_entriesCreated, 44);
        m_entriesCreated.ChangeTextColor(CColorStatic::kDarkRed);
        m_entriesCreated.SetWindowText(m_productNotStarted);
    }
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(anchor), TRUE);
    PlaceDialogUnderCursor(m_hWnd, anchor);
    // The focus is placed: the system must not move it.
    return FALSE;
}

void CSetRegistryDlg::MakeRoomBelow(fw::CWnd& line, int bottomDialogUnits)
{
    // As wide as the group of boxes (its right edge at 123 units).
    RECT edges = {0, 0, 123, bottomDialogUnits};
    ::MapDialogRect(m_hWnd, &edges);
    RECT rect = line.GetWindowRect();
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    ::MoveWindow(line, rect.left, rect.top, std::max(rect.right, edges.right) - rect.left,
                 std::max(rect.bottom, edges.bottom) - rect.top, TRUE);
}

void CSetRegistryDlg::OnOK()
{
    DeveloperChoices choices;
    choices.specialMenu = m_specialMenu.IsChecked();
    choices.saveXmlTemplate = m_saveXmlTemplate.IsChecked();
    choices.showAllInfoboxes = m_showAllInfoboxes.IsChecked();
    choices.enableOperationProfiles = m_enableOperationProfiles.IsChecked();
    choices.readFullTemplate = m_tpl.IsChecked();
    choices.developerObjectPortal = m_developerObjectPortal.IsChecked();
    choices.enableQuilloPro = m_enableQuilloPro.IsChecked();

    // Every key is tried; one that could not be written (a cleaner kept
    // where the user may not write, under Program Files say) is told below.
    const std::wstring& settings = m_app.m_settingsPath;
    bool saved = cleaner::WriteSetting(settings, cleaner::kSpecialMenu, choices.specialMenu);
    saved = cleaner::WriteSetting(settings, cleaner::kSaveXmlTemplate, choices.saveXmlTemplate) && saved;
    saved = cleaner::WriteSetting(settings, cleaner::kShowAllInfoboxes, choices.showAllInfoboxes) && saved;
    saved = cleaner::WriteSetting(settings, cleaner::kEnableOperationProfiles, choices.enableOperationProfiles) && saved;
    saved = cleaner::WriteSetting(settings, cleaner::kReadFullTemplateInSe, choices.readFullTemplate) && saved;
    saved = cleaner::WriteSetting(settings, cleaner::kUseDeveloperObjectPortal, choices.developerObjectPortal) && saved;
    saved = cleaner::WriteSetting(settings, cleaner::kEnableQuilloPro, choices.enableQuilloPro) && saved;

    bool anySet = false;
    bool anyFailed = false;
    const std::wstring productPath = cleaner::ProductKeyPath(m_platformSuffix);
    fw::UniqueKey product;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, productPath.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, product.put()) ==
        ERROR_SUCCESS) {
        for (const std::wstring& name : fw::SubkeyNames(product.get())) {
            if (!cleaner::IsVersionKeyName(name, m_prefsPostfix, m_platformSuffix))
                continue;
            fw::UniqueKey version;
            if (::RegOpenKeyExW(HKEY_CURRENT_USER, (productPath + L"\\" + name).c_str(), 0, KEY_WRITE,
                                version.put()) != ERROR_SUCCESS) {
                anyFailed = true;
                continue;
            }
            if (WriteDeveloperSettings(version.get(), choices))
                anySet = true;
            else
                anyFailed = true;
        }
    }
    product.reset();

    std::wstring status;
    if (!anySet && !anyFailed) {
        m_statusLine.ChangeTextColor(CColorStatic::kDarkRed);
        status = L"PL Registry entry not found.";
    } else if (anyFailed) {
        m_statusLine.ChangeTextColor(CColorStatic::kDarkRed);
        status = L"PL Registry setting unsuccessful.";
    } else {
        status = L"PL Registry successfully set.";
    }
    if (!saved) {
        m_statusLine.ChangeTextColor(CColorStatic::kDarkRed);
        status += L"\nThe boxes could not be saved in Settings.ini.";
    }
    m_statusLine.SetWindowText(status);
    // Said by a screen reader, which would not notice the new text itself.
    fw::CAccessibility::AnnounceChange(m_statusLine);
}
