#include "app/CommandLine.h"

#include <gtest/gtest.h>

using cleaner::CommandLine;
using cleaner::SplitCommandLine;

namespace {
const std::wstring kProgram = L"\"C:\\Tools\\Cleaner.exe\"";
}

TEST(CommandLineSplit, QuotedProgramPathAndSilentSwitch)
{
    const CommandLine c = SplitCommandLine(kProgram + L" /S");
    EXPECT_EQ(c.programPath, L"C:\\Tools\\Cleaner.exe");
    EXPECT_EQ(c.argumentText, L" /S");
    EXPECT_TRUE(c.silent);
    EXPECT_FALSE(c.reRegister);
    EXPECT_EQ(cleaner::SettingsPathFor(c.programPath, L"X:\\unused"), L"C:\\Tools\\Settings.ini");
}

TEST(CommandLineSplit, SilentSwitchInAnyCaseAndInsideWords)
{
    EXPECT_TRUE(SplitCommandLine(L"C:\\Tools\\Cleaner.exe -s").silent);
    EXPECT_EQ(SplitCommandLine(L"C:\\Tools\\Cleaner.exe -s").programPath, L"C:\\Tools\\Cleaner.exe");
    EXPECT_TRUE(SplitCommandLine(kProgram + L" /s").silent);
    EXPECT_TRUE(SplitCommandLine(kProgram + L" C:\\some-stuff").silent);   // "-S" inside a word
    EXPECT_TRUE(SplitCommandLine(kProgram + L" a/sb").silent);
    EXPECT_FALSE(SplitCommandLine(kProgram + L" /X -Q").silent);
    EXPECT_FALSE(SplitCommandLine(kProgram).silent);
    // The switch is looked for only in the argument text, not the program path.
    EXPECT_FALSE(SplitCommandLine(L"\"C:\\my-stuff\\Cleaner.exe\"").silent);
}

TEST(CommandLineSplit, QuotedProductArgumentTurnsOnReRegistration)
{
    const CommandLine c = SplitCommandLine(kProgram + L" \"C:\\Program Files\\Plandrel\\PLANDREL.EXE\"");
    EXPECT_TRUE(c.reRegister);
    EXPECT_FALSE(c.silent);
    EXPECT_EQ(c.productExePath, L"C:\\Program Files\\Plandrel\\PLANDREL.EXE");
}

TEST(CommandLineSplit, ProductArgumentIsOneItem)
{
    // Quotes stay when the trimmed text does not begin with one.
    const CommandLine quotedAfterSwitch = SplitCommandLine(kProgram + L" /S \"C:\\P\\Plandrel.exe\"");
    EXPECT_TRUE(quotedAfterSwitch.silent);
    EXPECT_FALSE(quotedAfterSwitch.reRegister);
    EXPECT_TRUE(quotedAfterSwitch.productExePath.empty());

    const CommandLine switchAfter = SplitCommandLine(kProgram + L" C:\\P\\Plandrel.exe /S");
    EXPECT_TRUE(switchAfter.silent);
    EXPECT_FALSE(switchAfter.reRegister);

    // A product argument overrides the switch and takes everything with it.
    const CommandLine switchBefore = SplitCommandLine(kProgram + L" /S C:\\P\\Plandrel.exe");
    EXPECT_TRUE(switchBefore.reRegister);
    EXPECT_FALSE(switchBefore.silent);
    EXPECT_EQ(switchBefore.productExePath, L"/S C:\\P\\Plandrel.exe");
}

TEST(CommandLineSplit, ProductNameNeedsAFolder)
{
    EXPECT_FALSE(SplitCommandLine(kProgram + L" Plandrel.exe").reRegister);
    EXPECT_FALSE(SplitCommandLine(kProgram + L" \"Plandrel.exe\"").reRegister);
    EXPECT_TRUE(SplitCommandLine(kProgram + L" \\Plandrel.exe").reRegister);
    // Forward slashes do not separate folders.
    EXPECT_FALSE(SplitCommandLine(kProgram + L" C:/P/Plandrel.exe").reRegister);
    EXPECT_FALSE(SplitCommandLine(kProgram + L" C:\\P\\Plandrel.exe.lnk").reRegister);
    EXPECT_FALSE(SplitCommandLine(kProgram + L" C:\\P\\XPlandrel.exe").reRegister);
}

TEST(CommandLineSplit, TrimmingAndQuotesAroundTheProductPath)
{
    const CommandLine c = SplitCommandLine(kProgram + L" \t \"C:\\P Q\\plandrel.EXE\" \r\n");
    EXPECT_TRUE(c.reRegister);
    EXPECT_EQ(c.productExePath, L"C:\\P Q\\plandrel.EXE");
    // Only one quote at each end goes.
    const CommandLine doubled = SplitCommandLine(kProgram + L" \"\"C:\\P\\Plandrel.exe\"\"");
    EXPECT_FALSE(doubled.reRegister);
}

