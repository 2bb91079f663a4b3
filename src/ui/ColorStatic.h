// src/ui/ColorStatic.h
// A static text whose text colour can be switched while it is shown. The
// parent reflects the control colour message back to it. In high contrast
// it draws in the theme's colours instead.
#pragma once

#include "framework/Static.h"

class CColorStatic : public fw::CStatic {
public:
    // Dark red, the colour of failures: red 127, green 0, blue 0.
    static constexpr COLORREF kDarkRed = RGB(0x7F, 0, 0);

    // Whether the user's high contrast theme is on, asked at every paint: it
    // may be switched while the dialog is open. Tests stand in for it where
    // the system cannot switch it (Wine).
    static bool SystemHighContrast() noexcept;
    bool (*highContrast)() = &SystemHighContrast;

    void BindControl(HWND control) override { SubclassWindow(control); }
    HBRUSH OnReflectedCtlColor(HDC dc) override;
    // Stores the colour and repaints the control at once.
    void ChangeTextColor(COLORREF color);

private:
    COLORREF m_textColor = RGB(0, 0, 0);
};
