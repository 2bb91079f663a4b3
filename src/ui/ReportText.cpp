// src/ui/ReportText.cpp
#include "ui/ReportText.h"

namespace {

bool IsCopyKey(WPARAM key) noexcept
{
    return (key == 'C' || key == VK_INSERT) && ::GetKeyState(VK_CONTROL) < 0;
}

constexpr WPARAM kCtrlC = 0x03;  // the character Ctrl+C types

}  // namespace

LRESULT CCopyKeyControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && IsCopyKey(wParam)) {
        ::SendMessageW(::GetParent(m_hWnd), WM_COPY, 0, 0);
        return 0;
    }
    if (message == WM_CHAR && wParam == kCtrlC)
        return 0;
    return CFreshInputControl::WindowProc(message, wParam, lParam);
}

LRESULT CReportText::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Tabbing in would select the whole report otherwise.
    if (message == WM_GETDLGCODE)
        return CCopyKeyControl::WindowProc(message, wParam, lParam) & ~static_cast<LRESULT>(DLGC_HASSETSEL);
    // A part of the text selected is copied as itself, by the text control.
    DWORD start = 0;
    DWORD end = 0;
    if (message == WM_KEYDOWN || message == WM_CHAR) {
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (start != end)
            return CFreshInputControl::WindowProc(message, wParam, lParam);
    }
    return CCopyKeyControl::WindowProc(message, wParam, lParam);
}
