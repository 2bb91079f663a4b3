// Invariants of the command-line split for any input: it never crashes, a
// product argument always turns silent mode off, and the settings file is
// always named "Settings.ini".
#include "app/CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
constexpr std::wstring_view kSettingsName = L"\\Settings.ini";

void Require(bool condition)
{
    if (!condition)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Two bytes a UTF-16 unit, as the platform hands the line over.
    std::wstring line;
    for (size_t i = 0; i + 1 < size; i += 2)
        line.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));

    const cleaner::CommandLine split = cleaner::SplitCommandLine(line);
    if (split.reRegister) {
        Require(!split.silent);
        Require(cleaner::IsProductExecutablePath(split.productExePath));
        Require(line.find(split.productExePath) != std::wstring::npos);
    } else {
        Require(split.productExePath.empty());
    }
    Require(split.programPath.size() + split.argumentText.size() <= line.size());

    const std::wstring settings = cleaner::SettingsPathFor(split.programPath, L"C:\\Module");
    Require(settings.size() >= kSettingsName.size());
    Require(settings.compare(settings.size() - kSettingsName.size(), kSettingsName.size(), kSettingsName) == 0);
    return 0;
}
