// src/framework/FreshKeys.cpp
#include "framework/FreshKeys.h"

namespace fw {
namespace {
// Bit 30 of a key message: the key was already down before this message.
constexpr LPARAM kWasDown = LPARAM{1} << 30;
}  // namespace

bool CFreshKeysControl::IsHeldFromBefore(UINT message, WPARAM key, LPARAM flags) const noexcept
{
    if (message != WM_KEYDOWN && message != WM_CHAR && message != WM_KEYUP)
        return false;
    // A character's message carries the flags of the key that typed it.
    if (message == WM_CHAR)
        key = key == L'\r' ? VK_RETURN : key == L' ' ? VK_SPACE : key == 0x1B ? VK_ESCAPE : 0;
    if (key == 0 || key >= m_pressed.size() || m_pressed.test(key))
        return false;
    return message == WM_KEYUP || (flags & kWasDown) != 0;
}

LRESULT CFreshKeysControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE: {
        // The dialog's own handling of Enter and Escape goes by the focused
        // control's answer: a held key is claimed here, and dropped below.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg != nullptr && IsHeldFromBefore(msg->message, msg->wParam, msg->lParam))
            return CWnd::WindowProc(message, wParam, lParam) | DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
        if ((lParam & kWasDown) == 0 && wParam < m_pressed.size())
            m_pressed.set(wParam);
        break;
    default:
        break;
    }
    if (IsHeldFromBefore(message, wParam, lParam))
        return 0;
    if (message == WM_KEYUP && wParam < m_pressed.size())
        m_pressed.reset(wParam);
    return CWnd::WindowProc(message, wParam, lParam);
}

}  // namespace fw
