// src/ui/ColorStatic.cpp
#include "ui/ColorStatic.h"

bool CColorStatic::SystemHighContrast() noexcept
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HBRUSH CColorStatic::OnReflectedCtlColor(HDC dc)
{
    // The face colour and its brush are the system's of the moment (the
    // system's brush needs no owner); in high contrast the text takes the
    // theme's text colour, which the fixed colours would not be seen on.
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetTextColor(dc, highContrast() ? ::GetSysColor(COLOR_BTNTEXT) : m_textColor);
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

void CColorStatic::ChangeTextColor(COLORREF color)
{
    m_textColor = color;
    if (m_hWnd != nullptr)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
