// Times the cleaner's folder removal on identical trees, built anew for
// every measurement, against floors measured in the same run:
//   bare calls  DeleteFileW and RemoveDirectoryW over paths listed before
//               the clock starts: no listing, no checks;
//   rm -rf      the Unix side's own removal (under Wine only);
//   rd /s /q    the command interpreter's removal.
//
//   bench_folder_removal.exe [scratch-folder] [quick] [nested] [bare] [copies] [interleave] [count] [list]
//                            [repeats=N]
//
// "quick" leaves out the growth rows, "nested" all but the nested tree,
// "bare" the rm and rd floors (rd takes minutes where Wine is slow at it).
// "copies" (under Wine, with "bare") builds each tree once and copies it on
// the Unix side for every run, which takes a fraction of building it again:
// many more runs in the same time, for telling builds apart. "interleave"
// (implies "bare") times ours and the bare calls one top folder at a time,
// taking turns, and adds up; the flat tree then comes in 16 folders.
// "count" times nothing: it removes files and empty folders once each way,
// every removal between two named events, so that a Wine server log
// (WINEDEBUG=+server) tells the requests each costs (bench/run.sh count).
// "list" times a listing instead: the cleaner's own (the removal's walk,
// counting) against a bare walk that counts the same files and bytes with
// FindFirstFileExW (FindExInfoBasic, FIND_FIRST_EX_LARGE_FETCH), over one
// tree of 80,000 files that neither changes, taking turns: the median of
// the runs' ratios.
// Each figure is the best of N runs (3 unless told), the runs of the
// methods taken in turn; ours and the bare calls swap places every run.
#include "clean/TreeRemoval.h"
#include "app/CleanerApp.h"
#include "framework/Handle.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

double Seconds(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void WriteSmallFile(const std::wstring& path)
{
    fw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
    DWORD written = 0;
    if (file)
        ::WriteFile(file.get(), "cache entry\r\n", 13, &written, nullptr);
}

int BuildFlat(const std::wstring& root, int files)
{
    ::CreateDirectoryW(root.c_str(), nullptr);
    for (int i = 0; i < files; ++i)
        WriteSmallFile(root + L"\\entry" + std::to_wstring(i) + L".cache");
    return files;
}

// About 10,000 files like a product profile: a few wide cache folders, many
// small nested preference folders.
int BuildNested(const std::wstring& root)
{
    int count = 0;
    ::CreateDirectoryW(root.c_str(), nullptr);
    for (int a = 0; a < 4; ++a) {
        const std::wstring cache = root + L"\\Cache" + std::to_wstring(a);
        ::CreateDirectoryW(cache.c_str(), nullptr);
        for (int i = 0; i < 1500; ++i, ++count)
            WriteSmallFile(cache + L"\\blob" + std::to_wstring(i) + L".bin");
    }
    for (int p = 0; p < 40; ++p) {
        const std::wstring product = root + L"\\Product" + std::to_wstring(p);
        ::CreateDirectoryW(product.c_str(), nullptr);
        for (int v = 0; v < 10; ++v) {
            const std::wstring version = product + L"\\Version" + std::to_wstring(v);
            ::CreateDirectoryW(version.c_str(), nullptr);
            for (int i = 0; i < 10; ++i, ++count)
                WriteSmallFile(version + L"\\pref" + std::to_wstring(i) + L".xml");
        }
    }
    return count;
}

// "\\NAME" for each folder right inside the folder, in name order.
std::vector<std::wstring> TopFolders(const std::wstring& folder)
{
    std::vector<std::wstring> parts;
    for (const std::wstring& name : testing_support::ListNames(folder)) {
        if (testing_support::IsFolder(folder + L"\\" + name))
            parts.push_back(L"\\" + name);
    }
    std::sort(parts.begin(), parts.end());
    return parts;
}

// Every entry below the folder, each folder after its contents, the folder
// itself last.
void ListForRemoval(const std::wstring& folder, std::vector<std::pair<std::wstring, bool>>& out)
{
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ListForRemoval(folder + L"\\" + name, out);
            else
                out.emplace_back(folder + L"\\" + name, false);
        } while (::FindNextFileW(find.get(), &data));
    }
    out.emplace_back(folder, true);
}

