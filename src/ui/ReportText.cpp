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
    return CFreshKeysControl::WindowProc(message, wParam, lParam);
}

LRESULT CReportText::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        // Tabbing in would select the whole report otherwise.
        return CCopyKeyControl::WindowProc(message, wParam, lParam) & ~static_cast<LRESULT>(DLGC_HASSETSEL);
    case WM_KEYDOWN: {
        // A reader scrolls the view; a caret moving down the lines would
        // scroll only once it reached the bottom.
        int scroll = -1;
        switch (wParam) {
        case VK_UP: scroll = SB_LINEUP; break;
        case VK_DOWN: scroll = SB_LINEDOWN; break;
        case VK_PRIOR: scroll = SB_PAGEUP; break;
        case VK_NEXT: scroll = SB_PAGEDOWN; break;
        case VK_HOME: scroll = SB_TOP; break;
        case VK_END: scroll = SB_BOTTOM; break;
        default: break;
        }
        if (scroll >= 0) {
            SendMessage(WM_VSCROLL, static_cast<WPARAM>(scroll));
            return 0;
        }
        break;
    }
    default:
        break;
    }
    // A part of the text selected with the mouse is copied as itself.
    DWORD start = 0;
    DWORD end = 0;
    if ((message == WM_KEYDOWN || message == WM_CHAR)) {
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (start != end)
            return CFreshKeysControl::WindowProc(message, wParam, lParam);
    }
    return CCopyKeyControl::WindowProc(message, wParam, lParam);
}
