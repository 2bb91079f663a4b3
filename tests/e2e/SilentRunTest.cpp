// The real program in a silent run, on the test prefix's own profile.
#include "support/TestFiles.h"
#include "support/TestProfile.h"
#include "support/TestRegistry.h"

#include <gtest/gtest.h>

#include <memory>

using namespace testing_support;

namespace {

std::string SystemMessage(DWORD code)
{
    wchar_t text[512] = {};
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 512, nullptr);
    std::wstring message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return Narrow(message);
}

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

// Polls until the condition holds; false when it did not within the time.
template <class Condition>
bool WaitUntil(Condition condition, ULONGLONG timeoutMs = 60000)
{
    const ULONGLONG start = ::GetTickCount64();
    while (!condition()) {
        if (::GetTickCount64() - start > timeoutMs)
            return false;
        ::Sleep(5);
    }
    return true;
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

    // A file held open without sharing, as a program that uses it would.
    static std::unique_ptr<LockedFile> FileInUse(const std::wstring& path)
    {
        WriteTextFile(path, "busy");
        auto lock = std::make_unique<LockedFile>(path);
        EXPECT_TRUE(lock->IsLocked());
        return lock;
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
    ErrorFile errors;
    const RunResult run = cleaner.Run(L"/S", 120000, errors.Handle());
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(errors.Text(), "end\tremoved=8\tstayed=0\tregistry=cleaned\tproduct=none\texit=0\tproduct-code=0\tended=normally\tmode=clean\r\n");
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
    const auto lock = FileInUse(lockedPath);

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

TEST_F(SilentRun, RedirectedStandardErrorNamesWhatStayedAndWhy)
{
    SeedAllTargets();
    cleaner.WriteSettings("KeepQRX=0\r\n");
    const std::wstring lockedPath = TargetFolder(1) + L"\\cache\\deeper\\in-use.db";
    const auto lock = FileInUse(lockedPath);

    ErrorFile errors;
    const RunResult run = cleaner.Run(L"/S", 120000, errors.Handle());
    EXPECT_EQ(run.exitCode, 1u);
    const std::string text = errors.Text();
    const std::string stayed = "stayed\t" + Narrow(TargetFolder(1)) + "\t" + Narrow(lockedPath) + "\t32\t" +
                               SystemMessage(ERROR_SHARING_VIOLATION) + "\t";
    ASSERT_EQ(text.compare(0, stayed.size(), stayed), 0) << text;
    // The holders' field: nobody where the system cannot tell (Wine), this
    // test program where it can; then the advice, none for a file in use.
    const std::string rest = text.substr(stayed.size(), text.find("\r\n") - stayed.size());
    const std::string holders = rest.substr(0, rest.find('\t'));
    EXPECT_EQ(rest.substr(holders.size()), "\t") << rest;
    if (!holders.empty()) {
        EXPECT_NE(holders.find("(" + std::to_string(::GetCurrentProcessId()) + ")"), std::string::npos) << holders;
    }
    EXPECT_EQ(text.substr(text.find("\r\n") + 2),
              "end\tremoved=7\tstayed=1\tregistry=cleaned\tproduct=none\texit=1\tproduct-code=0\tended=normally\tmode=clean\r\n");
    ExpectDecoysIntact();
}

TEST_F(SilentRun, WithoutAHandleNothingIsWrittenAndNoFileIsMade)
{
    // Started as Explorer starts it: the starting process has no standard
    // error of its own to hand on.
    SeedAllTargets();
    const auto lock = FileInUse(TargetFolder(2) + L"\\in-use.db");
    HANDLE previous = ::GetStdHandle(STD_ERROR_HANDLE);
    ::SetStdHandle(STD_ERROR_HANDLE, nullptr);
    const RunResult run = cleaner.Run(L"/S");
    ::SetStdHandle(STD_ERROR_HANDLE, previous);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(ListNames(cleaner.Folder()), std::vector<std::wstring>{L"VelmoraRegistryCleaner.exe"})
        << "no file of its own";
    ExpectDecoysIntact();
}

// An indexer or the product's last child process holds a file for a moment
// right after the product ends: the run waits for it.
TEST_F(SilentRun, FilesHeldForAMomentStillGo)
{
    SeedAllTargets();
    cleaner.WriteSettings("KeepQRX=0\r\n");
    // Held without sharing in the second folder: let go as soon as the
    // first folder went, whether the run has met it yet or not. How long
    // a retry waits, and that the holder may let go within it, is tested in
    // process, where the pauses are the test's own.
    const std::wstring busy = TargetFolder(2) + L"\\cache\\in-use.db";
    auto exclusive = FileInUse(busy);
    // Held with delete sharing in the third. With POSIX deletion its name
    // goes at once and the folder with it, while it is still held; without
    // it the name stays, all that is left there, and the run waits for it
    // until it is let go, which happens as soon as this test sees so.
    const bool posix = DeletesWithPosixSemantics(TargetFolder(3));
    const std::wstring open = TargetFolder(3) + L"\\open.log";
    WriteTextFile(open, "log");
    LockedFile shared(open, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(shared.IsLocked());

    ErrorFile errors;
    StartedProcess run(L"\"" + cleaner.ExePath() + L"\" /S", {}, errors.Handle());
    ASSERT_TRUE(run.Started());
    EXPECT_TRUE(WaitUntil([] { return !Exists(TargetFolder(1)); }));
    exclusive.reset();
    if (posix) {
        EXPECT_TRUE(WaitUntil([] { return !Exists(TargetFolder(3)); })) << "POSIX deletion";
    } else {
        EXPECT_TRUE(WaitUntil([&] { return ListNames(TargetFolder(3)) == std::vector<std::wstring>{L"open.log"}; }));
    }
    shared.Release();

    DWORD exitCode = 0;
    ASSERT_TRUE(run.Wait(120000, exitCode));
    EXPECT_EQ(exitCode, 0u) << errors.Text();
    for (int step = 1; step <= 8; ++step)
        EXPECT_FALSE(Exists(TargetFolder(step))) << "step " << step;
    EXPECT_EQ(errors.Text(), "end\tremoved=8\tstayed=0\tregistry=cleaned\tproduct=none\texit=0\tproduct-code=0\tended=normally\tmode=clean\r\n");
    ExpectDecoysIntact();
}

// A lab's scheduled tasks overlap: two runs at once on one profile both
// end well, whichever of them removed what.
TEST_F(SilentRun, TwoRunsAtOnceBothSucceed)
{
    for (int step = 1; step <= 8; ++step) {
        SeedTarget(TargetFolder(step));
        for (int i = 0; i < 150; ++i)
            WriteTextFile(TargetFolder(step) + L"\\sub" + std::to_wstring(i % 5) + L"\\f" + std::to_wstring(i));
    }
    cleaner.WriteSettings("KeepQRX=0\r\n");
    const std::wstring command = L"\"" + cleaner.ExePath() + L"\" /S";
    ErrorFile firstErrors, secondErrors;
    StartedProcess first(command, {}, firstErrors.Handle());
    StartedProcess second(command, {}, secondErrors.Handle());
    ASSERT_TRUE(first.Started() && second.Started());

    DWORD firstExit = 0, secondExit = 0;
    ASSERT_TRUE(first.Wait(120000, firstExit));
    ASSERT_TRUE(second.Wait(120000, secondExit));
    EXPECT_EQ(firstExit, 0u) << firstErrors.Text();
    EXPECT_EQ(secondExit, 0u) << secondErrors.Text();
    for (int step = 1; step <= 8; ++step)
        EXPECT_FALSE(Exists(TargetFolder(step))) << "step " << step;
    ExpectDecoysIntact();
}

// However long it works, a silent run shows no window at any moment.
TEST_F(SilentRun, ALargeRunShowsNoWindow)
{
    SeedAllTargets();
    ASSERT_TRUE(MakeManyFiles(TargetFolder(1) + L"\\cache\\many", 30000));
    cleaner.WriteSettings("KeepQRX=0\r\n");
    StartedProcess run(L"\"" + cleaner.ExePath() + L"\" /S");
    ASSERT_TRUE(run.Started());
    bool windowSeen = false;
    DWORD exitCode = 0;
    const ULONGLONG start = ::GetTickCount64();
    while (!run.Wait(5, exitCode) && ::GetTickCount64() - start < 600000)
        windowSeen = windowSeen || ShowsAWindow(run.Id());
    EXPECT_FALSE(windowSeen) << "after " << ::GetTickCount64() - start << " ms";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(Exists(TargetFolder(1)));
    ExpectDecoysIntact();
}

// Logoff during a silent run: its window, never shown, asks the session to
// wait, and the run goes on to its end line. Files held in four folders keep
// it at work for at least their retry budgets, whatever the machine's speed.
TEST_F(SilentRun, ALogoffAskedDuringTheRunIsAnsweredAndTheRunCompletes)
{
    SeedAllTargets();
    cleaner.WriteSettings("KeepQRX=0\r\n");
    std::vector<std::unique_ptr<LockedFile>> locks;
    for (int step = 1; step <= 4; ++step)
        locks.push_back(FileInUse(TargetFolder(step) + L"\\in-use.db"));
    ErrorFile errors;
    StartedProcess run(L"\"" + cleaner.ExePath() + L"\" /S", {}, errors.Handle());
    ASSERT_TRUE(run.Started());
    // The system's own windows of the process (an input method's) answer
    // as they will; the run's is a dialog.
    HWND dialog = nullptr;
    DWORD processId = run.Id();
    const auto findDialog = [&] {
        for (HWND window : TopLevelWindows(processId)) {
            wchar_t name[16] = {};
            if (::GetClassNameW(window, name, 16) > 0 && std::wstring(name) == L"#32770")
                dialog = window;
        }
        return dialog != nullptr;
    };
    ASSERT_TRUE(WaitUntil(findDialog));
    DWORD_PTR answer = TRUE;
    EXPECT_TRUE(
        ::SendMessageTimeoutW(dialog, WM_QUERYENDSESSION, 0, kLogoffParam, SMTO_ABORTIFHUNG, 30000, &answer));
    // Held where the system took the reason; let go where it would end the
    // program all the same.
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(SystemTakesBlockReasons() ? FALSE : TRUE));
    EXPECT_FALSE(::IsWindowVisible(dialog));
    DWORD exitCode = 99;
    ASSERT_TRUE(run.Wait(120000, exitCode));
    EXPECT_EQ(exitCode, 1u);
    const std::string text = errors.Text();
    EXPECT_EQ(text.substr(text.find("end\t")),
              "end\tremoved=4\tstayed=4\tregistry=cleaned\tproduct=none\texit=1\tproduct-code=0\tended=normally\tmode=clean\r\n");

    // The session ends (logoff), or the Restart Manager closes the program
    // for an installer, while folders that stay are being recorded: the end
    // line counts exactly the lines before it, and says which.
    for (const auto& [reason, ended] : {std::make_pair(kLogoffParam, "session"),
                                        std::make_pair(static_cast<LPARAM>(ENDSESSION_CLOSEAPP), "closed")}) {
        ErrorFile cut;
        StartedProcess cutRun(L"\"" + cleaner.ExePath() + L"\" /S", {}, cut.Handle());
        processId = cutRun.Id();
        dialog = nullptr;
        ASSERT_TRUE(WaitUntil(findDialog));
        ASSERT_TRUE(WaitUntil([&] { return cut.Text().find("stayed\t") != std::string::npos; }));
        ::SendMessageTimeoutW(dialog, WM_ENDSESSION, TRUE, reason, SMTO_ABORTIFHUNG, 30000, &answer);
        ASSERT_TRUE(cutRun.Wait(120000, exitCode));
        EXPECT_EQ(exitCode, 1u) << "cut short";
        const std::string lines = cut.Text();
        size_t written = 0;
        for (size_t at = lines.find("stayed\t"); at != std::string::npos; at = lines.find("\r\nstayed\t", at + 1))
            ++written;
        const size_t end = lines.find("end\t");
        ASSERT_NE(end, std::string::npos) << lines;
        EXPECT_NE(lines.find("\tstayed=" + std::to_string(written) + "\t", end), std::string::npos) << lines;
        EXPECT_NE(lines.find(std::string("\tended=") + ended + "\tmode=clean\r\n"), std::string::npos) << lines;
    }
    ExpectDecoysIntact();
}

namespace {

// The user's Documents, as the shell finds it, moved elsewhere for the
// test's life (folder redirection sets the same value).
class RedirectedDocuments {
public:
    explicit RedirectedDocuments(const std::wstring& path)
    {
        wchar_t old[MAX_PATH] = {};
        DWORD size = sizeof old;
        m_had = ::RegGetValueW(HKEY_CURRENT_USER, kKey, L"Personal", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ |
                               RRF_NOEXPAND, &m_type, old, &size) == ERROR_SUCCESS;
        m_old = old;
        Set(REG_EXPAND_SZ, path);
    }
    ~RedirectedDocuments()
    {
        if (m_had)
            Set(m_type, m_old);
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Personal");
    }
    RedirectedDocuments(const RedirectedDocuments&) = delete;
    RedirectedDocuments& operator=(const RedirectedDocuments&) = delete;

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static void Set(DWORD type, const std::wstring& value)
    {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Personal", type, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    bool m_had = false;
    DWORD m_type = REG_EXPAND_SZ;
    std::wstring m_old;
};

}  // namespace

// Documents on a drive this logon session does not see (a home drive mapped
// only in the user's unelevated session, or one that is gone): the two
// document folders are named as stayed, with the system's reason; the rest
// goes.
TEST_F(SilentRun, DocumentsOnADriveThatCannotBeReachedIsNoSuccess)
{
    SeedAllTargets();
    cleaner.WriteSettings("KeepQRX=0\r\n");
    const std::wstring drive = UnmappedDrive();
    ASSERT_FALSE(drive.empty());
    const std::wstring documents = drive + L"Home\\jo\\Documents";
    std::string text;
    {
        const RedirectedDocuments redirected(documents);
        ErrorFile errors;
        const RunResult run = cleaner.Run(L"/S", 120000, errors.Handle());
        EXPECT_EQ(run.exitCode, 1u);
        text = errors.Text();
    }
    for (const wchar_t* name : {L"\\Lumetra", L"\\Quillo"}) {
        const std::string folder = Narrow(documents + name);
        EXPECT_NE(text.find("stayed\t" + folder + "\t" + folder + "\t"), std::string::npos) << text;
    }
    EXPECT_EQ(text.substr(text.find("end\t")),
              "end\tremoved=6\tstayed=2\tregistry=cleaned\tproduct=none\texit=1\tproduct-code=0\tended=normally\tmode=clean\r\n");
    for (int step = 1; step <= 6; ++step)
        EXPECT_FALSE(Exists(TargetFolder(step))) << "step " << step;
    ExpectDecoysIntact();
}

namespace {

// Every target and decoy, and every entry below them, with its attributes.
std::vector<std::wstring> Snapshot()
{
    std::vector<std::wstring> roots = DecoyFiles();
    for (int step = 1; step <= 8; ++step)
        roots.push_back(TargetFolder(step));
    std::vector<std::wstring> entries;
    for (const std::wstring& root : roots) {
        entries.push_back(root + L" " + std::to_wstring(Attributes(root)));
        for (const std::wstring& name : ListTree(root))
            entries.push_back(root + L"\\" + name + L" " + std::to_wstring(Attributes(root + L"\\" + name)));
    }
    return entries;
}

}  // namespace

// A listing (/L) changes nothing, and names what the run then removes,
// folder by folder and key by key: a link as the one entry that would go,
// never followed; the folders a keep option spares as kept; a part nested
// too deep to read as not listed. From a shortcut it shows a dialog.
TEST_F(SilentRun, AListingChangesNothingAndNamesWhatTheRunThenRemoves)
{
    ClearMakerTrees();
    SeedAllTargets();
    cleaner.WriteSettings("KeepRegistry=0\r\nKeepSNFindOutMore=1\r\nKeepVaultry=1\r\nKeepQRX=1\r\n");
    const ProfileFolders p = UserProfile();
    ASSERT_TRUE(LinkFolder(TargetFolder(2) + L"\\link", p.local + L"\\Other"));
    std::wstring deep = TargetFolder(5);
    for (int level = 0; level < 260; ++level)
        deep += L"\\d";
    WriteTextFile(deep + L"\\leaf.txt");
    const std::wstring maker = L"Software\\Velmora";
    SetStringValue(HKEY_CURRENT_USER, maker + L"\\Plandrel\\17.0", L"InstallDir", L"C:\\P");
    for (const wchar_t* key : {L"\\EventLogger\\General", L"\\EventLogger\\Other"})
        CreateKey(HKEY_CURRENT_USER, maker + key);
    for (const wchar_t* key : {L"\\Vaultry\\Server", L"\\Lumetra\\3.0", L"\\Quillo\\2.0\\Qrx"})
        CreateKey(HKEY_LOCAL_MACHINE, maker + key);
    const std::vector<std::wstring> before = Snapshot();
    const std::set<std::wstring> userKeys = KeysBelow(HKEY_CURRENT_USER, maker);
    const std::set<std::wstring> machineKeys = KeysBelow(HKEY_LOCAL_MACHINE, maker);

    {
        // As from a shortcut: no standard error to hand on.
        HANDLE previous = ::GetStdHandle(STD_ERROR_HANDLE);
        ::SetStdHandle(STD_ERROR_HANDLE, nullptr);
        StartedProcess shortcut(L"\"" + cleaner.ExePath() + L"\" /L");
        ::SetStdHandle(STD_ERROR_HANDLE, previous);
        HWND dialog = WaitForDialog(L"Velmora Registry Cleaner", 1000);
        ASSERT_NE(dialog, nullptr);
        const std::wstring shown = ForeignControlText(dialog, 1000);
        EXPECT_EQ(shown.rfind(L"Nothing was removed. A cleaning run would remove 25 files and 16 folders", 0), 0u)
            << Narrow(shown);
        EXPECT_NE(shown.find(L"\t" + TargetFolder(2) + L"\r\n\t\t5 files, 4 folders, 25 bytes\r\n"), std::wstring::npos);
        ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(shortcut.Wait(60000, exitCode));
        EXPECT_EQ(exitCode, 1u) << "a part could not be listed";
    }
    ErrorFile listed;
    EXPECT_EQ(cleaner.Run(L"/L /S", 120000, listed.Handle()).exitCode, 1u);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(KeysBelow(HKEY_CURRENT_USER, maker), userKeys);
    EXPECT_EQ(KeysBelow(HKEY_LOCAL_MACHINE, maker), machineKeys);
    const std::string lines = listed.Text();
    for (int step : {1, 2, 3, 4, 6})
        EXPECT_NE(lines.find("would-remove\t" + Narrow(TargetFolder(step)) + (step == 2 ? "\tfiles=5\tfolders=4\tbytes=25\r\n"
                                                                                        : "\tfiles=5\tfolders=3\tbytes=25\r\n")),
                  std::string::npos)
            << lines;
    EXPECT_NE(lines.find("unlisted\t" + Narrow(TargetFolder(5)) + "\\d\\d"), std::string::npos) << lines;
    for (int step : {7, 8})
        EXPECT_NE(lines.find("would-keep\t" + Narrow(TargetFolder(step)) + "\tKeepQRX\r\n"), std::string::npos);
    const std::string keys = "would-remove\tHKEY_CURRENT_USER\\Software\\Velmora\\Plandrel\tkeys=2\tvalues=1\r\n"
                             "would-remove\tHKEY_CURRENT_USER\\Software\\Velmora\\EventLogger\\Other\tkeys=1\tvalues=0\r\n"
                             "would-remove\tHKEY_LOCAL_MACHINE\\Software\\Velmora\\Lumetra\tkeys=2\tvalues=0\r\n"
                             "end\tremoved=5\tstayed=0\tregistry=untouched\tproduct=none\texit=1\tproduct-code=0\t"
                             "ended=normally\tmode=list\r\n";
    EXPECT_EQ(lines.substr(lines.size() - std::min(lines.size(), keys.size())), keys) << lines;

    // Wine removes no link as itself: it goes first, from the Unix side.
    RemoveFolderLink(TargetFolder(2) + L"\\link");
    ErrorFile cleaned;
    cleaner.Run(L"/S", 120000, cleaned.Handle());
    for (int step = 1; step <= 8; ++step)
        EXPECT_EQ(Exists(TargetFolder(step)), step >= 5 && step != 6) << "step " << step << ": " << cleaned.Text();
    EXPECT_EQ(KeysBelow(HKEY_CURRENT_USER, maker),
              (std::set<std::wstring>{maker, maker + L"\\EventLogger", maker + L"\\EventLogger\\General"}));
    EXPECT_EQ(KeysBelow(HKEY_LOCAL_MACHINE, maker),
              (std::set<std::wstring>{maker, maker + L"\\Vaultry", maker + L"\\Vaultry\\Server", maker + L"\\Quillo",
                                      maker + L"\\Quillo\\2.0", maker + L"\\Quillo\\2.0\\Qrx"}));
    ExpectDecoysIntact();
    ClearMakerTrees();
}
