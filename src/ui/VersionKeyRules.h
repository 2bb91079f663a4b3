// src/ui/VersionKeyRules.h
// Which per-version keys of the product the developer settings go into, and
// the publisher values they write. Portable.
#pragma once

#include <string>
#include <string_view>

namespace cleaner {

// "Software\Velmora\Plandrel", or "...\Plandrel-64" for the 64-bit build.
std::wstring ProductKeyPath(std::wstring_view platformSuffix);

// With an empty postfix: every name whose first 15 characters are exactly
// "Plandrel 10.0.0". Otherwise the whole name equals "Plandrel " (or
// "Plandrel-64 " for the 64-bit build) followed by the postfix, compared
// without regard to ASCII letter case.
bool IsVersionKeyName(std::wstring_view name, std::wstring_view prefsPostfix, std::wstring_view platformSuffix);

// The object portal's publisher: the name of the subkey that holds
// "ServiceURL", and the development object service's address.
constexpr const wchar_t* kPublisherDomain = L"objectportal.velmora.com";
constexpr const wchar_t* kDevelopmentServiceUrl = L"https://dev-objectportal.velmora.com/objectservice.svc/";

}  // namespace cleaner
