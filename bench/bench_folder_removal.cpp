// Times the cleaner's folder removal against Wine's (or Windows') own
// "cmd /c rd /s /q" on identical trees, built anew for every measurement.
//
//   bench_folder_removal.exe [scratch-folder] [quick]
//
// "quick" leaves out the growth rows.
//
// Prints one table row per tree. The cmd start-up time is measured on its own
// ("cmd /c rem") and reported, so that it can be told apart from the removal.
#include "app/CleanerApp.h"
#include "framework/Handle.h"

#include <cstdio>
#include <functional>
#include <string>

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

void BuildFlat(const std::wstring& root, int files)
{
    ::CreateDirectoryW(root.c_str(), nullptr);
    for (int i = 0; i < files; ++i)
        WriteSmallFile(root + L"\\entry" + std::to_wstring(i) + L".cache");
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

double RunCmd(const std::wstring& arguments)
{
    std::wstring line = L"cmd /c " + arguments;
    return Seconds([&] {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            fw::UniqueKernelHandle processHandle(process.hProcess);
            fw::UniqueKernelHandle threadHandle(process.hThread);
            ::WaitForSingleObject(processHandle.get(), INFINITE);
        }
    });
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Row {
    double ours;
    double rd;
};

Row Measure(CCleanerApp& app, const std::wstring& scratch, const std::function<void(const std::wstring&)>& build)
{
    const std::wstring mine = scratch + L"\\ours";
    const std::wstring theirs = scratch + L"\\theirs";
    build(mine);
    build(theirs);
    Row row{};
    BOOL ok = TRUE;
    row.ours = Seconds([&] { app.RemoveProfileFolder(mine, ok); });
    row.rd = RunCmd(L"rd /s /q \"" + theirs + L"\"");
    if (!ok || Exists(mine) || Exists(theirs))
        std::printf("  (warning: a tree was not removed completely)\n");
    return row;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring scratch = L"C:\\bench-scratch";
    if (argc > 1)
        scratch = argv[1];
    ::CreateDirectoryW(scratch.c_str(), nullptr);
    CCleanerApp app;

    const double cmdStart = RunCmd(L"rem");
    std::printf("cmd start-up alone: %.2f s (included in every rd figure below)\n\n", cmdStart);
    std::printf("| tree | files | ours (s) | rd /s /q (s) | ours / rd |\n|---|---:|---:|---:|---:|\n");

    const auto report = [](const char* name, int files, const Row& row) {
        std::printf("| %s | %d | %.2f | %.2f | %.3f |\n", name, files, row.ours, row.rd, row.ours / row.rd);
        std::fflush(stdout);
    };

    report("flat", 8000, Measure(app, scratch, [](const std::wstring& r) { BuildFlat(r, 8000); }));
    int nestedFiles = 0;
    const Row nested = Measure(app, scratch, [&](const std::wstring& r) { nestedFiles = BuildNested(r); });
    report("profile-like nested", nestedFiles, nested);
    if (argc > 2 && std::wstring(argv[2]) == L"quick")
        return 0;
    for (int files : {1000, 2000, 4000, 8000, 16000})
        report("flat (growth)", files, Measure(app, scratch, [files](const std::wstring& r) { BuildFlat(r, files); }));

    ::RemoveDirectoryW(scratch.c_str());
    return 0;
}
