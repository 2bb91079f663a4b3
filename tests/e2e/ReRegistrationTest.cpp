// The real program given the product stand-in's path: clean with the
// registry, start the product with "/REGSERVER", clean the folders again,
// and end with the developer settings dialog.
#include "res/resource.h"
#include "support/TestFiles.h"
#include "support/TestProfile.h"
#include "support/TestRegistry.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

const std::wstring kDialogCaption = L"Set Velmora Registry";
const std::wstring kMaker = L"Software\\Velmora";

class ReRegistration : public ::testing::Test {
protected:
    InstalledCleaner cleaner;
    TempFolder scratch;

    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }

    static void Clear()
    {
        for (int step = 1; step <= 8; ++step)
            RemoveTree(TargetFolder(step));
        DeleteKeyTree(HKEY_CURRENT_USER, kMaker);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kMaker);
    }

    // A product folder holding the stand-in as Plandrel.exe and a version file.
    std::wstring MakeProduct(const std::wstring& folder, const std::string& versionXml)
    {
        MakeFolders(folder);
        const std::wstring exe = folder + L"\\Plandrel.exe";
        EXPECT_TRUE(::CopyFileW((ProgramFolder() + L"\\plandrel_standin.exe").c_str(), exe.c_str(), FALSE));
        WriteTextFile(folder + L"\\ProductVersion.xml", versionXml);
        return exe;
    }

    static void SeedProfile()
    {
        for (int step = 1; step <= 6; ++step)
            WriteTextFile(TargetFolder(step) + L"\\old\\cache.bin", "old");
        CreateKey(HKEY_CURRENT_USER, kMaker + L"\\Plandrel\\Plandrel 11.0 OLD");
        CreateKey(HKEY_CURRENT_USER, kMaker + L"\\EventLogger\\General");
        CreateKey(HKEY_LOCAL_MACHINE, kMaker + L"\\Lumetra\\3.0");
    }

    // A re-registration whose product this test holds until it writes
    // "go.txt" in the product's folder, its report in errors.
    std::wstring heldFolder = scratch / L"P";
    ErrorFile heldErrors;
    std::unique_ptr<StartedProcess> heldRun;

    // Starts it; the progress window once it shows the wait, or null.
    HWND StartHeldAtTheProductWait()
    {
        SeedProfile();
        const std::wstring exe = MakeProduct(heldFolder, "<prefspostfix>12.0.0 INT R1</prefspostfix>");
        WriteTextFile(heldFolder + L"\\hold.txt", "");
        heldRun = std::make_unique<StartedProcess>(L"\"" + cleaner.ExePath() + L"\" \"" + exe + L"\"", std::wstring(),
                                                   heldErrors.Handle());
        HWND progress = WaitForDialog(L"Velmora Registry Cleaner at work", IDC_PROGRESS_ACTION, 60000);
        for (int i = 0; progress && i < 600 && ForeignControlText(progress, IDC_PROGRESS_ACTION).find(L"Waiting") != 0;
             ++i)
            ::Sleep(100);
        if (!progress || ForeignControlText(progress, IDC_PROGRESS_ACTION) != L"Waiting for Plandrel.exe to register itself.")
            return nullptr;
        return progress;
    }

    static std::string StartedLines(const std::wstring& productExe)
    {
        return ReadTextFile(productExe.substr(0, productExe.rfind(L'\\')) + L"\\started.txt");
    }

    // Runs the program to its developer dialog, presses Set and Exit, and
    // returns the exit code; the checks on the way are the caller's.
    void RunToDialogAndSet(const std::wstring& arguments, const std::wstring& versionKey, DWORD expectedExit,
                           HANDLE standardError = nullptr)
    {
        StartedProcess run(L"\"" + cleaner.ExePath() + L"\" " + arguments, {}, standardError);
        ASSERT_TRUE(run.Started());
        HWND dialog = WaitForDialog(kDialogCaption, IDC_STATUS_LINE);
        ASSERT_NE(dialog, nullptr) << "the developer dialog did not appear";
        EXPECT_EQ(ForeignControlText(dialog, IDC_REGISTRY_CLEANED), L"PL Registry Cleaned.");
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDOK)));
        // Nothing of the cleaner's second run touched the product's keys.
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, versionKey));
        ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        for (int i = 0; i < 100 && ForeignControlText(dialog, IDC_STATUS_LINE).empty(); ++i)
            ::Sleep(50);
        EXPECT_EQ(ForeignControlText(dialog, IDC_STATUS_LINE), L"PL Registry successfully set.");
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, versionKey, L"Special Menu"));
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, versionKey + L"\\Publisher\\Advanced", L"QuilloProEnable"));
        EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kMaker + L"\\QuilloUploader\\Advanced", L"QuilloProEnable"));
        ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(run.Wait(30000, exitCode));
        EXPECT_EQ(exitCode, expectedExit);
    }
};

}  // namespace

