// src/framework/Registry.h
// Reading an open registry key.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

// The names of the key's direct subkeys in enumeration order. Every legal
// name (up to 255 characters) is read whole; the list ends at the first index
// the system does not serve: after the last subkey, or at any error.
std::vector<std::wstring> SubkeyNames(HKEY key);

}  // namespace fw
