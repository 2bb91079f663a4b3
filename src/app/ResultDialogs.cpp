// src/app/ResultDialogs.cpp
#include "app/ResultDialogs.h"

#include "app/CursorPlacement.h"
#include "framework/Clipboard.h"
#include "res/resource.h"

CSuccessDlg::CSuccessDlg(HWND parent) : CDialog(IDD_SUCCESS_DIALOG, parent) {}

void CSuccessDlg::DoDataExchange(fw::CDataExchange& dx)
{
    dx.Control(IDOK, m_okButton);
}

BOOL CSuccessDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    PlaceDialogUnderCursor(m_hWnd, m_okButton);
    return TRUE;
}

CReportDlg::CReportDlg(UINT templateId, const wchar_t* iconId, HWND parent)
    : CDialog(templateId, parent), m_iconId(iconId)
{
}

CFailureDlg::CFailureDlg(HWND parent) : CReportDlg(IDD_FAILURE_DIALOG, IDI_WARNING, parent) {}

CListingDlg::CListingDlg(HWND parent) : CReportDlg(IDD_LISTING_DIALOG, IDI_INFORMATION, parent) {}

std::wstring ToControlLineBreaks(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r'))
            out.push_back(L'\r');
        out.push_back(text[i]);
    }
    return out;
}

void CReportDlg::DoDataExchange(fw::CDataExchange& dx)
{
    dx.Control(IDOK, m_okButton);
    dx.Control(IDC_RESULT_TEXT, m_report);
    dx.Control(IDC_RESULT_ICON, m_icon);
    // The report may be longer than the text control: it scrolls, so every
    // folder that stayed can be read.
    std::wstring shown = ToControlLineBreaks(m_message);
    dx.Text(IDC_RESULT_TEXT, shown);
}

BOOL CReportDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_icon.ShowSystemIcon(m_iconId);
    m_accessibility.HideFromReaders(m_icon);
    PlaceDialogUnderCursor(m_hWnd, m_okButton);
    return TRUE;
}

bool CReportDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (message != WM_COPY)
        return CDialog::OnMessage(message, wParam, lParam, result);
    fw::CopyTextToClipboard(m_hWnd, ToControlLineBreaks(m_message));
    result = 0;
    return true;
}
