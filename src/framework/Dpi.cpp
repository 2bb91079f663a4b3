// src/framework/Dpi.cpp
#include "framework/Dpi.h"

#include "framework/ProcAddress.h"

namespace fw {

UINT WindowDpi(HWND window) noexcept
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto forWindow = LoadProc<GetDpiForWindowFn>(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (forWindow != nullptr) {
        if (const UINT dpi = forWindow(window))
            return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSX) : USER_DEFAULT_SCREEN_DPI;
    if (screen != nullptr)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

HICON LoadSystemIcon(const wchar_t* id, UINT dpi, UniqueIcon& owned) noexcept
{
    // 32 pixels at 96 DPI, as SM_CXICON is.
    const int size = ::MulDiv(32, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    owned.reset();
    // Common Controls 6 (the program's, as its manifest asks) scales down
    // from the next larger image; found at run time, as some mingw-w64
    // import libraries lack it.
    using ScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, const wchar_t*, int, int, HICON*);
    const auto scaleDown = LoadProc<ScaleDownFn>(::GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown");
    HICON loaded = nullptr;
    if (scaleDown != nullptr && SUCCEEDED(scaleDown(nullptr, id, size, size, &loaded))) {
        owned.reset(loaded);
        return loaded;
    }
    // A system icon loads only as the shared one (LoadImageW would need
    // LR_SHARED for it, which makes it shared too).
    return ::LoadIconW(nullptr, id);
}

}  // namespace fw
