// The real program given the product stand-in's path: clean with the
// registry, start the product with "/REGSERVER", clean the folders again,
// and end with the developer settings dialog.
#include "res/resource.h"
#include "support/TestFiles.h"
#include "support/TestProfile.h"
#include "support/TestRegistry.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(errors.Text(), "end\tremoved=7\tstayed=0\tregistry=cleaned\tproduct=started\texit=0\r\n")
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
    // does not exist, and one holding a quote, cannot be started either.
    const std::wstring exe = MakeProduct(scratch / L"P", "<prefspostfix>1</prefspostfix>");
    for (const std::wstring& arguments :
         {L"/S " + exe, L"\"" + scratch / L"Missing\\Plandrel.exe" + L"\"", L"\"" + scratch / L"P\"x\\Plandrel.exe" + L"\""}) {
        SeedProfile();
        ErrorFile errors;
        StartedProcess run(L"\"" + cleaner.ExePath() + L"\" " + arguments, {}, errors.Handle());
        HWND dialog = WaitForDialog(kDialogCaption, IDC_STATUS_LINE);
        ASSERT_NE(dialog, nullptr) << "a product argument overrides /S";
        // The dialog is as after any first run that succeeded.
        EXPECT_EQ(ForeignControlText(dialog, IDC_REGISTRY_CLEANED), L"PL Registry Cleaned.");
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(dialog, IDOK)));
        ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(run.Wait(30000, exitCode));
        EXPECT_EQ(exitCode, 3u) << Narrow(arguments);
        EXPECT_EQ(errors.Text(), "end\tremoved=6\tstayed=0\tregistry=cleaned\tproduct=not-started\texit=3\r\n");
        // The run cleaned as usual.
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMaker + L"\\Plandrel\\Plandrel 11.0 OLD"));
        EXPECT_FALSE(Exists(TargetFolder(1)));
    }
    EXPECT_EQ(StartedLines(exe), "");
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
    SeedProfile();
    const std::wstring exe = MakeProduct(scratch / L"P", "<prefspostfix>12.0.0 INT R1</prefspostfix>");
    const std::wstring folder = scratch / L"P";
    WriteTextFile(folder + L"\\hold.txt", "");
    ErrorFile errors;
    StartedProcess run(L"\"" + cleaner.ExePath() + L"\" \"" + exe + L"\"", {}, errors.Handle());
    ASSERT_TRUE(run.Started());
    // The product runs, held by this test, and the window shows the wait.
    HWND progress = WaitForDialog(L"Velmora Registry Cleaner at work", IDC_PROGRESS_ACTION, 60000);
    ASSERT_NE(progress, nullptr);
    for (int i = 0; i < 600 && ForeignControlText(progress, IDC_PROGRESS_ACTION).find(L"Waiting") != 0; ++i)
        ::Sleep(100);
    ASSERT_EQ(ForeignControlText(progress, IDC_PROGRESS_ACTION), L"Waiting for Plandrel.exe to register itself.");
    ASSERT_TRUE(::PostThreadMessageW(::GetWindowThreadProcessId(progress, nullptr), WM_QUIT, 0, 0));
    // Some input for the wait to wake on, as a user's mouse gives it.
    ::PostMessageW(progress, WM_MOUSEMOVE, 0, 0);
    const ULONGLONG before = ProcessCpuMs(run.Id());
    ::Sleep(2000);
    const ULONGLONG spent = ProcessCpuMs(run.Id()) - before;
    EXPECT_LT(spent, 500u) << "the wait spun";
    WriteTextFile(folder + L"\\go.txt", "");
    DWORD exitCode = 99;
    bool dialogSeen = false;
    while (!run.Wait(50, exitCode))
        dialogSeen = dialogSeen || WaitForDialog(kDialogCaption, IDC_STATUS_LINE, 0) != nullptr;
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(errors.Text(), "end\tremoved=7\tstayed=0\tregistry=cleaned\tproduct=started\texit=0\r\n");
}
