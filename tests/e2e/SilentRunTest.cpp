// The real program in a silent run, on the test prefix's own profile.
#include "support/TestFiles.h"
#include "support/TestProfile.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Places with names close to the targets; none of them may ever change.
std::vector<std::wstring> DecoyFiles()
{
    const ProfileFolders p = UserProfile();
    return {
        p.local + L"\\VelmoraX\\keep.txt",
        p.local + L"\\Velmora.txt",
        p.local + L"\\VL-LW-Temp2\\keep.txt",
        p.local + L"\\Other\\Velmora\\keep.txt",
        p.appData + L"\\keep-beside.txt",
        p.appData + L"\\VelmoraOld\\keep.txt",
        p.home + L"\\keep-in-home.txt",
        p.roaming + L"\\Velmora2\\keep.txt",
        p.roaming + L"\\Install.VL.bak",
        p.roaming + L"\\keep-in-roaming.txt",
        p.documents + L"\\Quillo2\\keep.txt",
        p.documents + L"\\Lumetra.txt",
        p.documents + L"\\Work\\Quillo\\keep.txt",
    };
}

void SeedTarget(const std::wstring& folder)
{
    WriteTextFile(folder + L"\\cache\\index.dat", "index");
    WriteTextFile(folder + L"\\cache\\deeper\\blob.bin", "blob");
    WriteTextFile(folder + L"\\prefs.xml", "<prefs/>");
    WriteTextFile(folder + L"\\readonly.txt", "ro");
    WriteTextFile(folder + L"\\hidden.txt", "hidden");
    ::SetFileAttributesW((folder + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW((folder + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
}

class SilentRun : public ::testing::Test {
protected:
    InstalledCleaner cleaner;

    void SetUp() override
    {
        ClearProfile();
        for (const std::wstring& decoy : DecoyFiles())
            WriteTextFile(decoy, "decoy");
    }
    void TearDown() override { ClearProfile(); }

    static void ClearProfile()
    {
        for (int step = 1; step <= 8; ++step)
            RemoveTree(TargetFolder(step));
        for (const std::wstring& decoy : DecoyFiles())
            RemoveTree(decoy);
    }

    static void SeedAllTargets()
    {
        for (int step = 1; step <= 8; ++step)
            SeedTarget(TargetFolder(step));
    }

    static void ExpectDecoysIntact()
    {
        for (const std::wstring& decoy : DecoyFiles())
            EXPECT_EQ(ReadTextFile(decoy), "decoy") << "decoy changed: step list reached too far";
    }
};

}  // namespace

TEST_F(SilentRun, RemovesAllEightFoldersAndNothingElseWhenKeepQrxIsOff)
{
    SeedAllTargets();
    cleaner.WriteSettings("KeepRegistry=0\r\nKeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=0\r\n");
    const RunResult run = cleaner.Run(L"/S");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    for (int step = 1; step <= 8; ++step)
        EXPECT_FALSE(Exists(TargetFolder(step))) << "step " << step;
    ExpectDecoysIntact();
}

TEST_F(SilentRun, KeepQrxSetOrMissingKeepsTheDocumentFolders)
{
    for (const char* settings : {"", "KeepQRX=1\r\n", "KeepRegistry=0\r\n"}) {
        SeedAllTargets();
        if (*settings)
            cleaner.WriteSettings(settings);
        else
            cleaner.RemoveSettings();
        const RunResult run = cleaner.Run(L"-s");
        EXPECT_EQ(run.exitCode, 0u);
        for (int step = 1; step <= 6; ++step)
            EXPECT_FALSE(Exists(TargetFolder(step))) << "step " << step << " settings " << settings;
        EXPECT_EQ(ListTree(TargetFolder(7)).size(), 7u) << settings;
        EXPECT_EQ(ListTree(TargetFolder(8)).size(), 7u) << settings;
    }
    ExpectDecoysIntact();
}

TEST_F(SilentRun, OptionValuesOtherThanOneCountAsNotSet)
{
    for (const char* value : {"0", "2", "true", "", "10"}) {
        SeedAllTargets();
        cleaner.WriteSettings(std::string("KeepQRX=") + value + "\r\n");
        EXPECT_EQ(cleaner.Run(L"/S").exitCode, 0u);
        EXPECT_FALSE(Exists(TargetFolder(7))) << "KeepQRX=" << value;
        EXPECT_FALSE(Exists(TargetFolder(8))) << "KeepQRX=" << value;
    }
    ExpectDecoysIntact();
}

TEST_F(SilentRun, LockedFileInTheFirstFolderGivesExitCodeOneAndTheRestStillGoes)
{
    SeedAllTargets();
    cleaner.WriteSettings("KeepQRX=0\r\n");
    const std::wstring lockedPath = TargetFolder(1) + L"\\cache\\deeper\\in-use.db";
    WriteTextFile(lockedPath, "busy");
    LockedFile lock(lockedPath);
    ASSERT_TRUE(lock.IsLocked());

    const RunResult run = cleaner.Run(L"/S");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_TRUE(Exists(lockedPath));
    for (int step = 2; step <= 8; ++step)
        EXPECT_FALSE(Exists(TargetFolder(step))) << "step " << step;
    ExpectDecoysIntact();
}

TEST_F(SilentRun, InstallVlAsAFileStays)
{
    WriteTextFile(TargetFolder(6), "not a folder");
    const RunResult run = cleaner.Run(L"/S");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ReadTextFile(TargetFolder(6)), "not a folder");
}

TEST_F(SilentRun, NoFoldersAtAllIsSuccess)
{
    const RunResult run = cleaner.Run(L"/S");
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    ExpectDecoysIntact();
}

TEST_F(SilentRun, SettingsFileBesideTheProgramWhenStartedByBareName)
{
    // Started by its bare name, as a console does from the program's folder:
    // the command line names no folder, and the settings beside the running
    // executable still count.
    SeedAllTargets();
    cleaner.WriteSettings("KeepQRX=0\r\n");
    const RunResult run = RunCommandLine(L"VelmoraRegistryCleaner /S", 120000, cleaner.ExePath());
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(Exists(TargetFolder(8)));
}
