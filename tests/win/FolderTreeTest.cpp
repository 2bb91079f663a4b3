// DeleteFolderTree, CanEnterFolder and RemoveProfileFolder on real trees.
#include "app/CleanerApp.h"
#include "clean/LongPath.h"
#include "clean/TreeRemoval.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace testing_support;

namespace {

class FolderTree : public ::testing::Test {
protected:
    CCleanerApp app;
    TempFolder temp;
    std::wstring top = temp / L"Velmora";

    std::wstring CurrentDirectory()
    {
        wchar_t buffer[1024] = {};
        ::GetCurrentDirectoryW(1024, buffer);
        return buffer;
    }
};

}  // namespace

TEST_F(FolderTree, EmptyAndMissingFolders)
{
    MakeFolders(top);
    EXPECT_EQ(app.DeleteFolderTree(top), 0);
    EXPECT_TRUE(IsFolder(top));
    EXPECT_TRUE(app.CanEnterFolder(top));

    const std::wstring missing = temp / L"missing";
    EXPECT_EQ(app.DeleteFolderTree(missing), 0);
    EXPECT_FALSE(app.CanEnterFolder(missing));

    // A file where a folder is expected cannot be listed: nothing to remove.
    WriteTextFile(temp / L"file");
    EXPECT_EQ(app.DeleteFolderTree(temp / L"file"), 0);
    EXPECT_TRUE(Exists(temp / L"file"));
    EXPECT_FALSE(app.CanEnterFolder(temp / L"file"));
}

