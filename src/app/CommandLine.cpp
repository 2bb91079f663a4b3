// src/app/CommandLine.cpp
#include "app/CommandLine.h"

#include <algorithm>

namespace cleaner {
namespace {

constexpr wchar_t kQuote = L'"';
constexpr std::wstring_view kProductName = L"Plandrel.exe";
constexpr std::wstring_view kSettingsName = L"\\Settings.ini";

wchar_t ToUpperAscii(wchar_t c) noexcept
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

bool IsWhiteSpace(wchar_t c) noexcept
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring_view Trim(std::wstring_view text) noexcept
{
    while (!text.empty() && IsWhiteSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsBlank(wchar_t c) noexcept { return c == L' ' || c == L'\t'; }

// Unlike the silent switch, a word of its own: "C:/Lab" lists nothing.
bool HasListSwitch(std::wstring_view argumentText)
{
    for (size_t start = 0; start < argumentText.size();) {
        while (start < argumentText.size() && IsBlank(argumentText[start]))
            ++start;
        size_t end = start;
        while (end < argumentText.size() && !IsBlank(argumentText[end]))
            ++end;
        const std::wstring_view word = argumentText.substr(start, end - start);
        if (EqualsIgnoreAsciiCase(word, L"/L") || EqualsIgnoreAsciiCase(word, L"-L"))
            return true;
        start = end;
    }
    return false;
}

bool HasSilentSwitch(std::wstring_view argumentText)
{
    std::wstring upper(argumentText);
    std::transform(upper.begin(), upper.end(), upper.begin(), ToUpperAscii);
    return upper.find(L"/S") != std::wstring::npos || upper.find(L"-S") != std::wstring::npos;
}

}  // namespace

bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToUpperAscii(a[i]) != ToUpperAscii(b[i]))
            return false;
    }
    return true;
}

bool IsProductExecutablePath(std::wstring_view path)
{
    const size_t slash = path.rfind(L'\\');
    return slash != std::wstring_view::npos && EqualsIgnoreAsciiCase(path.substr(slash + 1), kProductName);
}

CommandLine SplitCommandLine(std::wstring_view line)
{
    CommandLine result;

    if (!line.empty() && line.front() == kQuote) {
        const size_t close = line.find(kQuote, 1);
        if (close == std::wstring_view::npos) {
            result.argumentText = line;
        } else {
            result.programPath = line.substr(1, close - 1);
            result.argumentText = line.substr(close + 1);
        }
    } else {
        const size_t separator = line.find_first_of(L" \t");
        if (separator == std::wstring_view::npos) {
            result.programPath = line;
        } else {
            result.programPath = line.substr(0, separator);
            result.argumentText = line.substr(separator + 1);
        }
    }

    result.silent = HasSilentSwitch(result.argumentText);
    result.list = HasListSwitch(result.argumentText);

    // The argument text is one item: it is not split into words.
    std::wstring_view product = Trim(result.argumentText);
    if (product.size() >= 2 && product.front() == kQuote && product.back() == kQuote)
        product = product.substr(1, product.size() - 2);
    if (IsProductExecutablePath(product)) {
        result.reRegister = true;
        result.silent = false;
        result.productExePath = product;
    }
    return result;
}

std::wstring FolderOf(std::wstring_view path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash));
}

std::wstring SettingsPathFor(std::wstring_view programPath, std::wstring_view moduleFolder)
{
    const bool hasFolder = programPath.find(L'\\') != std::wstring_view::npos;
    std::wstring path = hasFolder ? FolderOf(programPath) : std::wstring(moduleFolder);
    path += kSettingsName;
    return path;
}

}  // namespace cleaner
