// src/app/ResultDialogs.h
// The two dialogs that end an interactive cleaning run.
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

class CFailureDlg : public fw::CDialog {
public:
    explicit CFailureDlg(HWND parent = nullptr);

    CCopyKeyControl m_okButton;
    CReportText m_report;
    fw::CIconStatic m_icon;
    // The text of control 1000: the failure head and the report. Lines end
    // in line feeds; the text control is given CR LF pairs to show them.
    std::wstring m_message;

private:
    fw::CAccessibility m_accessibility;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnDpiChanged() override { m_icon.ShowSystemIcon(IDI_WARNING); }
    void OnDestroy() override { m_accessibility.Clear(); }
    // WM_COPY from Ctrl+C: the whole text onto the clipboard.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
};

// Line feeds to the CR LF pairs a multi-line text control needs.
std::wstring ToControlLineBreaks(const std::wstring& text);