double WaitForProcess(std::wstring line, const wchar_t* application = nullptr)
{
    return Seconds([&] {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (::CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process)) {
            fw::UniqueKernelHandle processHandle(process.hProcess);
            fw::UniqueKernelHandle threadHandle(process.hThread);
            ::WaitForSingleObject(processHandle.get(), INFINITE);
        }
    });
}

// Under Wine only: the Unix shell times itself and writes the nanoseconds
// into a file. Negative without Wine.
double TimeUnixRemoval(const std::wstring& tree, const std::wstring& scratch)
{
    const std::string unixTree = testing_support::UnixPath(tree);
    const std::wstring result = scratch + L"\\rm-result.txt";
    const std::string unixResult = testing_support::UnixPath(result);
    if (unixTree.empty() || unixResult.empty() ||
        !testing_support::RunUnixShell("s=$(date +%s%N); rm -rf '" + unixTree + "'; e=$(date +%s%N); echo $((e-s)) > '" +
                                           unixResult + "'",
                                       600000))
        return -1;
    const std::string nanoseconds = testing_support::ReadTextFile(result);
    ::DeleteFileW(result.c_str());
    return nanoseconds.empty() ? -1 : std::strtod(nanoseconds.c_str(), nullptr) / 1e9;
}

struct Row {
    double ours = 1e300;
    double bare = 1e300;
    double rm = 1e300;
    double rd = 1e300;
    bool complete = true;
};

struct Options {
    int repeats = 3;
    bool bareOnly = false;
    bool copies = false;
    bool interleave = false;
};

Row Measure(CCleanerApp& app, const std::wstring& scratch, const Options& options,
            const std::function<void(const std::wstring&)>& build)
{
    Row row;
    const int repeats = options.repeats;
    const bool bareOnly = options.bareOnly;
    const std::wstring original = scratch + L"\\original";
    const bool copies = options.copies && bareOnly && !testing_support::UnixPath(original).empty();
    if (copies)
        build(original);
    const auto quoted = [](const std::wstring& path) { return "'" + testing_support::UnixPath(path) + "'"; };
    for (int run = 0; run < repeats; ++run) {
        const std::wstring mine = scratch + L"\\ours";
        const std::wstring bare = scratch + L"\\bare";
        const std::wstring unix = scratch + L"\\rm";
        const std::wstring rd = scratch + L"\\rd";
        if (!copies) {
            build(mine);
            build(bare);
        } else if (!testing_support::RunUnixShell("cp -a " + quoted(original) + " " + quoted(mine) + " && cp -a " +
                                                      quoted(original) + " " + quoted(bare),
                                                  600000)) {
            row.complete = false;
        }
        if (!bareOnly) {
            build(unix);
            build(rd);
        }
        BOOL ok = TRUE;
        // Timed whole, or, interleaved, one top folder at a time: a shared
        // host that takes the processor away for seconds then slows both
        // sides alike, where whole trees timed one after the other catch
        // different stalls.
        std::vector<std::wstring> parts{L""};
        if (options.interleave)
            parts = TopFolders(bare);
        double ours = 0, bareCalls = 0;
        for (size_t i = 0; i < parts.size(); ++i) {
            std::vector<std::pair<std::wstring, bool>> entries;
            ListForRemoval(bare + parts[i], entries);
            const auto timeOurs = [&] { ours += Seconds([&] { app.RemoveProfileFolder(mine + parts[i], ok); }); };
            const auto timeBare = [&] {
                bareCalls += Seconds([&] {
                    for (const auto& entry : entries)
                        entry.second ? ::RemoveDirectoryW(entry.first.c_str()) : ::DeleteFileW(entry.first.c_str());
                });
            };
            // Whichever goes first right after the trees were built runs
            // slower under Wine (0.93 s for the bare calls second, 1.15 s
            // first, in one run), so the two take turns at going first.
            if ((static_cast<size_t>(run) + i) % 2 == 0) {
                timeOurs();
                timeBare();
            } else {
                timeBare();
                timeOurs();
            }
        }
        if (options.interleave) {
            app.RemoveProfileFolder(mine, ok);
            ::RemoveDirectoryW(bare.c_str());
        }
        row.ours = std::min(row.ours, ours);
        row.bare = std::min(row.bare, bareCalls);
        if (bareOnly) {
            row.rm = row.rd = -1;
            if (!ok || testing_support::Exists(mine) || testing_support::Exists(bare))
                row.complete = false;
            continue;
        }
        const double rm = TimeUnixRemoval(unix, scratch);
        row.rm = rm < 0 ? -1 : std::min(row.rm, rm);
        row.rd = std::min(row.rd, WaitForProcess(L"cmd /c rd /s /q \"" + rd + L"\""));
        if (!ok || testing_support::Exists(mine) || testing_support::Exists(bare) || testing_support::Exists(rd) ||
            (rm >= 0 && testing_support::Exists(unix)))
            row.complete = false;
    }
    if (copies && !testing_support::RunUnixShell("rm -rf " + quoted(original), 600000))
        row.complete = false;
    return row;
}

