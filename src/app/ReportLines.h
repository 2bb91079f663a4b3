// src/app/ReportLines.h
// The lines a run writes for a caller that gave it a standard error handle:
// one per top folder that stayed, and one at the end. The layout is stable,
// for scripts: fields separated by tabs (which no path can hold), lines
// ended by CR LF. Portable.
#pragma once

#include "clean/RemovalRules.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cleaner {

// A program that holds the entry: "NAME (PID)".
struct Holder {
    std::wstring name;
    unsigned long processId = 0;
};

// "stayed", the top folder (or registry tree, "HKEY_...\\Software\\Velmora",
// or the shell folder that named no path), the first entry (or key) that
// would not go, the system's error code (0 when the reason is none of the
// system's), the reason, the programs that hold the entry ("NAME (PID)"
// joined by ", ", empty when nobody is named, always for a key) and what
// the user can do about it (often empty). Later fields only ever come
// after these.
struct StayedFolder {
    std::wstring folder;
    std::wstring entry;
    unsigned long code = 0;
    std::wstring reason;
    std::vector<Holder> holders;
    bool isKey = false;
    // What the user can do about it.
    std::wstring advice;
};
std::wstring StayedLine(const StayedFolder& stayed);

// The failure dialog's line under the folder's: indented, the entry below
// the folder, the reason and who holds it.
std::wstring DetailLine(const StayedFolder& stayed);

enum class ProductStart { None, Started, NotStarted };

enum class RegistryState { Untouched, Cleaned, Stayed };

// How the run came to its end: by itself, with the session (logoff,
// shutdown), or closed by another program while the session goes on (the
// Restart Manager, for an installer).
enum class RunEnding { Normally, Session, Closed };

// What the run was: a cleaning run, a re-registration, or a listing of
// what a run would remove, which removes nothing.
enum class RunKind { Clean, ReRegister, List };

// "end" with removed=N, stayed=N (top folders), registry=cleaned|untouched|
// stayed, product=none|started|not-started, exit=N, product-code=N (the
// product's exit code when it was started, the system's error when its
// start failed, else 0), ended=normally|session|closed (Windows ended the
// session, and the program with it, part-way; or closed the program for
// another one) and mode=clean|reregister|list. In a listing, removed= counts
// the top folders that would go.
struct RunSummary {
    int removed = 0;
    int stayed = 0;
    RegistryState registry = RegistryState::Untouched;
    ProductStart product = ProductStart::None;
    int exitCode = 0;
    unsigned long productCode = 0;
    RunEnding ending = RunEnding::Normally;
    RunKind mode = RunKind::Clean;
};
std::wstring SummaryLine(const RunSummary& summary);

// What a listing found: a top folder that would go (with its counts), one
// a keep option spares, a registry key that would go (the top of a
// subtree, named in full from its root), or a part that could not be read
// to the end.
struct ListedEntry {
    enum class Kind { Folder, Kept, Key, Unlisted };
    ListedEntry(Kind what, std::wstring where) : kind(what), path(std::move(where)) {}
    Kind kind;
    std::wstring path;
    FolderCounts counts;            // a folder's
    unsigned long long keys = 0;    // a key's, itself among them
    unsigned long long values = 0;
    std::wstring note;              // the keep option, or why it was not listed
    unsigned long code = 0;         // the system's error for a part not listed
};
// Its report line: "would-remove", the folder, files=N, folders=N, bytes=N;
// "would-keep", the folder, the option; "would-remove", the key, keys=N,
// values=N; "unlisted", the path, the error code (0 for the cleaner's own
// reason), the reason.
std::wstring ListingLine(const ListedEntry& entry);
// The listing dialog's text: totals at its head, then each entry with a
// line under it, numbers as the user's format writes them. registryKept:
// the run would leave the registry alone ("KeepRegistry").
std::wstring ListingText(const std::vector<ListedEntry>& entries, bool registryKept,
                         const std::function<std::wstring(unsigned long long)>& number);

// A system message's inserts ("%1", "%2" and on) filled with the one thing
// it speaks of; the system's text leaves them there when asked to ignore
// them, which it must be for want of their number.
std::wstring FillInserts(const std::wstring& text, const std::wstring& insert);

// A system message without the line end (and blanks) it comes with.
std::wstring WithoutLineEnd(std::wstring_view text);

// "product", the product's executable, the system's error and its text: a
// start of the product that the system refused. Written before the end line.
std::wstring ProductLine(const std::wstring& productExePath, unsigned long code, const std::wstring& reason);
// What the failed start's line says for the system's error: for 740 (the
// product's manifest asks for elevation) the product's own need, else the
// system's text.
std::wstring ProductStartReason(unsigned long code, const std::wstring& systemText);

}  // namespace cleaner
