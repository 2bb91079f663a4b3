// src/ui/NumberFormat.cpp
#include "ui/NumberFormat.h"

#include "ui/NumberGrouping.h"

namespace cleaner {
namespace {

std::wstring LocaleText(LCTYPE type)
{
    wchar_t text[16] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 16);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length - 1)) : std::wstring();
}

}  // namespace

CNumberFormat::CNumberFormat()
{
    m_decimal = LocaleText(LOCALE_SDECIMAL);
    m_thousand = LocaleText(LOCALE_STHOUSAND);
    const std::wstring grouping = LocaleText(LOCALE_SGROUPING);
    DWORD negative = 1;
    // The user's own choices, as Control Panel stores them, come with the
    // user's locale.
    m_read = !m_decimal.empty() && !grouping.empty() &&
             ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_INEGNUMBER | LOCALE_RETURN_NUMBER,
                               reinterpret_cast<LPWSTR>(&negative), sizeof negative / sizeof(wchar_t)) > 0;
    m_grouping = NumberGrouping(grouping);
    m_negativeOrder = negative;
}

std::wstring CNumberFormat::Format(unsigned long long number) const
{
    const std::wstring digits = std::to_wstring(number);
    if (!m_read)
        return digits;
    // Whole numbers: no decimals, whatever the user's format gives them.
    NUMBERFMTW format = {};
    format.NumDigits = 0;
    // Without it the system writes 0 as nothing at all.
    format.LeadingZero = 1;
    format.Grouping = m_grouping;
    format.lpDecimalSep = const_cast<LPWSTR>(m_decimal.c_str());
    format.lpThousandSep = const_cast<LPWSTR>(m_thousand.c_str());
    format.NegativeOrder = m_negativeOrder;
    wchar_t text[64] = {};
    const int length = ::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), &format, text, 64);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length - 1)) : digits;
}

}  // namespace cleaner
