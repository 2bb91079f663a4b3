// src/app/ReportLines.cpp
#include "app/ReportLines.h"

namespace cleaner {
namespace {

// A field never breaks the layout: tabs and line ends become blanks, and
// the blanks a message text ends with go.
std::wstring Field(const std::wstring& text)
{
    std::wstring field;
    field.reserve(text.size());
    for (wchar_t c : text)
        field.push_back(c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c);
    while (!field.empty() && field.back() == L' ')
        field.pop_back();
    return field;
}

const wchar_t* RegistryText(RegistryState registry) noexcept
{
    switch (registry) {
    case RegistryState::Cleaned:
        return L"cleaned";
    case RegistryState::Stayed:
        return L"stayed";
    case RegistryState::Untouched:
        break;
    }
    return L"untouched";
}

const wchar_t* ProductText(ProductStart product) noexcept
{
    switch (product) {
    case ProductStart::Started:
        return L"started";
    case ProductStart::NotStarted:
        return L"not-started";
    case ProductStart::None:
        break;
    }
    return L"none";
}

const wchar_t* EndingText(RunEnding ending) noexcept
{
    switch (ending) {
    case RunEnding::Session:
        return L"session";
    case RunEnding::Closed:
        return L"closed";
    case RunEnding::Normally:
        break;
    }
    return L"normally";
}

std::wstring HoldersText(const std::vector<Holder>& holders)
{
    std::wstring text;
    for (const Holder& holder : holders) {
        if (!text.empty())
            text += L", ";
        text += holder.name.empty() ? L"?" : holder.name;
        text += L" (" + std::to_wstring(holder.processId) + L")";
    }
    return text;
}

}  // namespace

std::wstring StayedLine(const StayedFolder& stayed)
{
    return L"stayed\t" + Field(stayed.folder) + L"\t" + Field(stayed.entry) + L"\t" + std::to_wstring(stayed.code) +
           L"\t" + Field(stayed.reason) + L"\t" + Field(HoldersText(stayed.holders)) + L"\t" + Field(stayed.advice) +
           L"\r\n";
}

std::wstring DetailLine(const StayedFolder& stayed)
{
    std::wstring entry = stayed.entry;
    const std::wstring below = stayed.folder + L"\\";
    if (entry.size() > below.size() && entry.compare(0, below.size(), below) == 0)
        entry.erase(0, below.size());
    else if (entry.empty() || entry == stayed.folder)
        entry = stayed.isKey ? L"the key itself" : L"the folder itself";
    std::wstring reason = Field(stayed.reason);
    if (!reason.empty() && reason.back() == L'.')
        reason.pop_back();
    std::wstring line = L"\t\t" + Field(entry) + L": " + reason;
    if (!stayed.holders.empty())
        line += L", held by " + Field(HoldersText(stayed.holders));
    if (!stayed.advice.empty())
        line += L"; " + Field(stayed.advice);
    return line + L".";
}

std::wstring SummaryLine(const RunSummary& summary)
{
    return L"end\tremoved=" + std::to_wstring(summary.removed) + L"\tstayed=" + std::to_wstring(summary.stayed) +
           L"\tregistry=" + RegistryText(summary.registry) + L"\tproduct=" + ProductText(summary.product) +
           L"\texit=" + std::to_wstring(summary.exitCode) + L"\tproduct-code=" + std::to_wstring(summary.productCode) +
           L"\tended=" + EndingText(summary.ending) + L"\r\n";
}

std::wstring FillInserts(const std::wstring& text, const std::wstring& insert)
{
    std::wstring filled;
    filled.reserve(text.size() + insert.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] >= L'1' && text[i + 1] <= L'9') {
            ++i;
            while (i + 1 < text.size() && text[i + 1] >= L'0' && text[i + 1] <= L'9')
                ++i;
            filled += insert;
        } else {
            filled.push_back(text[i]);
        }
    }
    return filled;
}

std::wstring ProductLine(const std::wstring& productExePath, unsigned long code, const std::wstring& reason)
{
    return L"product\t" + Field(productExePath) + L"\t" + std::to_wstring(code) + L"\t" + Field(reason) + L"\r\n";
}

std::wstring ProductStartReason(unsigned long code, const std::wstring& systemText)
{
    constexpr unsigned long kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED
    return code == kElevationRequired ? L"the product asks to be run as administrator" : systemText;
}

}  // namespace cleaner
