// src/framework/Wnd.h
// A window handle that is used, not owned: destroying the object never
// destroys the window. Controls derive from it and add only the messages the
// program sends them.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    void Attach(HWND window) noexcept { m_hWnd = window; }
    HWND Detach() noexcept;
    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    operator HWND() const noexcept { return m_hWnd; }

    // How a dialog binds the control behind this wrapper. Plain wrappers only
    // attach; controls that handle their own messages subclass the window.
    virtual void BindControl(HWND control) { Attach(control); }

    // Routes the window's messages to WindowProc until it is destroyed.
    bool SubclassWindow(HWND window);
    // The wrapper that subclassed the window, or null.
    static CWnd* FromSubclassed(HWND window) noexcept;

    // A control colour message that the parent reflected back to this
    // control; null lets the parent's default colours apply.
    virtual HBRUSH OnReflectedCtlColor(HDC dc);

    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    void EnableWindow(bool enable) const { ::EnableWindow(m_hWnd, enable ? TRUE : FALSE); }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    RECT GetWindowRect() const;
    void SetFocus() const { ::SetFocus(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    // Lets the message through to this window from programs of lower
    // integrity (Explorer, when this program runs elevated), which User
    // Interface Privilege Isolation blocks otherwise; on Vista, which has no
    // filter per window, to every window of the process. False where the
    // system refused.
    bool AllowMessageFromLowerIntegrity(UINT message) const noexcept;

protected:
    // Messages of a subclassed window; the default passes them on.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    bool m_subclassed = false;
};

}  // namespace fw
