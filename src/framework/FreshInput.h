// src/framework/FreshInput.h
// A control that acts only on input meant for it. A key held down from
// before the dialog opened (the Enter that started a run and is still down,
// a key stuck down, an automation tool that sent no key-up) repeats into
// whatever window opens next, and the second click of a double-click that
// ended the dialog before lands on the button that opens under the pointer:
// either would press it at once, and a dialog that ends the program, or
// starts a deletion, would never be seen.
#pragma once

#include "framework/Wnd.h"

namespace fw {

class CFreshInputControl : public CWnd {
public:
    // Notes which of Enter, Space and Escape are down as the dialog opens,
    // and when it opens: its controls are bound then.
    void BindControl(HWND control) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Of Enter, Space and Escape: whether the key is taken for held.
    bool* HeldFlag(UINT message, WPARAM key) noexcept;
    // A repeat, a character or the key-up of a key that was down as the
    // dialog opened and has not been let go since. A fresh press (one that
    // is no repeat) shows that it was let go meanwhile.
    bool Drops(UINT message, WPARAM key, LPARAM flags);

    bool m_enterHeld = false;
    bool m_spaceHeld = false;
    bool m_escapeHeld = false;
    DWORD m_openedAt = 0;
    // A button-down was dropped: so is the button-up that ends it.
    bool m_clickDropped = false;
    // Within BM_CLICK (an automation tool's or a screen reader's press),
    // whose button-down and -up the control sends itself: not the mouse's.
    bool m_pressing = false;
};

}  // namespace fw
