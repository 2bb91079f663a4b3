// src/ui/NumberGrouping.cpp
#include "ui/NumberGrouping.h"

namespace cleaner {

unsigned NumberGrouping(const std::wstring& localeGrouping)
{
    // Digits separated by semicolons; a closing 0 means "the last group
    // repeats", which the number writes by leaving its 0 off.
    unsigned grouping = 0;
    bool digitExpected = true;
    for (wchar_t c : localeGrouping) {
        if (digitExpected && c >= L'0' && c <= L'9') {
            if (grouping > 99999999u)
                return 0;
            grouping = grouping * 10 + static_cast<unsigned>(c - L'0');
            digitExpected = false;
        } else if (!digitExpected && c == L';') {
            digitExpected = true;
        } else {
            return 0;
        }
    }
    if (digitExpected)
        return 0;
    return grouping % 10 == 0 ? grouping / 10 : grouping * 10;
}

}  // namespace cleaner
