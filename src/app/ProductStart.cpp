// src/app/ProductStart.cpp
#include "app/ProductStart.h"

namespace cleaner {

std::wstring ProductCommandLine(std::wstring_view productExePath)
{
    std::wstring line = L"\"";
    line += productExePath;
    line += L"\" /REGSERVER";
    return line;
}

}  // namespace cleaner
