// tests/support/UiScript.cpp
#include "support/UiScript.h"

#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace testing_support {
namespace {

UiScript* g_activeScript = nullptr;  // the script the thread timer serves

struct FindData {
    std::wstring caption;
    int controlId;
    bool messageBox;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* data = reinterpret_cast<FindData*>(param);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (std::wcscmp(className, L"#32770") != 0 || !::IsWindowVisible(window))
        return TRUE;
    if (data->messageBox) {
        if (::GetDlgItem(window, 0xFFFF) == nullptr)
            return TRUE;
    } else {
        if (WindowText(window) != data->caption || !::IsWindowEnabled(window))
            return TRUE;
        if (data->controlId != 0 && ::GetDlgItem(window, data->controlId) == nullptr)
            return TRUE;
    }
    data->found = window;
    return FALSE;
}

}  // namespace

UiScript::UiScript()
{
    g_activeScript = this;
    m_timer = ::SetTimer(nullptr, 0, 25, OnTick);
}

UiScript::~UiScript()
{
    ::KillTimer(nullptr, m_timer);
    if (g_activeScript == this)
        g_activeScript = nullptr;
}

UiScript& UiScript::Then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

UiScript& UiScript::Wait(int ticks)
{
    auto left = std::make_shared<int>(ticks);
    return Then([left] { return --*left <= 0; });
}

void CALLBACK UiScript::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_activeScript != nullptr)
        g_activeScript->Tick();
}

void UiScript::Tick()
{
    if (m_running || m_steps.empty())
        return;
    m_running = true;
    try {
        if (m_steps.front()())
            m_steps.pop_front();
    } catch (...) {
        errors += L"a step threw; ";
        m_steps.clear();
    }
    m_running = false;
}

HWND FindThreadDialog(const std::wstring& caption, int controlId)
{
    FindData data{caption, controlId, false, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

HWND FindMessageBox()
{
    FindData data{L"", 0, true, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

std::wstring WindowText(HWND window)
{
    wchar_t buffer[4096] = {};
    const int length = ::GetWindowTextW(window, buffer, 4096);
    return std::wstring(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring ControlText(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void PostClick(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PostKey(HWND window, UINT virtualKey, bool control)
{
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(window, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void PostHeldKey(HWND window, UINT virtualKey)
{
    constexpr LPARAM kWasDown = LPARAM{1} << 30;
    ::PostMessageW(window, WM_KEYDOWN, virtualKey, kWasDown | 1);
}

std::wstring AccessibleName(HWND control)
{
    IAccessible* accessible = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                            reinterpret_cast<void**>(&accessible))))
        return L"(no accessible object)";
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring text;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr)
        text = name;
    ::SysFreeString(name);
    accessible->Release();
    return text;
}

bool ArrowsStayAmong(HWND dialog, const std::vector<int>& ids)
{
    for (int id : ids) {
        for (BOOL previous : {FALSE, TRUE}) {
            const HWND next = ::GetNextDlgGroupItem(dialog, ::GetDlgItem(dialog, id), previous);
            if (std::find(ids.begin(), ids.end(), ::GetDlgCtrlID(next)) == ids.end())
                return false;
        }
    }
    return true;
}

HighContrast::HighContrast() : m_face(::GetSysColor(COLOR_BTNFACE)), m_text(::GetSysColor(COLOR_BTNTEXT))
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    contrast.dwFlags = HCF_HIGHCONTRASTON;
    ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, 0);
    const int elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF dark[] = {RGB(0, 0, 0), RGB(255, 255, 0)};
    ::SetSysColors(2, elements, dark);
}

HighContrast::~HighContrast()
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, 0);
    const int elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF saved[] = {m_face, m_text};
    ::SetSysColors(2, elements, saved);
}

bool HighContrast::IsOn() const
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

int CheckState(HWND dialog, int id)
{
    return static_cast<int>(::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

bool IsEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

POINT ControlCentre(HWND dialog, int id)
{
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    return POINT{rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

HDROP MakeDrop(const std::vector<std::wstring>& files, POINT clientPoint)
{
    size_t characters = 1;
    for (const std::wstring& file : files)
        characters += file.size() + 1;
    const size_t bytes = sizeof(DROPFILES) + characters * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    header->pt = clientPoint;
    auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const std::wstring& file : files) {
        std::memcpy(names, file.c_str(), (file.size() + 1) * sizeof(wchar_t));
        names += file.size() + 1;
    }
    *names = L'\0';
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace testing_support
