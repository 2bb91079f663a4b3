// src/app/ProductStart.h
// How the product is started to register itself. Portable.
#pragma once

#include <string>
#include <string_view>

namespace cleaner {

// The quoted executable path, a blank and "/REGSERVER", at full length
// whatever the path's length.
std::wstring ProductCommandLine(std::wstring_view productExePath);

// A path with a double quote in it would end the quoted path early and
// start another program: such a path is never started.
bool CanStartProductPath(std::wstring_view productExePath);

// What the developer dialog says in place of its line on the new registry
// entries when the product did not start: the system's reason (systemText,
// for its error code), for 740 what to do, and for a path that was never
// offered to the system (code 0), why.
std::wstring NotStartedText(std::wstring_view executableName, unsigned long code, std::wstring_view systemText);

}  // namespace cleaner
