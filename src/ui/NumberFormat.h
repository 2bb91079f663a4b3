// src/ui/NumberFormat.h
// Whole numbers as the user writes them: grouped with the separator and in
// the groups of the user's own number format (a period in German, a blank
// in French, 12,34,567 in India).
#pragma once

#include <windows.h>

#include <string>

namespace cleaner {

class CNumberFormat {
public:
    // Reads the user's format once (GetLocaleInfoEx of the user's locale).
    CNumberFormat();

    // Plain digits where the system cannot format it.
    std::wstring Format(unsigned long long number) const;

private:
    std::wstring m_decimal;
    std::wstring m_thousand;
    UINT m_grouping = 3;
    UINT m_negativeOrder = 1;
    bool m_read = false;
};

}  // namespace cleaner
