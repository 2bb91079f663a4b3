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

}  // namespace cleaner
