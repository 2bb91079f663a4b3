// src/framework/MessageBox.h
#pragma once

#include <windows.h>

namespace fw {

// A message box captioned with the application's name (the executable's file
// name without its extension). Without an icon flag in type, the exclamation
// icon is shown.
int AppMessageBox(HWND owner, const wchar_t* text, UINT type = MB_OK);

}  // namespace fw
