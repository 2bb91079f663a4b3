// src/ui/ColorStatic.cpp
#include "ui/ColorStatic.h"

CColorStatic::CColorStatic() : m_backgroundColor(::GetSysColor(COLOR_BTNFACE))
{
    m_brush.reset(::CreateSolidBrush(m_backgroundColor));
}

HBRUSH CColorStatic::OnReflectedCtlColor(HDC dc)
{
    ::SetBkColor(dc, m_backgroundColor);
    ::SetTextColor(dc, m_textColor);
    return m_brush.get();
}

void CColorStatic::ChangeTextColor(COLORREF color)
{
    m_textColor = color;
    if (m_hWnd != nullptr)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
