// src/selection/VersionText.cpp
#include "selection/VersionText.h"

namespace cleaner {
namespace {
constexpr std::wstring_view kOpenTag = L"<prefspostfix>";
constexpr std::wstring_view kCloseTag = L"</prefspostfix>";
constexpr std::wstring_view kAmpersand = L"&amp;";
}  // namespace

std::wstring VersionFilePath(std::wstring_view exePath)
{
    const size_t slash = exePath.rfind(L'\\');
    if (slash == std::wstring_view::npos)
        return std::wstring();
    return std::wstring(exePath.substr(0, slash + 1)) + L"ProductVersion.xml";
}

std::wstring CollapseAmpersands(std::wstring_view text)
{
    // One pass gives the same text as searching from the start after every
    // cut: a cut leaves its "&" last, and no earlier "&amp;" can appear, so
    // the next hit can only end at or after the end of what is kept so far.
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        out.push_back(c);
        if (out.size() >= kAmpersand.size() &&
            std::wstring_view(out).substr(out.size() - kAmpersand.size()) == kAmpersand)
            out.resize(out.size() - (kAmpersand.size() - 1));
    }
    return out;
}

std::wstring FindPrefsPostfix(std::wstring_view text)
{
    const size_t start = text.find(kOpenTag);
    const size_t end = text.find(kCloseTag);
    if (start == std::wstring_view::npos || end == std::wstring_view::npos || end < start + kOpenTag.size())
        return std::wstring();
    return std::wstring(text.substr(start + kOpenTag.size(), end - start - kOpenTag.size()));
}

std::wstring PlatformSuffix(std::wstring_view text)
{
    return text.find(L"<platform>WIN64</platform>") == std::wstring_view::npos ? std::wstring() : L"64";
}

}  // namespace cleaner