TEST_F(FolderTree, RemovesNestedFilesWithAnyAttributesButLeavesTheTop)
{
    WriteTextFile(top + L"\\a.txt");
    WriteTextFile(top + L"\\.settings");
    WriteTextFile(top + L"\\sub\\deeper\\b.bin");
    WriteTextFile(top + L"\\readonly.txt");
    WriteTextFile(top + L"\\sub\\hidden.txt");
    WriteTextFile(top + L"\\sub\\system.txt");
    ::SetFileAttributesW((top + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW((top + L"\\sub\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW((top + L"\\sub\\system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);

    EXPECT_EQ(app.DeleteFolderTree(top), 0);
    EXPECT_TRUE(IsFolder(top));
    EXPECT_TRUE(ListNames(top).empty());
}

TEST_F(FolderTree, OnlyTheReadOnlyBitOfAFileIsCleared)
{
    // A second name of the same file, outside the tree, shows the attributes
    // the removal left on the file it deleted: all of them where the system
    // ignores the read-only bit when told to, else all but that bit.
    const std::wstring outside = temp / L"outside.txt";
    WriteTextFile(outside);
    MakeFolders(top);
    const bool ignored = DeletesIgnoringReadOnly(top);
    ASSERT_TRUE(::CreateHardLinkW((top + L"\\held.txt").c_str(), outside.c_str(), nullptr));
    constexpr DWORD kSet = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
    ::SetFileAttributesW(outside.c_str(), kSet);
    EXPECT_EQ(app.DeleteFolderTree(top), 0);
    EXPECT_FALSE(Exists(top + L"\\held.txt"));
    EXPECT_EQ(Attributes(outside) & kSet, ignored ? kSet : kSet & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))
        << (ignored ? "the bit ignored" : "the bit cleared");
    ::SetFileAttributesW(outside.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A file that cannot be opened for deletion is not changed at all.
    const std::wstring held = top + L"\\locked.txt";
    WriteTextFile(held);
    ::SetFileAttributesW(held.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        LockedFile lock(held);
        ASSERT_TRUE(lock.IsLocked());
        EXPECT_EQ(app.DeleteFolderTree(top), -1);
    }
    EXPECT_TRUE(Attributes(held) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(FolderTree, StopsAtTheFirstEntryThatWillNotGoInListingOrder)
{
    WriteTextFile(top + L"\\a.txt");
    WriteTextFile(top + L"\\m.txt");
    WriteTextFile(top + L"\\sub\\inner-before.txt");
    WriteTextFile(top + L"\\sub\\locked.txt");
    WriteTextFile(top + L"\\z.txt");
    const std::vector<std::wstring> order = ListNames(top);
    const std::vector<std::wstring> innerOrder = ListNames(top + L"\\sub");

    LockedFile lock(top + L"\\sub\\locked.txt");
    ASSERT_TRUE(lock.IsLocked());
    EXPECT_EQ(app.DeleteFolderTree(top), -1);

    const auto stop = std::find(order.begin(), order.end(), L"sub");
    ASSERT_NE(stop, order.end());
    for (auto it = order.begin(); it != stop; ++it)
        EXPECT_FALSE(Exists(top + L"\\" + *it)) << "listed before the failure, should be gone";
    for (auto it = stop; it != order.end(); ++it)
        EXPECT_TRUE(Exists(top + L"\\" + *it)) << "listed after the failure, should stay";

    const auto innerStop = std::find(innerOrder.begin(), innerOrder.end(), L"locked.txt");
    for (auto it = innerOrder.begin(); it != innerStop; ++it)
        EXPECT_FALSE(Exists(top + L"\\sub\\" + *it));
    EXPECT_TRUE(Exists(top + L"\\sub\\locked.txt"));
}

TEST_F(FolderTree, DotNamedFoldersAreNeverEntered)
{
    // At the top: the tree removal ends with 0, but the folder cannot go.
    WriteTextFile(top + L"\\.cache\\kept.txt");
    WriteTextFile(top + L"\\plain.txt");
    EXPECT_EQ(app.DeleteFolderTree(top), 0);
    EXPECT_TRUE(Exists(top + L"\\.cache\\kept.txt"));
    EXPECT_FALSE(Exists(top + L"\\plain.txt"));

    BOOL result = TRUE;
    app.RemoveProfileFolder(top, result);
    EXPECT_FALSE(result);
    EXPECT_EQ(app.m_failureReport, L"\t" + top + L"\n");

    // Deep down: its parent cannot be removed, so the removal ends with -1.
    const std::wstring other = temp / L"Other";
    WriteTextFile(other + L"\\sub\\.git\\config");
    EXPECT_EQ(app.DeleteFolderTree(other), -1);
    EXPECT_TRUE(Exists(other + L"\\sub\\.git\\config"));
}

TEST_F(FolderTree, RemoveProfileFolderRemovesTheTopAndIgnoresMissingFolders)
{
    WriteTextFile(top + L"\\x\\y.txt");
    BOOL result = TRUE;
    app.RemoveProfileFolder(top, result);
    app.RemoveProfileFolder(temp / L"missing", result);
    EXPECT_TRUE(result);
    EXPECT_FALSE(Exists(top));
    EXPECT_TRUE(app.m_failureReport.empty());
}

TEST_F(FolderTree, PathsLongerThanMaxPathAreRemoved)
{
    std::wstring deep = top;
    while (deep.size() < 600)
        deep += L"\\a-rather-long-folder-name-for-depth";
    WriteTextFile(deep + L"\\leaf.txt");
    WriteTextFile(deep + L"\\readonly.txt");
    ::SetFileAttributesW(cleaner::ExtendedLengthPath(deep + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(Exists(deep + L"\\leaf.txt"));

    BOOL result = TRUE;
    app.RemoveProfileFolder(top, result);
    EXPECT_TRUE(result) << "report: " << app.m_failureReport.size();
    EXPECT_FALSE(Exists(top));
}

TEST_F(FolderTree, LockedFileDeepInsideReportsOnlyTheTopFolder)
{
    std::wstring deep = top;
    while (deep.size() < 400)
        deep += L"\\nested-folder-level";
    WriteTextFile(deep + L"\\locked.txt");
    LockedFile lock(deep + L"\\locked.txt");
    ASSERT_TRUE(lock.IsLocked());

    BOOL result = TRUE;
    app.RemoveProfileFolder(top, result);
    EXPECT_FALSE(result);
    EXPECT_EQ(app.m_failureReport, L"\t" + top + L"\n");
}

TEST_F(FolderTree, ManyFilesInOneFolderAllGo)
{
    for (int i = 0; i < 1500; ++i)
        WriteTextFile(top + L"\\file" + std::to_wstring(i) + L".dat");
    EXPECT_EQ(app.DeleteFolderTree(top), 0);
    EXPECT_TRUE(ListNames(top).empty());
}

TEST_F(FolderTree, CanEnterFolderKeepsTheCurrentDirectory)
{
    MakeFolders(top);
    const std::wstring before = CurrentDirectory();
    EXPECT_TRUE(app.CanEnterFolder(top));
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_FALSE(app.CanEnterFolder(temp / L"nowhere"));
    EXPECT_EQ(CurrentDirectory(), before);
}

// The test script lays out, from the Unix side, a tree holding a directory
// link to data outside it, and a top folder that is itself such a link.
TEST(FolderTreeLinks, DataBehindADirectoryLinkIsNeverTouched)
{
    const std::wstring fixture = Environment(L"CLEANER_LINK_FIXTURE");
    ASSERT_FALSE(fixture.empty()) << "run through scripts/test.sh, which lays out the link fixture";
    const std::wstring outside = fixture + L"\\outside";
    const std::vector<std::wstring> before = ListTree(outside);
    ASSERT_FALSE(before.empty());

    CCleanerApp app;
    const std::wstring tree = fixture + L"\\tree";
    ASSERT_TRUE(Attributes(tree + L"\\link") & FILE_ATTRIBUTE_REPARSE_POINT);
    const int result = app.DeleteFolderTree(tree);
    EXPECT_EQ(ListTree(outside), before);
    if (Exists(tree + L"\\link")) {
        // Wine cannot remove the link: that is an entry that did not go.
        EXPECT_EQ(result, -1);
    } else {
        EXPECT_EQ(result, 0);
    }

    // A top folder that is a link is not emptied through it.
    BOOL ok = TRUE;
    app.RemoveProfileFolder(fixture + L"\\toplink", ok);
    EXPECT_EQ(ListTree(outside), before);
    EXPECT_EQ(ok != FALSE, !Exists(fixture + L"\\toplink"));
}

TEST_F(FolderTree, NamesEndingInADotOrBlankAreRemovedAsThemselves)
{
    // Without the literal path form these would name "twin", which exists.
    WriteTextFile(top + L"\\twin.", "dot");
    WriteTextFile(top + L"\\twin ", "blank");
    WriteTextFile(temp / L"twin", "outside");
    WriteTextFile(top + L"\\keep\\twin", "inside");
    ASSERT_EQ(ReadTextFile(top + L"\\twin."), "dot");

    EXPECT_EQ(app.DeleteFolderTree(top), 0);
    EXPECT_TRUE(ListNames(top).empty());
    EXPECT_EQ(ReadTextFile(temp / L"twin"), "outside");
}

TEST_F(FolderTree, AbsurdlyDeepTreesStopWithoutCrashing)
{
    // 250 levels go; deeper than the limit of 256 counts as not removed.
    std::wstring deep = top;
    for (int level = 0; level < 250; ++level)
        deep += L"\\d";
    WriteTextFile(deep + L"\\leaf.txt");
    EXPECT_EQ(app.DeleteFolderTree(top), 0);
    EXPECT_TRUE(ListNames(top).empty());

    std::wstring deeper = top;
    for (int level = 0; level < 270; ++level)
        deeper += L"\\d";
    WriteTextFile(deeper + L"\\leaf.txt");
    EXPECT_EQ(app.DeleteFolderTree(top), -1);
    EXPECT_TRUE(Exists(deeper + L"\\leaf.txt"));
    RemoveTree(top);
}

TEST_F(FolderTree, ATopFolderLongerThanMaxPathIsRemovedOrReported)
{
    std::wstring longTop = temp.Path();
    while (longTop.size() < 300)
        longTop += L"\\a-long-folder-name";
    longTop += L"\\Velmora";
    WriteTextFile(longTop + L"\\cache\\entry.bin");
    BOOL result = TRUE;
    app.RemoveProfileFolder(longTop, result);
    EXPECT_TRUE(result);
    EXPECT_FALSE(Exists(longTop));

    // Held open without delete sharing: emptied, but it cannot go.
    MakeFolders(longTop);
    {
        const fw::UniqueFile held(::CreateFileW(cleaner::ExtendedLengthPath(longTop).c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_TRUE(held.valid());
        app.RemoveProfileFolder(longTop, result);
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(app.m_failureReport, L"\t" + longTop + L"\n");
}

// A sub-folder renamed away and replaced by a directory link to outside
// data between the listing of its parent and its descent: what the link
// leads to must survive. The swap is made from the Unix side, where the
// system cannot stop it.
TEST_F(FolderTree, ASubFolderSwappedForALinkMidRunIsNotEmptied)
{
    const std::wstring outside = temp / L"outside";
    WriteTextFile(outside + L"\\a.txt", "kept");
    WriteTextFile(outside + L"\\sub\\b.txt", "kept");
    for (const wchar_t* name : {L"s1", L"s2", L"s3"}) {
        WriteTextFile(top + L"\\" + name + L"\\one.txt");
        WriteTextFile(top + L"\\" + name + L"\\two.txt");
    }
    const std::vector<std::wstring> before = ListTree(outside);
    const std::string unixTop = UnixPath(top);
    ASSERT_FALSE(unixTop.empty()) << "runs under Wine";

    cleaner::CTreeRemoval removal;
    std::wstring swapped;
    removal.beforeOpen = [&](const std::wstring& folder, std::wstring_view name) {
        if (!swapped.empty() || folder != top || name.empty() || name[0] != L's')
            return;
        swapped.assign(name);
        const std::string entry = unixTop + "/" + std::string(name.begin(), name.end());
        ASSERT_TRUE(RunUnixShell("mv '" + entry + "' '" + entry + ".away' && ln -s '" + UnixPath(outside) + "' '" +
                                 entry + "'"));
    };
    EXPECT_EQ(removal.EmptyTree(top), -1);
    ASSERT_FALSE(swapped.empty());
    EXPECT_EQ(ListTree(outside), before);
    EXPECT_EQ(ReadTextFile(outside + L"\\sub\\b.txt"), "kept");
    EXPECT_EQ(removal.Failure().reason, cleaner::RemovalFailure::Reason::Changed);
    EXPECT_EQ(removal.Failure().entry, top + L"\\" + swapped);
    // Removed from the Unix side: a removal through Wine would reach the target.
    ASSERT_TRUE(RunUnixShell("rm '" + unixTop + "/" + std::string(swapped.begin(), swapped.end()) + "'"));
}

// Whoever shows the run's progress hears of each top folder as its removal
// begins and of every entry that went, the top itself too; nothing else.
TEST_F(FolderTree, ProgressHearsOfEachTopFolderAndEveryEntryThatWent)
{
    struct Recorder final : cleaner::IRunProgress {
        std::vector<std::wstring> folders;
        unsigned long long entries = 0;
        int other = 0;
        void RemovingFolder(const std::wstring& folder) override { folders.push_back(folder); }
        void EntryRemoved() override { ++entries; }
        void CleaningRegistry() override { ++other; }
        void WaitingForProduct(const std::wstring&) override { ++other; }
        void CleaningAgain() override { ++other; }
        void Pause(unsigned) override { ++other; }
        void Tick() override { ++other; }
        void Pump() override { ++other; }
        void Done() override { ++other; }
        bool Quitting() const override { return false; }
    } recorder;
    WriteTextFile(top + L"\\a.txt");
    WriteTextFile(top + L"\\sub\\b.txt");
    WriteTextFile(top + L"\\sub\\deeper\\c.txt");
    const std::wstring second = temp / L"Second";
    WriteTextFile(second + L"\\keep\\held.db");
    WriteTextFile(second + L"\\gone.txt");
    const bool goneListedFirst = ListNames(second).front() == L"gone.txt";
    const LockedFile held(second + L"\\keep\\held.db");
    ASSERT_TRUE(held.IsLocked());

    app.m_progress = &recorder;
    BOOL ok = TRUE;
    app.RemoveProfileFolder(top, ok);
    const unsigned long long first = recorder.entries;
    app.RemoveProfileFolder(second, ok);
    app.m_progress = nullptr;
    EXPECT_EQ(recorder.folders, (std::vector<std::wstring>{top, second}));
    EXPECT_EQ(first, 6u) << "a.txt, sub, b.txt, deeper, c.txt and the top";
    // The file listed before the held folder went, one listed after it did
    // not; the held one waits out the budget in the progress's pauses.
    EXPECT_FALSE(ok);
    EXPECT_EQ(recorder.entries - first, goneListedFirst ? 1u : 0u);
    EXPECT_GT(recorder.other, 0) << "pauses spent in the progress";
}

// Pauses are counted instead of slept, and the holders let go in them.
TEST_F(FolderTree, AMomentOfUseIsWaitedForWithinOneBudget)
{
    cleaner::CTreeRemoval removal;
    std::vector<unsigned> pauses;
    std::unique_ptr<LockedFile> lock;
    removal.pause = [&](unsigned milliseconds) {
        pauses.push_back(milliseconds);
        lock.reset();
    };

    // Held without delete sharing: it cannot be opened until let go.
    WriteTextFile(top + L"\\sub\\busy.db");
    lock = std::make_unique<LockedFile>(top + L"\\sub\\busy.db");
    ASSERT_TRUE(lock->IsLocked());
    EXPECT_EQ(removal.EmptyTree(top), 0);
    EXPECT_TRUE(ListNames(top).empty());
    EXPECT_EQ(pauses.size(), 1u);

    // Held with delete sharing: with POSIX deletion the name goes at once,
    // and the folder with it, while the file is still held; without it the
    // name stays until the holder lets go, and the folder goes after one
    // pause in which it does.
    pauses.clear();
    const bool posix = DeletesWithPosixSemantics(top);
    WriteTextFile(top + L"\\open.log");
    lock = std::make_unique<LockedFile>(top + L"\\open.log", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(lock->IsLocked());
    EXPECT_EQ(removal.EmptyTree(top), 0);
    EXPECT_EQ(removal.RemoveTop(top), 0);
    EXPECT_FALSE(Exists(top));
    EXPECT_EQ(pauses.size(), posix ? 0u : 1u) << (posix ? "POSIX deletion" : "classic deletion");
    EXPECT_EQ(lock != nullptr, posix) << "the holder had to let go first";
    lock.reset();
    EXPECT_EQ(removal.RemoveTop(top), cleaner::CTreeRemoval::kGone);

    // One held for a while, then one held throughout: together they wait
    // no longer than the one budget, then the one still held is named.
    cleaner::CTreeRemoval held;
    std::unique_ptr<LockedFile> first;
    unsigned total = 0;
    int count = 0;
    held.pause = [&](unsigned milliseconds) {
        total += milliseconds;
        if (++count == 3)
            first.reset();
    };
    WriteTextFile(top + L"\\a\\in-use.db");
    WriteTextFile(top + L"\\b\\in-use.db");
    const std::vector<std::wstring> order = ListNames(top);
    ASSERT_EQ(order.size(), 2u);
    first = std::make_unique<LockedFile>(top + L"\\" + order[0] + L"\\in-use.db");
    const LockedFile throughout(top + L"\\" + order[1] + L"\\in-use.db");
    ASSERT_TRUE(first->IsLocked() && throughout.IsLocked());
    EXPECT_EQ(held.EmptyTree(top), -1);
    EXPECT_FALSE(Exists(top + L"\\" + order[0]));
    EXPECT_EQ(held.Failure().error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(held.Failure().entry, top + L"\\" + order[1] + L"\\in-use.db");
    EXPECT_GT(count, 4);
    EXPECT_EQ(total, cleaner::CRetryBudget::kBudgetMs);
    EXPECT_EQ(held.PausedMs(), total);
}

namespace {

// NTFS refuses to delete a read-only entry, folder or file, with access
// denied unless told to ignore the bit (FILE_DISPOSITION_IGNORE_READONLY_
// ATTRIBUTE). Wine deletes it anyway, so the refusal is played here, on the
// entry's attributes as the system has them at that moment.
DWORD RefuseReadOnlyAsNtfs(HANDLE entry, DWORD flags)
{
    constexpr DWORD kIgnoreReadOnly = 0x10;
    FILE_BASIC_INFO basic = {};
    if (!::GetFileInformationByHandleEx(entry, FileBasicInfo, &basic, sizeof basic))
        return ::GetLastError();
    return (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0 && (flags & kIgnoreReadOnly) == 0
               ? ERROR_ACCESS_DENIED
               : ERROR_SUCCESS;
}

}  // namespace

// Explorer marks every folder whose icon or view was customised read-only;
// so are folders copied from read-only media.
TEST_F(FolderTree, AReadOnlyFolderGoesAsAReadOnlyFileDoes)
{
    WriteTextFile(top + L"\\Customised\\desktop.ini");
    WriteTextFile(top + L"\\Customised\\inner\\a.txt");
    for (const std::wstring& folder : {top + L"\\Customised\\inner", top + L"\\Customised", top}) {
        ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY);
        // Wine keeps a folder's bit as its Unix mode, which it will not set.
        if ((Attributes(folder) & FILE_ATTRIBUTE_READONLY) == 0) {
            ASSERT_TRUE(RunUnixShell("chmod a-w '" + UnixPath(folder) + "'"));
        }
        ASSERT_NE(Attributes(folder) & FILE_ATTRIBUTE_READONLY, 0u) << Narrow(folder);
    }
    cleaner::CTreeRemoval removal;
    removal.beforeDisposition = RefuseReadOnlyAsNtfs;
    EXPECT_EQ(removal.EmptyTree(top), 0);
    EXPECT_TRUE(ListNames(top).empty());
    EXPECT_EQ(removal.RemoveTop(top), 0);
    EXPECT_FALSE(Exists(top));
}

// A running program's own file (the product's helper) or a file with a
// mapped view opens for deletion, then refuses it with access denied.
TEST_F(FolderTree, ADeletionRefusedAfterTheOpenIsWaitedForAndNamed)
{
    WriteTextFile(top + L"\\helper.exe");
    cleaner::CTreeRemoval removal;
    unsigned pauses = 0;
    int refusals = 2;
    removal.pause = [&](unsigned) { ++pauses; };
    removal.beforeDisposition = [&](HANDLE, DWORD) -> DWORD {
        return refusals-- > 0 ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    };
    EXPECT_EQ(removal.EmptyTree(top), 0);
    EXPECT_TRUE(ListNames(top).empty());
    EXPECT_EQ(pauses, 2u);

    // Refused throughout: the budget is spent, the reason kept for the
    // holders to be asked, and the file stays as it was, read-only bit too.
    const std::wstring mapped = top + L"\\mapped.db";
    WriteTextFile(mapped);
    ::SetFileAttributesW(mapped.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    cleaner::CTreeRemoval held;
    unsigned total = 0;
    held.pause = [&](unsigned milliseconds) { total += milliseconds; };
    held.beforeDisposition = [](HANDLE, DWORD) -> DWORD { return ERROR_ACCESS_DENIED; };
    EXPECT_EQ(held.EmptyTree(top), -1);
    EXPECT_EQ(total, cleaner::CRetryBudget::kBudgetMs);
    EXPECT_EQ(held.Failure().error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(held.Failure().inUse);
    EXPECT_EQ(held.Failure().entry, mapped);
    EXPECT_EQ(Attributes(mapped) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(FolderTree, AListingThatFailsPartWayEndsItsFolderWithItsOwnError)
{
    WriteTextFile(top + L"\\share\\a.txt");
    WriteTextFile(top + L"\\share\\b.txt");
    WriteTextFile(top + L"\\z.txt");
    cleaner::CTreeRemoval removal;
    unsigned pauses = 0;
    removal.pause = [&](unsigned) { ++pauses; };
    removal.listingEnded = [&](const std::wstring& folder, DWORD error) -> DWORD {
        return folder == top + L"\\share" ? ERROR_UNEXP_NET_ERR : error;
    };
    EXPECT_EQ(removal.EmptyTree(top), -1);
    EXPECT_EQ(removal.Failure().error, static_cast<DWORD>(ERROR_UNEXP_NET_ERR));
    EXPECT_EQ(removal.Failure().entry, top + L"\\share");
    EXPECT_EQ(pauses, 0u) << "not taken for entries still pending";
    EXPECT_TRUE(ListNames(top + L"\\share").empty()) << "what was listed went";
}

// Documents or AppData on a drive this logon session does not see (mapped
// only in the user's unelevated session, or gone) is no success.
TEST_F(FolderTree, AFolderOnADriveThatIsNotThereStays)
{
    const std::wstring drive = UnmappedDrive();
    ASSERT_FALSE(drive.empty());
    const std::wstring folder = drive + L"Users\\jo\\Documents\\Lumetra";
    BOOL ok = TRUE;
    app.RemoveProfileFolder(folder, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(cleaner::ExitCodeFor(app.Outcome()), 1);
    EXPECT_NE(app.FailureText().find(L"\t" + folder + L"\n"), std::wstring::npos) << Narrow(app.FailureText());

    // One that is simply not there, on a drive that is, is as wished.
    CCleanerApp other;
    BOOL quiet = TRUE;
    other.RemoveProfileFolder(temp / L"no such\\folder\\Lumetra", quiet);
    EXPECT_TRUE(quiet);
    EXPECT_EQ(cleaner::ExitCodeFor(other.Outcome()), 0);
}