TEST_F(ReRegistration, ProductPathWithBlanksIsRegisteredBetweenTwoCleaningRuns)
{
    SeedProfile();
    const std::wstring exe = MakeProduct(scratch / L"Plandrel Build 12", "<v><prefspostfix>12.0.0 INT R1</prefspostfix></v>");
    const std::wstring versionKey = kMaker + L"\\Plandrel\\Plandrel 12.0.0 INT R1";

    ErrorFile errors;
    RunToDialogAndSet(L"\"" + exe + L"\"", versionKey, 0, errors.Handle());
    EXPECT_EQ(errors.Text(), "end\tremoved=7\tstayed=0\tregistry=cleaned\tproduct=started\texit=0\tproduct-code=0\tended=normally\tmode=reregister\r\n")
        << "six seeded folders in the first run, the product's new cache in the second";

    // Started once, with its quoted path and "/REGSERVER".
    EXPECT_EQ(StartedLines(exe), "\"" + Narrow(exe) + "\" /REGSERVER\n");
    // The first run cleaned the registry; the second removed what the
    // product left in the profile and kept its keys.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMaker + L"\\Plandrel\\Plandrel 11.0 OLD"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMaker + L"\\Lumetra"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kMaker + L"\\EventLogger\\General")) << "KeepSNFindOutMore defaults to on";
    for (int step = 1; step <= 6; ++step)
        EXPECT_FALSE(Exists(TargetFolder(step))) << "step " << step;
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, versionKey, L"InstallDir"));
}

TEST_F(ReRegistration, LongProductPathIsStartedWithItsWholeCommandLine)
{
    // The executable's path is 255 characters long; its version file's path
    // is longer than MAX_PATH.
    std::wstring folder = scratch.Path();
    while (folder.size() + 17 + 13 + 20 < 255)
        folder += L"\\long-folder-name";
    folder += L"\\" + std::wstring(255 - 13 - folder.size() - 1, L'x');
    const std::wstring exe =
        MakeProduct(folder, "<prefspostfix>12.0.0 INT R1</prefspostfix><platform>WIN64</platform>");
    ASSERT_EQ(exe.size(), 255u);

    RunToDialogAndSet(L"\"" + exe + L"\"", kMaker + L"\\Plandrel-64\\Plandrel-64 12.0.0 INT R1", 0);
    EXPECT_EQ(StartedLines(exe), "\"" + Narrow(exe) + "\" /REGSERVER\n");
}

