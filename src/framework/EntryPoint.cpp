// src/framework/EntryPoint.cpp
// Builds nothing: the one application object exists already as a global, so
// the entry only hands control to it.
#include "framework/DllSearch.h"
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // Before anything is loaded at run time (the global object's
    // construction loads nothing).
    fw::RestrictDllSearch();
    return fw::RunApplication(instance);
}
