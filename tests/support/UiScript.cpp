// tests/support/UiScript.cpp
#include "support/UiScript.h"

#include "support/TestFiles.h"

#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <iterator>
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

UiScript::Step OnDialog(const std::wstring& caption, int controlId, std::function<void(HWND)> act)
{
    return [caption, controlId, act = std::move(act)] {
        HWND dialog = FindThreadDialog(caption, controlId);
        if (dialog == nullptr)
            return false;
        act(dialog);
        return true;
    };
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

namespace {
// A dark theme as Windows' "High Contrast Black" gives it.
constexpr int kThemeElements[] = {COLOR_WINDOW,       COLOR_WINDOWTEXT,    COLOR_BTNFACE,      COLOR_BTNTEXT,
                                  COLOR_GRAYTEXT,     COLOR_BTNHIGHLIGHT,  COLOR_BTNSHADOW,    COLOR_3DDKSHADOW,
                                  COLOR_3DLIGHT,      COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT,  COLOR_HIGHLIGHT,
                                  COLOR_HIGHLIGHTTEXT, COLOR_GRADIENTACTIVECAPTION};
constexpr COLORREF kThemeColours[] = {RGB(0, 0, 0),     RGB(255, 255, 255), RGB(0, 0, 0),     RGB(255, 255, 255),
                                      RGB(63, 242, 63), RGB(255, 255, 255), RGB(128, 128, 128), RGB(128, 128, 128),
                                      RGB(0, 0, 0),     RGB(128, 0, 128),   RGB(255, 255, 255), RGB(26, 235, 255),
                                      RGB(0, 0, 0),     RGB(128, 0, 128)};
static_assert(std::size(kThemeElements) == std::size(kThemeColours));
constexpr int kThemeCount = static_cast<int>(std::size(kThemeElements));
}  // namespace

HighContrast::HighContrast()
{
    for (int element : kThemeElements)
        m_saved.push_back(::GetSysColor(element));
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    contrast.dwFlags = HCF_HIGHCONTRASTON;
    ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, 0);
    ::SetSysColors(kThemeCount, kThemeElements, kThemeColours);
}

HighContrast::~HighContrast()
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast, 0);
    ::SetSysColors(kThemeCount, kThemeElements, m_saved.data());
}

void SaveScreenshot(HWND window, const std::wstring& name)
{
    wchar_t folder[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"CLEANER_SCREENSHOTS", folder, MAX_PATH) == 0)
        return;
    RECT r = {};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    // From the window's own pixels: the screen may not show its last paint yet.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC own = ::GetWindowDC(window);
    ::BitBlt(memory, 0, 0, width, height, own, 0, 0, SRCCOPY);
    ::ReleaseDC(window, own);
    ::SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;  // no alpha, which viewers would take as transparent
    info.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<BYTE> pixels(stride * static_cast<size_t>(height));
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(pixels.begin(), pixels.end());
    WriteTextFile(std::wstring(folder) + L"\\" + name + L".bmp", bytes);
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
