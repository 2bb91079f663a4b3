// src/framework/Wnd.cpp
#include "framework/Wnd.h"

#include "framework/ProcAddress.h"
#include "framework/WinApp.h"

#include <commctrl.h>

namespace fw {
namespace {
// One id for all our subclasses; the reference data is the wrapper.
constexpr UINT_PTR kSubclassId = 0x5643;
// The wrapper again, as a window property, for finding it from the window:
// GetWindowSubclass would do, but some mingw-w64 import libraries lack it
// (Debian 12's x86-64 one), and only Common Controls 6 exports it by name.
constexpr wchar_t kWrapperProperty[] = L"Velmora.CWnd";
}

CWnd::~CWnd()
{
    if (m_subclassed && m_hWnd != nullptr) {
        ::RemovePropW(m_hWnd, kWrapperProperty);
        ::RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
    }
}

HWND CWnd::Detach() noexcept
{
    HWND window = m_hWnd;
    m_hWnd = nullptr;
    return window;
}

bool CWnd::SubclassWindow(HWND window)
{
    if (!::SetPropW(window, kWrapperProperty, this))
        return false;
    if (!::SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        ::RemovePropW(window, kWrapperProperty);
        return false;
    }
    m_hWnd = window;
    m_subclassed = true;
    return true;
}

CWnd* CWnd::FromSubclassed(HWND window) noexcept
{
    return window != nullptr ? static_cast<CWnd*>(::GetPropW(window, kWrapperProperty)) : nullptr;
}

HBRUSH CWnd::OnReflectedCtlColor(HDC) { return nullptr; }

bool CWnd::AllowMessageFromLowerIntegrity(UINT message) const noexcept
{
    // Per window on Windows 7 and later; the process-wide filter on Vista.
    // Both found at run time.
    using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using ProcessFilterFn = BOOL(WINAPI*)(UINT, DWORD);
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD for the process-wide call
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (const auto filter = LoadProc<FilterFn>(user32, "ChangeWindowMessageFilterEx"))
        return filter(m_hWnd, message, kAllow, nullptr) != FALSE;
    const auto processFilter = LoadProc<ProcessFilterFn>(user32, "ChangeWindowMessageFilter");
    return processFilter != nullptr && processFilter(message, kAllow) != FALSE;
}

std::wstring CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

RECT CWnd::GetWindowRect() const
{
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    return rect;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefSubclassProc(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self)
{
    CWnd* wnd = reinterpret_cast<CWnd*>(self);
    if (message == WM_NCDESTROY) {
        ::RemovePropW(window, kWrapperProperty);
        ::RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        wnd->m_subclassed = false;
        wnd->m_hWnd = nullptr;
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    // No exception may cross into the window manager; the control goes on
    // with the default handling, and the application learns that it failed.
    try {
        return wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        if (CWinApp* app = CWinApp::Current())
            app->NoteCaughtException();
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
}

}  // namespace fw
