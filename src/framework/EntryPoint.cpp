// src/framework/EntryPoint.cpp
// Builds nothing: the one application object exists already as a global, so
// the entry only hands control to it.
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    return fw::RunApplication(instance);
}
