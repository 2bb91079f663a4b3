// src/app/ResultDialogs.h
// The two dialogs that end an interactive cleaning run, and the one that
// ends a listing started without a handle for its lines.
#pragma once

#include "framework/Button.h"
#include "framework/Accessibility.h"
#include "framework/Dialog.h"
#include "framework/FreshInput.h"
#include "framework/IconStatic.h"
#include "framework/Static.h"
#include "ui/ReportText.h"

#include <string>

class CSuccessDlg : public fw::CDialog {
public:
    explicit CSuccessDlg(HWND parent = nullptr);

    fw::CFreshInputControl m_okButton;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
};

// A result that is a text to read, a head and a list, in a read-only text
// that scrolls and that a keyboard reaches and copies, beside a system icon.
class CReportDlg : public fw::CDialog {
public:
    CCopyKeyControl m_okButton;
    CReportText m_report;
    fw::CIconStatic m_icon;
    // The text of control 1000. Lines end in line feeds; the text control
    // is given CR LF pairs to show them.
    std::wstring m_message;

protected:
    CReportDlg(UINT templateId, const wchar_t* iconId, HWND parent);
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnDpiChanged() override { m_icon.ShowSystemIcon(m_iconId); }
    void OnDestroy() override { m_accessibility.Clear(); }
    // WM_COPY from Ctrl+C: the whole text onto the clipboard.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    const wchar_t* m_iconId;
    fw::CAccessibility m_accessibility;
};

// The failure head and the report, with the warning icon.
class CFailureDlg : public CReportDlg {
public:
    explicit CFailureDlg(HWND parent = nullptr);
};

// What a cleaning run would remove, with the information icon.
class CListingDlg : public CReportDlg {
public:
    explicit CListingDlg(HWND parent = nullptr);
};

// Line feeds to the CR LF pairs a multi-line text control needs.
std::wstring ToControlLineBreaks(const std::wstring& text);
