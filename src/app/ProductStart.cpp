// src/app/ProductStart.cpp
#include "app/ProductStart.h"

#include "app/ReportLines.h"

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

std::wstring NotStartedText(std::wstring_view executableName, unsigned long code, std::wstring_view systemText)
{
    constexpr unsigned long kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED
    std::wstring text(executableName);
    text += L" did not start: ";
    if (code == kElevationRequired)
        return text + L"it asks for administrator rights; run the cleaner as administrator.";
    if (code == 0)
        return text + L"its path holds a double quote.";
    return text + WithoutLineEnd(systemText);
}

}  // namespace cleaner
