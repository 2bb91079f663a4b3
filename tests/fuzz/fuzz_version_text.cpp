// Invariants of the version file's text rules for any text: the postfix is a
// piece of the text that lies between the two tags, and the collapse leaves
// no "&amp;" and never grows the text.
#include "selection/VersionText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
void Require(bool condition)
{
    if (!condition)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i < size; ++i)  // small alphabet: tags and references appear often
        text.push_back(static_cast<wchar_t>(data[i] < 128 ? data[i] : L"<>/&amp;prefsxiWIN64\n "[data[i] % 21]));

    const std::wstring collapsed = cleaner::CollapseAmpersands(text);
    Require(collapsed.size() <= text.size());
    Require(collapsed.find(L"&amp;") == std::wstring::npos);
    Require(cleaner::CollapseAmpersands(collapsed) == collapsed);

    const std::wstring postfix = cleaner::FindPrefsPostfix(text);
    if (!postfix.empty()) {
        const size_t open = text.find(L"<prefspostfix>");
        Require(open != std::wstring::npos);
        Require(text.compare(open + 14, postfix.size(), postfix) == 0);
        Require(text.compare(open + 14 + postfix.size(), 15, L"</prefspostfix>") == 0);
    }
    const std::wstring platform = cleaner::PlatformSuffix(text);
    Require(platform.empty() || platform == L"64");
    return 0;
}