TEST_F(ReRegistration, AProductThatCannotBeStartedEndsWithExitCodeThree)
{
    // The unquoted "/S" form makes the whole argument text the product path,
    // which names no file; the run is not silent all the same. A path that
    // does not exist, a file that is no program, and a path holding a quote
    // cannot be started either. The system's refusal is told with its
    // error; a path with a quote is never offered to the system.
    const std::wstring exe = MakeProduct(scratch / L"P", "<prefspostfix>1</prefspostfix>");
    const std::wstring notAProgram = scratch / L"Text\\Plandrel.exe";
    WriteTextFile(notAProgram, "not a program");
    struct Case {
        std::wstring arguments;
        bool offered;  // to the system, which refuses it
        DWORD error;   // 0: whichever error the system gives
    };
    for (const Case& start : {Case{L"/S " + exe, true, 0},
                              Case{L"\"" + scratch / L"Missing\\Plandrel.exe" + L"\"", true, 0},
                              Case{L"\"" + notAProgram + L"\"", true, ERROR_BAD_EXE_FORMAT},
                              Case{L"\"" + scratch / L"P\"x\\Plandrel.exe" + L"\"", false, 0}}) {
        SeedProfile();
        ErrorFile errors;
        StartedProcess run(L"\"" + cleaner.ExePath() + L"\" " + start.arguments, {}, errors.Handle());
        HWND dialog = WaitForDialog(kDialogCaption, IDC_STATUS_LINE);
        ASSERT_NE(dialog, nullptr) << "a product argument overrides /S";
        // The cleaning went well; the line on the new entries says why there
        // are none, the system's text filled in.
        EXPECT_EQ(ForeignControlText(dialog, IDC_REGISTRY_CLEANED), L"PL Registry Cleaned.");
        const std::wstring why = ForeignControlText(dialog, IDC_ENTRIES_CREATED);
        EXPECT_EQ(why.compare(0, 28, L"Plandrel.exe did not start: "), 0) << Narrow(why);
        EXPECT_EQ(why.find(L"%1"), std::wstring::npos) << Narrow(why);
        if (start.error == ERROR_BAD_EXE_FORMAT) {
            EXPECT_NE(why.find(L"Plandrel.exe", 28), std::wstring::npos) << Narrow(why);
        }
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDOK)));
        ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(run.Wait(30000, exitCode));
        EXPECT_EQ(exitCode, 3u) << Narrow(start.arguments);
        const std::string text = errors.Text();
        const std::string end = "end\tremoved=6\tstayed=0\tregistry=cleaned\tproduct=not-started\texit=3\tproduct-code=";
        const size_t endAt = text.find(end);
        ASSERT_NE(endAt, std::string::npos) << text;
        const unsigned long code = std::stoul(text.substr(endAt + end.size()));
        EXPECT_EQ(text.substr(text.find('\t', endAt + end.size())), "\tended=normally\tmode=reregister\r\n");
        if (!start.offered) {
            EXPECT_EQ(code, 0u);
            EXPECT_EQ(endAt, 0u) << "no product line: " << text;
        } else {
            // "product", the path, the error and its text, then the end line.
            EXPECT_NE(code, 0u) << text;
            if (start.error != 0) {
                EXPECT_EQ(code, start.error);
            }
            EXPECT_EQ(text.compare(0, 8, "product\t"), 0) << text;
            EXPECT_EQ(text.find("%1"), std::string::npos) << "the system's text filled in: " << text;
            EXPECT_NE(text.find("\t" + std::to_string(code) + "\t"), std::string::npos) << text;
            EXPECT_EQ(text.find("\r\n") + 2, endAt) << "one product line, then the end line: " << text;
        }
        // The run cleaned as usual.
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMaker + L"\\Plandrel\\Plandrel 11.0 OLD"));
        EXPECT_FALSE(Exists(TargetFolder(1)));
    }
    EXPECT_EQ(StartedLines(exe), "");
}

// A build kept in a folder the run removes (a per-user install, a
// developer's copy under %LOCALAPPDATA%\Velmora) would be deleted file by
// file and then fail to start: it is refused before anything goes, also
// when its path leads there through a link.
TEST_F(ReRegistration, AProductInAFolderTheRunRemovesIsRefusedBeforeAnythingGoes)
{
    SeedProfile();
    const std::wstring inside = TargetFolder(1) + L"\\Builds\\17";
    MakeProduct(inside, "<prefspostfix>17.0.0</prefspostfix>");
    const std::wstring link = scratch / L"builds";
    ASSERT_TRUE(LinkFolder(link, inside));
    for (const std::wstring& exe : {inside + L"\\Plandrel.exe", link + L"\\Plandrel.exe"}) {
        ErrorFile errors;
        StartedProcess run(L"\"" + cleaner.ExePath() + L"\" \"" + exe + L"\"", {}, errors.Handle());
        HWND box = WaitForDialog(L"VelmoraRegistryCleaner", 0xFFFF);
        ASSERT_NE(box, nullptr) << "no message box for " << Narrow(exe);
        const std::wstring text = ForeignControlText(box, 0xFFFF);
        EXPECT_NE(text.find(exe), std::wstring::npos) << Narrow(text);
        EXPECT_NE(text.find(L"\n" + TargetFolder(1) + L"\n"), std::wstring::npos) << Narrow(text);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(run.Wait(30000, exitCode));
        EXPECT_EQ(exitCode, 3u);
        EXPECT_EQ(errors.Text(), "product\t" + Narrow(exe) + "\t0\tit lies in " + Narrow(TargetFolder(1)) +
                                     ", which the cleaning removes\r\nend\tremoved=0\tstayed=0\tregistry=untouched\t"
                                     "product=not-started\texit=3\tproduct-code=0\tended=normally\tmode=reregister\r\n");
        EXPECT_FALSE(Exists(inside + L"\\started.txt")) << "never started";
        for (int step = 1; step <= 6; ++step)
            EXPECT_TRUE(Exists(TargetFolder(step) + L"\\old\\cache.bin")) << "step " << step;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kMaker + L"\\Plandrel\\Plandrel 11.0 OLD"));
    }
    RemoveFolderLink(link);
}

