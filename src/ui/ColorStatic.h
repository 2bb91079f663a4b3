// src/ui/ColorStatic.h
// A static text whose text colour can be switched while it is shown. The
// parent reflects the control colour message back to it.
#pragma once

#include "framework/Handle.h"
#include "framework/Static.h"

class CColorStatic : public fw::CStatic {
public:
    // Dark red, the colour of failures: red 127, green 0, blue 0.
    static constexpr COLORREF kDarkRed = RGB(0x7F, 0, 0);

    CColorStatic();

    void BindControl(HWND control) override { SubclassWindow(control); }
    HBRUSH OnReflectedCtlColor(HDC dc) override;
    // Stores the colour and repaints the control at once.
    void ChangeTextColor(COLORREF color);

private:
    fw::UniqueBrush m_brush;
    COLORREF m_backgroundColor;
    COLORREF m_textColor = RGB(0, 0, 0);
};
