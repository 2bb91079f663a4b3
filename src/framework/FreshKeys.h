// src/framework/FreshKeys.h
// A control that acts only on keys pressed while it is shown. A key held
// down from before (the Enter that started a run and is still down, a key
// stuck down, an automation tool that sent no key-up) repeats into whatever
// window opens next, and would press its default button at once: a dialog
// that ends the program, or starts a deletion, would then never be seen.
#pragma once

#include "framework/Wnd.h"

#include <bitset>

namespace fw {

class CFreshKeysControl : public CWnd {
public:
    void BindControl(HWND control) override { SubclassWindow(control); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // A repeat of a key whose press this control never saw.
    bool IsHeldFromBefore(UINT message, WPARAM key, LPARAM flags) const noexcept;

    // Keys pressed (not repeated) while the control was shown, not yet let go.
    std::bitset<256> m_pressed;
};

}  // namespace fw
