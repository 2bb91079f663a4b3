// src/clean/PathRoots.cpp
#include "clean/PathRoots.h"

namespace cleaner {
namespace {

bool IsSeparator(wchar_t c) noexcept { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) noexcept { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool StartsWithDrive(std::wstring_view path) noexcept
{
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':';
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) noexcept
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        wchar_t a = text[i];
        wchar_t b = prefix[i];
        if (a >= L'a' && a <= L'z')
            a = static_cast<wchar_t>(a - L'a' + L'A');
        if (b >= L'a' && b <= L'z')
            b = static_cast<wchar_t>(b - L'a' + L'A');
        if (a != b && !(IsSeparator(a) && IsSeparator(b)))
            return false;
    }
    return true;
}

// The non-empty names of a path, whatever separates them.
size_t CountNames(std::wstring_view path) noexcept
{
    size_t count = 0;
    bool inName = false;
    for (wchar_t c : path) {
        if (IsSeparator(c)) {
            inName = false;
        } else if (!inName) {
            inName = true;
            ++count;
        }
    }
    return count;
}

// How many leading names belong to the root of this form of path, and the
// rest of the path after its prefix.
struct RootForm {
    std::wstring_view rest;
    size_t rootNames;
};

RootForm FormOf(std::wstring_view path) noexcept
{
    if (StartsWithIgnoringCase(path, L"\\\\?\\UNC\\"))
        return {path.substr(8), 2};                   // server and share
    if (StartsWithIgnoringCase(path, L"\\\\?\\") || StartsWithIgnoringCase(path, L"\\\\.\\"))
        return {path.substr(4), 1};                   // a drive or a device
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
        return {path.substr(2), 2};                   // server and share
    if (StartsWithDrive(path))
        return {path.substr(2), 0};                   // the drive itself
    return {path, 0};                                 // rooted or relative
}

}  // namespace

bool IsOnDriveLetter(std::wstring_view fullPath) noexcept
{
    if (StartsWithIgnoringCase(fullPath, L"\\\\?\\UNC\\"))
        return false;
    if (StartsWithIgnoringCase(fullPath, L"\\\\?\\"))
        fullPath.remove_prefix(4);
    return StartsWithDrive(fullPath) && fullPath.size() > 2 && IsSeparator(fullPath[2]);
}

bool IsRootOrAbove(std::wstring_view path)
{
    const RootForm form = FormOf(path);
    return CountNames(form.rest) <= form.rootNames;
}

std::optional<ParentAndName> SplitAtLastName(std::wstring_view fullPath)
{
    if (IsRootOrAbove(fullPath))
        return std::nullopt;
    const size_t slash = fullPath.rfind(L'\\');
    if (slash == std::wstring_view::npos || slash + 1 == fullPath.size())
        return std::nullopt;
    ParentAndName split{std::wstring(fullPath.substr(0, slash)), std::wstring(fullPath.substr(slash + 1))};
    if (IsRootOrAbove(split.parent))
        split.parent += L'\\';
    return split;
}

}  // namespace cleaner