// Named events mark where a removal begins and ends in a server log.
void Marked(const std::wstring& name, const std::function<void()>& work)
{
    fw::UniqueKernelHandle begin(::CreateEventW(nullptr, TRUE, FALSE, (L"bench-begin-" + name).c_str()));
    work();
    fw::UniqueKernelHandle end(::CreateEventW(nullptr, TRUE, FALSE, (L"bench-end-" + name).c_str()));
}

void CountRequests(CCleanerApp& app, const std::wstring& scratch, int files, int folders)
{
    const auto buildFolders = [folders](const std::wstring& root) {
        ::CreateDirectoryW(root.c_str(), nullptr);
        for (int i = 0; i < folders; ++i)
            ::CreateDirectoryW((root + L"\\folder" + std::to_wstring(i)).c_str(), nullptr);
    };
    const auto bareLoop = [](const std::wstring& root) {
        std::vector<std::pair<std::wstring, bool>> entries;
        ListForRemoval(root, entries);
        return [entries] {
            for (const auto& entry : entries)
                entry.second ? ::RemoveDirectoryW(entry.first.c_str()) : ::DeleteFileW(entry.first.c_str());
        };
    };
    BOOL ok = TRUE;
    BuildFlat(scratch + L"\\ours-files", files);
    BuildFlat(scratch + L"\\bare-files", files);
    buildFolders(scratch + L"\\ours-folders");
    buildFolders(scratch + L"\\bare-folders");
    Marked(L"ours-files", [&] { app.RemoveProfileFolder(scratch + L"\\ours-files", ok); });
    Marked(L"bare-files", bareLoop(scratch + L"\\bare-files"));
    Marked(L"ours-folders", [&] { app.RemoveProfileFolder(scratch + L"\\ours-folders", ok); });
    Marked(L"bare-folders", bareLoop(scratch + L"\\bare-folders"));
    std::printf("removed %d files and %d empty folders each way%s\n", files, folders, ok ? "" : " (not all)");
}

// The floor a listing is held to: every file and its bytes, folder by
// folder, as the plainest walk finds them.
void BareWalk(const std::wstring& folder, cleaner::FolderCounts& counts)
{
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ++counts.folders;
            BareWalk(folder + L"\\" + name, counts);
        } else {
            ++counts.files;
            counts.bytes += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
    } while (::FindNextFileW(find.get(), &data));
}

// 80 folders of 1,000 files, made on the Unix side under Wine.
void CompareListings(const std::wstring& scratch, int repeats)
{
    const std::wstring tree = scratch + L"\\listed";
    ::CreateDirectoryW(tree.c_str(), nullptr);
    const std::string unixTree = testing_support::UnixPath(tree);
    bool built = !unixTree.empty() &&
                 testing_support::RunUnixShell("cd '" + unixTree + "' && for d in $(seq 80); do mkdir d$d && (cd d$d && "
                                               "seq 1000 | xargs touch && seq 100 | xargs -I{} sh -c 'echo data > {}');"
                                               " done",
                                               600000);
    for (int d = 1; !built && d <= 80; ++d) {
        const std::wstring folder = tree + L"\\d" + std::to_wstring(d);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 1; i <= 1000; ++i)
            WriteSmallFile(folder + L"\\" + std::to_wstring(i));
    }
    std::vector<double> ratios;
    double bestOurs = 1e300, bestBare = 1e300;
    cleaner::FolderCounts ours, bare;
    for (int run = 0; run < repeats; ++run) {
        cleaner::CTreeRemoval listing;
        bare = cleaner::FolderCounts();
        const auto timeOurs = [&] { return Seconds([&] { listing.ListTree(tree); }); };
        const auto timeBare = [&] { return Seconds([&] { BareWalk(tree, bare); }); };
        double o = 0, b = 0;
        if (run % 2 == 0) {
            o = timeOurs();
            b = timeBare();
        } else {
            b = timeBare();
            o = timeOurs();
        }
        ours = listing.Counted();
        ratios.push_back(o / b);
        bestOurs = std::min(bestOurs, o);
        bestBare = std::min(bestBare, b);
    }
    std::sort(ratios.begin(), ratios.end());
    // The listing counts the tree's own folder among its folders.
    const bool same = ours.files == bare.files && ours.bytes == bare.bytes && ours.folders == bare.folders + 1;
    std::printf("| listing | %llu | %.2f | %.2f | %.2f |%s\n", ours.files, bestOurs, bestBare,
                ratios[ratios.size() / 2], same ? "" : " (the counts differ)");
    std::fflush(stdout);
    if (!unixTree.empty())
        testing_support::RunUnixShell("rm -rf '" + unixTree + "'", 600000);
    else
        testing_support::RemoveTree(tree);
}

