// src/app/ResultDialogs.h
// The two dialogs that end an interactive cleaning run.
#pragma once

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/Static.h"

#include <string>

class CSuccessDlg : public fw::CDialog {
public:
    explicit CSuccessDlg(HWND parent = nullptr);

    fw::CButton m_okButton;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
};

class CFailureDlg : public fw::CDialog {
public:
    explicit CFailureDlg(HWND parent = nullptr);

    fw::CButton m_okButton;
    fw::CStatic m_icon;
    // The text of control 1000: the failure head and the report. Lines end
    // in line feeds; the text control is given CR LF pairs to show them.
    std::wstring m_message;

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    BOOL OnInitDialog() override;
};

// Line feeds to the CR LF pairs a multi-line text control needs.
std::wstring ToControlLineBreaks(const std::wstring& text);
