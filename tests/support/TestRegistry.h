// tests/support/TestRegistry.h
// Seeding and reading the test prefix's real registry. Machine keys are
// reached in the 64-bit view unless a test asks for the 32-bit one.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace testing_support {

enum class View { Native, Bits64, Bits32 };

void CreateKey(HKEY root, const std::wstring& path, View view = View::Bits64);
void SetStringValue(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& data,
                    View view = View::Bits64);
bool KeyExists(HKEY root, const std::wstring& path, View view = View::Bits64);
bool ValueExists(HKEY root, const std::wstring& path, const std::wstring& name, View view = View::Bits64);
// The key and every key below it, as paths relative to the root; empty when
// the key is missing.
std::set<std::wstring> KeysBelow(HKEY root, const std::wstring& path, View view = View::Bits64);
// A registry link at the path naming the target key of the same root.
void CreateLink(HKEY root, const std::wstring& link, const std::wstring& target, View view = View::Bits64);
// True when the key at the path, opened as itself, is a link.
bool LinkExists(HKEY root, const std::wstring& path, View view = View::Bits64);
void DeleteKeyTree(HKEY root, const std::wstring& path, View view = View::Bits64);
// Removes the maker's trees under both roots (both machine views) and the
// neighbours the tests seed beside them.
void ClearMakerTrees();
// True when the system keeps a separate 32-bit view (a 64-bit prefix).
bool Is64BitSystem();

}  // namespace testing_support
