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

}  // namespace

std::wstring StayedLine(const StayedFolder& stayed)
{
    return L"stayed\t" + Field(stayed.folder) + L"\t" + Field(stayed.entry) + L"\t" + std::to_wstring(stayed.code) +
           L"\t" + Field(stayed.reason) + L"\r\n";
}

std::wstring SummaryLine(const RunSummary& summary)
{
    return L"end\tremoved=" + std::to_wstring(summary.removed) + L"\tstayed=" + std::to_wstring(summary.stayed) +
           L"\tregistry=" + (summary.registryCleaned ? L"cleaned" : L"untouched") + L"\tproduct=" +
           ProductText(summary.product) + L"\texit=" + std::to_wstring(summary.exitCode) + L"\r\n";
}

}  // namespace cleaner