void Report(const char* name, int files, const Row& row)
{
    char rm[64] = "n/a | n/a";
    if (row.rm > 0)
        std::snprintf(rm, sizeof rm, "%.2f | %.2f", row.rm, row.ours / row.rm);
    char rd[32] = "n/a";
    if (row.rd > 0)
        std::snprintf(rd, sizeof rd, "%.2f", row.rd);
    std::printf("| %s | %d | %.2f | %.2f | %.2f | %s | %s |%s\n", name, files, row.ours, row.bare,
                row.ours / row.bare, rm, rd, row.complete ? "" : " (a tree was not removed completely)");
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring scratch = L"C:\\bench-scratch";
    bool quick = false;
    bool nestedOnly = false;
    bool requests = false;
    bool listing = false;
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"quick")
            quick = true;
        else if (argument == L"nested")
            nestedOnly = quick = true;
        else if (argument == L"bare")
            options.bareOnly = true;
        else if (argument == L"copies")
            options.copies = true;
        else if (argument == L"interleave")
            options.interleave = options.bareOnly = true;
        else if (argument == L"count")
            requests = true;
        else if (argument == L"list")
            listing = true;
        else if (argument.rfind(L"repeats=", 0) == 0)
            options.repeats = std::max(1, std::stoi(argument.substr(8)));
        else
            scratch = argument;
    }
    ::CreateDirectoryW(scratch.c_str(), nullptr);
    CCleanerApp app;
    if (requests) {
        CountRequests(app, scratch, 1000, 200);
        ::RemoveDirectoryW(scratch.c_str());
        return 0;
    }
    if (listing) {
        std::printf("| tree | files | ours, best (s) | bare walk, best (s) | ours / bare, median of %d runs |\n"
                    "|---|---:|---:|---:|---:|\n",
                    options.repeats);
        CompareListings(scratch, options.repeats);
        ::RemoveDirectoryW(scratch.c_str());
        return 0;
    }

    std::printf("cmd start-up alone: %.2f s (included in every rd figure); best of %d runs\n\n",
                WaitForProcess(L"cmd /c rem"), options.repeats);
    std::printf("| tree | files | ours (s) | bare calls (s) | ours / bare | rm -rf (s) | ours / rm | rd /s /q (s) |\n"
                "|---|---:|---:|---:|---:|---:|---:|---:|\n");

    int files = 0;
    if (!nestedOnly && options.interleave) {
        // Interleaving needs top folders: the same 8,000 files, in 16 wide folders.
        Report("flat in 16 folders of 500", 8000, Measure(app, scratch, options, [](const std::wstring& r) {
                   ::CreateDirectoryW(r.c_str(), nullptr);
                   for (int i = 0; i < 16; ++i)
                       BuildFlat(r + L"\\part" + std::to_wstring(i), 500);
               }));
    } else if (!nestedOnly) {
        Report("flat", 8000,
               Measure(app, scratch, options, [&](const std::wstring& r) { files = BuildFlat(r, 8000); }));
    }
    const Row nested = Measure(app, scratch, options, [&](const std::wstring& r) { files = BuildNested(r); });
    Report("profile-like nested (4 caches of 1,500 files, 400 folders of 10)", files, nested);
    if (!quick) {
        for (int count : {1000, 2000, 4000})
            Report("flat (growth)", count,
                   Measure(app, scratch, options, [count](const std::wstring& r) { BuildFlat(r, count); }));
    }
    ::RemoveDirectoryW(scratch.c_str());
    return 0;
}
