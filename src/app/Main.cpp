// src/app/Main.cpp
// The program's one global object. The entry point finds it and runs it.
#include "app/CleanerApp.h"

CCleanerApp theApp;
