// src/app/ReportLines.h
// The lines a run writes for a caller that gave it a standard error handle:
// one per top folder that stayed, and one at the end. The layout is stable,
// for scripts: fields separated by tabs (which no path can hold), lines
// ended by CR LF. Portable.
#pragma once

#include <string>

namespace cleaner {

// "stayed", the top folder, the first entry that would not go, the system's
// error code (0 when the reason is none of the system's) and the reason.
struct StayedFolder {
    std::wstring folder;
    std::wstring entry;
    unsigned long code = 0;
    std::wstring reason;
};
std::wstring StayedLine(const StayedFolder& stayed);

enum class ProductStart { None, Started, NotStarted };

// "end" with removed=N, stayed=N, registry=cleaned|untouched,
// product=none|started|not-started and exit=N.
struct RunSummary {
    int removed = 0;
    int stayed = 0;
    bool registryCleaned = false;
    ProductStart product = ProductStart::None;
    int exitCode = 0;
};
std::wstring SummaryLine(const RunSummary& summary);

}  // namespace cleaner
