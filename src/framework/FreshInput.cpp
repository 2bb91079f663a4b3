// src/framework/FreshInput.cpp
#include "framework/FreshInput.h"

#include "framework/WinApp.h"

namespace fw {
namespace {

// Bit 30 of a key message: the key was already down before this message.
constexpr LPARAM kWasDown = LPARAM{1} << 30;

bool IsKeyDown(int key) noexcept
{
    const CWinApp* app = CWinApp::Current();
    return app != nullptr ? app->IsKeyDown(key) : ::GetAsyncKeyState(key) < 0;
}

// The key a character's message was typed with, of the three watched.
WPARAM KeyOf(UINT message, WPARAM key) noexcept
{
    if (message != WM_CHAR)
        return key;
    return key == L'\r' ? VK_RETURN : key == L' ' ? VK_SPACE : key == 0x1B ? VK_ESCAPE : 0;
}

bool IsKeyMessage(UINT message) noexcept { return message == WM_KEYDOWN || message == WM_CHAR || message == WM_KEYUP; }

}  // namespace

void CFreshInputControl::BindControl(HWND control)
{
    SubclassWindow(control);
    // Asked once: bit 30 of a key message cannot tell "down since before
    // the dialog opened" from "down since before the focus came here", and
    // every other key (Tab, the arrows) repeats as it should.
    m_enterHeld = IsKeyDown(VK_RETURN);
    m_spaceHeld = IsKeyDown(VK_SPACE);
    m_escapeHeld = IsKeyDown(VK_ESCAPE);
    m_openedAt = ::GetTickCount();
}

bool* CFreshInputControl::HeldFlag(UINT message, WPARAM key) noexcept
{
    if (!IsKeyMessage(message))
        return nullptr;
    switch (KeyOf(message, key)) {
    case VK_RETURN:
        return &m_enterHeld;
    case VK_SPACE:
        return &m_spaceHeld;
    case VK_ESCAPE:
        return &m_escapeHeld;
    default:
        return nullptr;
    }
}

bool CFreshInputControl::Drops(UINT message, WPARAM key, LPARAM flags)
{
    const bool* held = HeldFlag(message, key);
    return held != nullptr && *held && (message == WM_KEYUP || (flags & kWasDown) != 0);
}

LRESULT CFreshInputControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE: {
        // The dialog's own handling of Enter and Escape goes by the focused
        // control's answer: a held key is claimed here, and dropped below.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg != nullptr && Drops(msg->message, msg->wParam, msg->lParam))
            return CWnd::WindowProc(message, wParam, lParam) | DLGC_WANTMESSAGE;
        break;
    }
    case WM_SETFOCUS:
        // A key let go while another control had the focus is not held.
        m_enterHeld = m_enterHeld && IsKeyDown(VK_RETURN);
        m_spaceHeld = m_spaceHeld && IsKeyDown(VK_SPACE);
        m_escapeHeld = m_escapeHeld && IsKeyDown(VK_ESCAPE);
        break;
    case BM_CLICK: {
        m_pressing = true;
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        m_pressing = false;
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // Pressed before the dialog showed, or so soon after it that it is
        // the rest of a double-click: not meant for this button.
        const auto sinceOpened = static_cast<LONG>(static_cast<DWORD>(::GetMessageTime()) - m_openedAt);
        if (!m_pressing && sinceOpened < static_cast<LONG>(::GetDoubleClickTime())) {
            m_clickDropped = true;
            return 0;
        }
        m_clickDropped = false;
        break;
    }
    case WM_LBUTTONUP:
        if (m_clickDropped && !m_pressing) {
            m_clickDropped = false;
            return 0;
        }
        break;
    default:
        if (bool* held = HeldFlag(message, wParam)) {
            const bool drop = Drops(message, wParam, lParam);
            // Its key-up lets it go, and so does a fresh press, which shows
            // that it was let go meanwhile.
            if (message == WM_KEYUP || !drop)
                *held = false;
            if (drop)
                return 0;
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

}  // namespace fw
