// src/framework/MessageBox.cpp
#include "framework/MessageBox.h"

#include "framework/WinApp.h"

namespace fw {

int AppMessageBox(HWND owner, const wchar_t* text, UINT type)
{
    if ((type & MB_ICONMASK) == 0)
        type |= MB_ICONEXCLAMATION;
    const CWinApp* app = CWinApp::Current();
    return ::MessageBoxW(owner, text, app ? app->GetAppName() : L"", type);
}

}  // namespace fw
