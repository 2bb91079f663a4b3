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

bool CanStartProductPath(std::wstring_view productExePath)
{
    return !productExePath.empty() && productExePath.find(L'"') == std::wstring_view::npos;
}

}  // namespace cleaner