TEST_F(ReRegistration, LockedFileInTheFirstRunMeansTheProductIsNeverStarted)
{
    SeedProfile();
    const std::wstring exe = MakeProduct(scratch / L"P", "<prefspostfix>12.0.0 INT R1</prefspostfix>");
    const std::wstring lockedPath = TargetFolder(1) + L"\\old\\in-use.db";
    WriteTextFile(lockedPath, "busy");
    LockedFile lock(lockedPath);
    ASSERT_TRUE(lock.IsLocked());

    StartedProcess run(L"\"" + cleaner.ExePath() + L"\" \"" + exe + L"\"");
    HWND dialog = WaitForDialog(kDialogCaption, IDC_STATUS_LINE);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ForeignControlText(dialog, IDC_REGISTRY_CLEANED), L"Cleaning not complete.");
    EXPECT_EQ(ForeignControlText(dialog, IDC_ENTRIES_CREATED), L"");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDOK)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_SPECIAL_MENU)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDCANCEL)));
    EXPECT_EQ(StartedLines(exe), "") << "the product is never started";
    ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(run.Wait(30000, exitCode));
    EXPECT_EQ(exitCode, 1u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMaker + L"\\Plandrel\\Plandrel 11.0 OLD")) << "the registry was cleaned";
}

namespace {

ULONGLONG ProcessCpuMs(DWORD processId)
{
    const fw::UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    FILETIME created, ended, kernel, user;
    if (!process || !::GetProcessTimes(process.get(), &created, &ended, &kernel, &user))
        return ~0ULL;
    const auto ms = [](const FILETIME& t) { return ((ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 10000; };
    return ms(kernel) + ms(user);
}

}  // namespace

// The session asks the program to end while the product registers itself:
// the quit is taken once, the wait does not spin, the run finishes, and no
// developer dialog follows.
TEST_F(ReRegistration, AQuitDuringTheProductWaitEndsTheRunWithoutADialogOrSpinning)
{
    const HWND progress = StartHeldAtTheProductWait();
    ASSERT_NE(progress, nullptr);
    StartedProcess& run = *heldRun;
    ASSERT_TRUE(::PostThreadMessageW(::GetWindowThreadProcessId(progress, nullptr), WM_QUIT, 0, 0));
    // Some input for the wait to wake on, as a user's mouse gives it.
    ::PostMessageW(progress, WM_MOUSEMOVE, 0, 0);
    const ULONGLONG before = ProcessCpuMs(run.Id());
    ::Sleep(2000);
    const ULONGLONG spent = ProcessCpuMs(run.Id()) - before;
    EXPECT_LT(spent, 500u) << "the wait spun";
    WriteTextFile(heldFolder + L"\\go.txt", "");
    DWORD exitCode = 99;
    bool dialogSeen = false;
    while (!run.Wait(50, exitCode))
        dialogSeen = dialogSeen || WaitForDialog(kDialogCaption, IDC_STATUS_LINE, 0) != nullptr;
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(heldErrors.Text(), "end\tremoved=7\tstayed=0\tregistry=cleaned\tproduct=started\texit=0\tproduct-code=0\tended=normally\tmode=reregister\r\n");
}

// Logoff while the product registers itself: the program asks Windows to
// wait, and when the session ends all the same it tells how far it got.
TEST_F(ReRegistration, ASessionThatEndsDuringTheProductWaitLeavesTheEndLine)
{
    const HWND progress = StartHeldAtTheProductWait();
    ASSERT_NE(progress, nullptr);
    StartedProcess& run = *heldRun;

    DWORD_PTR answer = TRUE;
    ASSERT_TRUE(::SendMessageTimeoutW(progress, WM_QUERYENDSESSION, 0, kLogoffParam, SMTO_ABORTIFHUNG, 30000,
                                      &answer));
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(SystemTakesBlockReasons() ? FALSE : TRUE))
        << "the run asks the session to wait where the system takes its reason";
    // The session ends anyway: the program ends on it, before the product.
    ::SendMessageTimeoutW(progress, WM_ENDSESSION, TRUE, kLogoffParam, SMTO_ABORTIFHUNG, 30000, &answer);
    DWORD exitCode = 99;
    EXPECT_TRUE(run.Wait(30000, exitCode));
    WriteTextFile(heldFolder + L"\\go.txt", "");
    EXPECT_EQ(exitCode, 1u) << "cut short";
    EXPECT_EQ(heldErrors.Text(), "end\tremoved=6\tstayed=0\tregistry=cleaned\tproduct=started\texit=1\tproduct-code=0\t"
                             "ended=session\tmode=reregister\r\n");
}
