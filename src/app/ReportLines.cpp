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

const wchar_t* ModeText(RunKind mode) noexcept
{
    switch (mode) {
    case RunKind::ReRegister:
        return L"reregister";
    case RunKind::List:
        return L"list";
    case RunKind::Clean:
        break;
    }
    return L"clean";
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
           L"\tended=" + EndingText(summary.ending) + L"\tmode=" + ModeText(summary.mode) + L"\r\n";
}

std::wstring ListingLine(const ListedEntry& entry)
{
    switch (entry.kind) {
    case ListedEntry::Kind::Folder:
        return L"would-remove\t" + Field(entry.path) + L"\tfiles=" + std::to_wstring(entry.counts.files) +
               L"\tfolders=" + std::to_wstring(entry.counts.folders) + L"\tbytes=" +
               std::to_wstring(entry.counts.bytes) + L"\r\n";
    case ListedEntry::Kind::Kept:
        return L"would-keep\t" + Field(entry.path) + L"\t" + Field(entry.note) + L"\r\n";
    case ListedEntry::Kind::Key:
        return L"would-remove\t" + Field(entry.path) + L"\tkeys=" + std::to_wstring(entry.keys) + L"\tvalues=" +
               std::to_wstring(entry.values) + L"\r\n";
    case ListedEntry::Kind::Unlisted:
        break;
    }
    return L"unlisted\t" + Field(entry.path) + L"\t" + std::to_wstring(entry.code) + L"\t" + Field(entry.note) +
           L"\r\n";
}

std::wstring ListingText(const std::vector<ListedEntry>& entries, bool registryKept,
                         const std::function<std::wstring(unsigned long long)>& number)
{
    const auto count = [&](unsigned long long n, const wchar_t* one, const wchar_t* many) {
        return number(n) + L" " + (n == 1 ? one : many);
    };
    FolderCounts in;
    unsigned long long folders = 0, keys = 0, values = 0, kept = 0, unlisted = 0;
    std::wstring list;
    for (const ListedEntry& entry : entries) {
        std::wstring detail;
        switch (entry.kind) {
        case ListedEntry::Kind::Folder:
            ++folders;
            in.files += entry.counts.files;
            in.folders += entry.counts.folders;
            in.bytes += entry.counts.bytes;
            detail = count(entry.counts.files, L"file", L"files") + L", " +
                     count(entry.counts.folders, L"folder", L"folders") + L", " +
                     count(entry.counts.bytes, L"byte", L"bytes");
            break;
        case ListedEntry::Kind::Kept:
            ++kept;
            detail = L"kept: " + entry.note;
            break;
        case ListedEntry::Kind::Key:
            keys += entry.keys;
            values += entry.values;
            detail = count(entry.keys, L"key", L"keys") + L", " + count(entry.values, L"value", L"values");
            break;
        case ListedEntry::Kind::Unlisted:
            ++unlisted;
            detail = L"not listed to the end: " + Field(entry.note);
            break;
        }
        list += L"\t" + entry.path + L"\n\t\t" + detail + L"\n";
    }
    std::wstring head = L"Nothing was removed. A cleaning run would remove " + count(in.files, L"file", L"files") +
                        L" and " + count(in.folders, L"folder", L"folders") + L" (" +
                        count(in.bytes, L"byte", L"bytes") + L") in " +
                        count(folders, L"profile folder", L"profile folders") +
                        (registryKept ? L", and leave the registry alone (KeepRegistry)."
                                      : L", and " + count(keys, L"registry key", L"registry keys") + L" with " +
                                            count(values, L"value", L"values") + L".");
    if (kept > 0)
        head += L" " + count(kept, L"folder is", L"folders are") + L" kept by a keep option.";
    if (unlisted > 0)
        head += L" " + count(unlisted, L"part", L"parts") + L" could not be listed to the end.";
    return head + L"\n\n" + list;
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

std::wstring WithoutLineEnd(std::wstring_view text)
{
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.remove_suffix(1);
    return std::wstring(text);
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