TEST(CommandLineSplit, UnquotedProgramPathEndsAtFirstBlankOrTab)
{
    const CommandLine blank = SplitCommandLine(L"C:\\Program Files\\Cleaner.exe");
    EXPECT_EQ(blank.programPath, L"C:\\Program");
    EXPECT_EQ(blank.argumentText, L"Files\\Cleaner.exe");

    const CommandLine tab = SplitCommandLine(L"C:\\T\\Cleaner.exe\t  /S");
    EXPECT_EQ(tab.programPath, L"C:\\T\\Cleaner.exe");
    EXPECT_EQ(tab.argumentText, L"  /S");
    EXPECT_TRUE(tab.silent);
}

TEST(CommandLineSplit, OddLines)
{
    const CommandLine empty = SplitCommandLine(L"");
    EXPECT_TRUE(empty.programPath.empty());
    EXPECT_TRUE(empty.argumentText.empty());
    EXPECT_FALSE(empty.silent);

    // An opening quote without a closing one: the whole line is argument text.
    const CommandLine quote = SplitCommandLine(L"\"");
    EXPECT_TRUE(quote.programPath.empty());
    EXPECT_EQ(quote.argumentText, L"\"");
    EXPECT_FALSE(quote.reRegister);

    const CommandLine unclosed = SplitCommandLine(L"\"C:\\T\\Cleaner.exe /S");
    EXPECT_TRUE(unclosed.programPath.empty());
    EXPECT_TRUE(unclosed.silent);

    const CommandLine emptyQuotes = SplitCommandLine(L"\"\" /S");
    EXPECT_TRUE(emptyQuotes.programPath.empty());
    EXPECT_TRUE(emptyQuotes.silent);

    // A trailing backslash names no product file.
    const CommandLine trailing = SplitCommandLine(kProgram + L" C:\\P\\");
    EXPECT_FALSE(trailing.reRegister);

    std::wstring longLine = kProgram + L" \"C:\\" + std::wstring(40000, L'a') + L"\\Plandrel.exe\"";
    const CommandLine longer = SplitCommandLine(longLine);
    EXPECT_TRUE(longer.reRegister);
    EXPECT_EQ(longer.productExePath.size(), 40000u + 16u);
}

TEST(SettingsPath, CutAtTheProgramPathsLastBackslash)
{
    EXPECT_EQ(cleaner::SettingsPathFor(L"C:\\A\\B\\Cleaner.exe", L"M:"), L"C:\\A\\B\\Settings.ini");
    // A relative program path gives a relative settings path.
    EXPECT_EQ(cleaner::SettingsPathFor(L"tools\\Cleaner.exe", L"M:"), L"tools\\Settings.ini");
    EXPECT_EQ(cleaner::SettingsPathFor(L"\\Cleaner.exe", L"M:"), L"\\Settings.ini");
    // Without a folder, the running executable's folder holds the file.
    EXPECT_EQ(cleaner::SettingsPathFor(L"Cleaner.exe", L"C:\\Run Here"), L"C:\\Run Here\\Settings.ini");
    EXPECT_EQ(cleaner::SettingsPathFor(L"", L"C:\\Run Here"), L"C:\\Run Here\\Settings.ini");
}

TEST(ProductExecutablePath, NameRule)
{
    EXPECT_TRUE(cleaner::IsProductExecutablePath(L"C:\\x\\PLANDREL.EXE"));
    EXPECT_TRUE(cleaner::IsProductExecutablePath(L"C:\\x\\plandrel.exe"));
    EXPECT_FALSE(cleaner::IsProductExecutablePath(L"C:\\x\\Plandrel.exe "));
    EXPECT_FALSE(cleaner::IsProductExecutablePath(L"C:\\x\\Plandrel.exe.lnk"));
    EXPECT_FALSE(cleaner::IsProductExecutablePath(L"Plandrel.exe"));
    EXPECT_FALSE(cleaner::IsProductExecutablePath(L"C:\\Plandrel.exe\\"));
    // Folding is ASCII only: a dotless capital I is not an "i".
    EXPECT_FALSE(cleaner::IsProductExecutablePath(L"C:\\x\\Plandrel.ex\u0130"));
}

TEST(CommandLineSplit, ListSwitchIsAWholeWordAndLeavesTheRestAsItIs)
{
    struct Case {
        std::wstring arguments;
        bool list, silent, reRegister;
    };
    for (const Case& c : {Case{L" /L", true, false, false}, Case{L" -l", true, false, false},
                          Case{L"\t/s\t/l ", true, true, false},
                          // The rest still chooses the run whose removal is listed.
                          Case{L" \"C:\\P\\Plandrel.exe\" /L", true, false, false},
                          Case{L" /L C:\\P\\Plandrel.exe", true, false, true},
                          Case{L" \"/L\"", false, false, false}, Case{L" C:/Lab", false, false, false},
                          Case{L" /L/S", false, true, false}}) {
        const CommandLine line = SplitCommandLine(kProgram + c.arguments);
        EXPECT_EQ(line.list, c.list) << "[" << std::string(c.arguments.begin(), c.arguments.end()) << "]";
        EXPECT_EQ(line.silent, c.silent) << std::string(c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(line.reRegister, c.reRegister) << std::string(c.arguments.begin(), c.arguments.end());
    }
    // "/L" inside the program path is no switch.
    EXPECT_FALSE(SplitCommandLine(L"\"C:\\Tools /L\\Cleaner.exe\"").list);
}
