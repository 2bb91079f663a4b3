// src/ui/VersionKeyRules.cpp
#include "ui/VersionKeyRules.h"

#include "app/CommandLine.h"

namespace cleaner {

std::wstring ProductKeyPath(std::wstring_view platformSuffix)
{
    return platformSuffix.empty() ? L"Software\\Velmora\\Plandrel" : L"Software\\Velmora\\Plandrel-64";
}

bool IsVersionKeyName(std::wstring_view name, std::wstring_view prefsPostfix, std::wstring_view platformSuffix)
{
    if (prefsPostfix.empty()) {
        constexpr std::wstring_view kDefaultPrefix = L"Plandrel 10.0.0";
        return name.size() >= kDefaultPrefix.size() && name.substr(0, kDefaultPrefix.size()) == kDefaultPrefix;
    }
    std::wstring expected = platformSuffix.empty() ? L"Plandrel " : L"Plandrel-64 ";
    expected += prefsPostfix;
    return EqualsIgnoreAsciiCase(name, expected);
}

}  // namespace cleaner
