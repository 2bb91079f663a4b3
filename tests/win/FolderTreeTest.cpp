// DeleteFolderTree, CanEnterFolder and RemoveProfileFolder on real trees.
#include "app/CleanerApp.h"
#include "clean/LongPath.h"
#include "clean/TreeRemoval.h"
#include "support/TestFiles.h"
#include "support/TestProfile.h"

#include <gtest/gtest.h>
#include <shlobj.h>

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

// A tree holding a directory link to data outside it, and a top folder that
// is itself such a link: Unix symbolic links under Wine, junctions on
// Windows.
TEST(FolderTreeLinks, DataBehindADirectoryLinkIsNeverTouched)
{
    const TempFolder temp;
    const std::wstring& fixture = temp.Path();
    WriteTextFile(fixture + L"\\outside\\a.txt", "a");
    WriteTextFile(fixture + L"\\outside\\sub\\b.txt", "b");
    WriteTextFile(fixture + L"\\tree\\data.txt");
    ASSERT_TRUE(LinkFolder(fixture + L"\\tree\\link", fixture + L"\\outside"));
    ASSERT_TRUE(LinkFolder(fixture + L"\\toplink", fixture + L"\\outside"));
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
    if (!RunsUnderWine()) {
        EXPECT_TRUE(ok) << "Windows removes a junction as itself";
        EXPECT_EQ(result, 0);
    }
    // Whatever stayed goes as the link it is, before the folder is removed.
    RemoveFolderLink(fixture + L"\\toplink");
    RemoveFolderLink(fixture + L"\\tree\\link");
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
// leads to must survive. Under Wine the swap is made from the Unix side,
// where the system cannot stop it.
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

    cleaner::CTreeRemoval removal;
    std::wstring swapped;
    removal.beforeOpen = [&](const std::wstring& folder, std::wstring_view name) {
        if (!swapped.empty() || folder != top || name.empty() || name[0] != L's')
            return;
        swapped.assign(name);
        const std::wstring entry = top + L"\\" + swapped;
        if (RunsUnderWine()) {
            const std::string unixEntry = UnixPath(entry);
            ASSERT_TRUE(RunUnixShell("mv '" + unixEntry + "' '" + unixEntry + ".away'"));
        } else {
            ASSERT_TRUE(::MoveFileW(entry.c_str(), (entry + L".away").c_str()));
        }
        ASSERT_TRUE(LinkFolder(entry, outside));
    };
    EXPECT_EQ(removal.EmptyTree(top), -1);
    ASSERT_FALSE(swapped.empty());
    EXPECT_EQ(ListTree(outside), before);
    EXPECT_EQ(ReadTextFile(outside + L"\\sub\\b.txt"), "kept");
    EXPECT_EQ(removal.Failure().reason, cleaner::RemovalFailure::Reason::Changed);
    EXPECT_EQ(removal.Failure().entry, top + L"\\" + swapped);
    RemoveFolderLink(top + L"\\" + swapped);
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

// NTFS refuses to delete a read-only entry, folder or file, with
// STATUS_CANNOT_DELETE unless told to ignore the bit (FILE_DISPOSITION_
// IGNORE_READONLY_ATTRIBUTE). Wine deletes it anyway, so the refusal is
// played here, on the entry's attributes as the system has them at that
// moment, read as Windows allows: through a handle with the access for it.
LONG RefuseReadOnlyAsNtfs(HANDLE entry, DWORD flags)
{
    constexpr DWORD kIgnoreReadOnly = 0x10;
    FILE_BASIC_INFO basic = {};
    if (!::GetFileInformationByHandleEx(entry, FileBasicInfo, &basic, sizeof basic))
        return fw::kStatusInvalidParameter;
    return (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0 && (flags & kIgnoreReadOnly) == 0
               ? fw::kStatusCannotDelete
               : 0;
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
    // And a file that became read-only after its folder was listed.
    WriteTextFile(top + L"\\late.txt");
    cleaner::CTreeRemoval removal;
    removal.refuse.disposition = RefuseReadOnlyAsNtfs;
    removal.beforeOpen = [&](const std::wstring& folder, std::wstring_view name) {
        if (name == L"late.txt")
            ::SetFileAttributesW((folder + L"\\late.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    };
    unsigned pauses = 0;
    removal.pause = [&](unsigned) { ++pauses; };
    EXPECT_EQ(removal.EmptyTree(top), 0) << Narrow(removal.Failure().entry);
    EXPECT_TRUE(ListNames(top).empty());
    EXPECT_EQ(removal.RemoveTop(top), 0);
    EXPECT_FALSE(Exists(top));
    EXPECT_EQ(pauses, 0u) << "not taken for an entry in use";
}

// FAT and exFAT know no reparse tags and refuse to be asked for one; some
// shares, NAS and third-party drivers refuse the listing with file ids.
// Either way the tree goes, the top's look-up in its parent too, each
// listing asked once more in the plain class.
TEST_F(FolderTree, AFileSystemWithoutIdsOrTagsStillLosesTheTree)
{
    WriteTextFile(top + L"\\a.txt");
    WriteTextFile(top + L"\\sub\\b.txt");
    cleaner::CTreeRemoval removal;
    removal.refuse.query = [](HANDLE, FILE_INFO_BY_HANDLE_CLASS infoClass) -> DWORD {
        return infoClass == FileAttributeTagInfo ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    };
    // Each refused listing, and the plain one asked at once after it.
    std::vector<std::wstring> refused;
    removal.listingRefused = [&](const std::wstring& folder, fw::ListingClass listing) -> DWORD {
        const bool plain = listing == fw::ListingClass::Plain;
        if (!plain || (!refused.empty() && refused.back() == folder))
            refused.push_back(plain ? L"plain" : folder);
        return plain ? ERROR_SUCCESS : ERROR_INVALID_LEVEL;
    };
    EXPECT_EQ(removal.EmptyTree(top), 0);
    EXPECT_EQ(removal.RemoveTop(top), 0);
    EXPECT_FALSE(Exists(top));
    // The parent for the look-up, each folder as it is emptied, and the top
    // once more as it goes.
    const std::wstring parent = temp.Path();
    EXPECT_EQ(refused, (std::vector<std::wstring>{parent, L"plain", top, L"plain", top + L"\\sub", L"plain", parent,
                                                  L"plain", top, L"plain"}));
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
    removal.refuse.disposition = [&](HANDLE, DWORD) -> LONG { return refusals-- > 0 ? fw::kStatusCannotDelete : 0; };
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
    held.refuse.disposition = [](HANDLE, DWORD) -> LONG { return fw::kStatusCannotDelete; };
    EXPECT_EQ(held.EmptyTree(top), -1);
    EXPECT_EQ(total, cleaner::CRetryBudget::kBudgetMs);
    EXPECT_EQ(held.Failure().error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(held.Failure().inUse);
    EXPECT_EQ(held.Failure().entry, mapped);
    EXPECT_EQ(Attributes(mapped) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

    // Where the bit must be cleared first (the system knows no flag to
    // ignore it) and cannot be put back, the entry's reason says so. A
    // deletion refused for want of the right is neither in use nor retried.
    cleaner::CTreeRemoval denied;
    unsigned deniedPauses = 0;
    denied.pause = [&](unsigned) { ++deniedPauses; };
    denied.refuse.disposition = [](HANDLE, DWORD flags) -> LONG {
        return (flags & 0x10) != 0 ? fw::kStatusInvalidParameter : fw::kStatusAccessDenied;
    };
    denied.refuse.setAttributes = [](HANDLE, DWORD attributes) -> DWORD {
        return (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? ERROR_WRITE_PROTECT : ERROR_SUCCESS;
    };
    BOOL ok = TRUE;
    app.RemoveProfileFolder(top, ok, denied);
    EXPECT_FALSE(ok);
    EXPECT_EQ(deniedPauses, 0u);
    EXPECT_FALSE(denied.Failure().inUse);
    EXPECT_EQ(Attributes(mapped) & FILE_ATTRIBUTE_READONLY, 0u) << "the bit that could not be put back";
    const std::wstring text = app.FailureText();
    const size_t entry = text.find(L"\t\tmapped.db: ");
    EXPECT_NE(entry, std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L". Its read-only attribute could not be put back: ", entry), std::wstring::npos) << Narrow(text);
}

TEST_F(FolderTree, AListingThatFailsPartWayEndsItsFolderWithItsOwnError)
{
    // The top's own look-up in its parent: a folder unseen is not gone.
    WriteTextFile(top + L"\\kept.txt");
    cleaner::CTreeRemoval unseen;
    unseen.listingRefused = [&](const std::wstring& folder, fw::ListingClass) -> DWORD {
        return folder == temp.Path() ? ERROR_UNEXP_NET_ERR : ERROR_SUCCESS;
    };
    BOOL ok = TRUE;
    app.RemoveProfileFolder(top, ok, unseen);
    EXPECT_FALSE(ok);
    EXPECT_EQ(unseen.Failure().error, static_cast<DWORD>(ERROR_UNEXP_NET_ERR));
    EXPECT_EQ(unseen.RemoveTop(top), -1);
    EXPECT_EQ(cleaner::ExitCodeFor(app.Outcome()), 1);
    EXPECT_EQ(app.m_failureReport, L"\t" + top + L"\n");
    EXPECT_TRUE(Exists(top + L"\\kept.txt"));
    ::DeleteFileW((top + L"\\kept.txt").c_str());

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

namespace {

// The shell and the token stood in for: Documents answers as the test says,
// the other folders lie in the test's own folder.
class ShellAnswers : public CCleanerApp {
public:
    HRESULT documents = S_OK;
    HRESULT unverifiedDocuments = S_OK;
    std::wstring documentsPath;
    std::wstring scratch;
    TOKEN_ELEVATION_TYPE elevation = TokenElevationTypeDefault;

    HRESULT ShellFolderPath(int csidl, std::wstring& path) override
    {
        const bool unverified = (csidl & CSIDL_FLAG_DONT_VERIFY) != 0;
        switch (csidl & ~CSIDL_FLAG_DONT_VERIFY) {
        case CSIDL_LOCAL_APPDATA:
            path = scratch + L"\\Local";
            return S_OK;
        case CSIDL_APPDATA:
            path = scratch + L"\\jo\\AppData\\Roaming";
            return S_OK;
        default:
            path = documentsPath;
            return unverified ? unverifiedDocuments : documents;
        }
    }
    TOKEN_ELEVATION_TYPE ElevationType() const override { return elevation; }
};

}  // namespace

// Documents or AppData on a drive this logon session does not see (mapped
// only in the user's unelevated session, or gone), or a shell that cannot
// say where Documents is, is no success; a folder simply not there is.
TEST_F(FolderTree, AFolderOnADriveThatIsNotThereStays)
{
    const std::wstring drive = UnmappedDrive();
    ASSERT_FALSE(drive.empty());
    WriteTextFile(temp / L"Settings.ini", "[Settings]\r\nKeepQRX=0\r\n");
    const std::wstring advice = L"; the drive may be mapped only for the user's own, unelevated session.";
    struct Case {
        HRESULT documents, unverified;
        std::wstring path;
        TOKEN_ELEVATION_TYPE elevation;
        std::wstring stayed;  // the report's first entry; none when the run is a success
        bool advised;
    };
    const HRESULT offline = HRESULT_FROM_WIN32(ERROR_BAD_NETPATH);
    for (const Case& c : {
             // The drive is not there; only an elevated run beside a user's own session is told why.
             Case{offline, S_OK, drive + L"Users\\jo\\Documents", TokenElevationTypeFull,
                  drive + L"Users\\jo\\Documents\\Lumetra", true},
             Case{offline, S_OK, drive + L"Users\\jo\\Documents", TokenElevationTypeDefault,
                  drive + L"Users\\jo\\Documents\\Lumetra", false},
             // A code the shell does not document, unverified too: the kind and the reason.
             Case{E_UNEXPECTED, E_UNEXPECTED, L"", TokenElevationTypeFull, L"Documents", false},
             // Missing, unverified on a drive that is there: as wished.
             Case{S_FALSE, S_OK, temp / L"no such\\Documents", TokenElevationTypeFull, L"", false},
         }) {
        ShellAnswers shell;
        shell.scratch = temp.Path();
        shell.documents = c.documents;
        shell.unverifiedDocuments = c.unverified;
        shell.documentsPath = c.path;
        shell.elevation = c.elevation;
        shell.m_settingsPath = temp / L"Settings.ini";
        // The second run of a re-registration: folders only, no dialog.
        shell.m_reRegister = TRUE;
        const BOOL ok = shell.CleanProfile();
        const std::wstring text = shell.FailureText();
        EXPECT_EQ(ok != FALSE, c.stayed.empty()) << Narrow(text);
        EXPECT_EQ(cleaner::ExitCodeFor(shell.Outcome()), c.stayed.empty() ? 0 : 1);
        EXPECT_EQ(shell.m_failureReport.compare(0, c.stayed.size() + 2, c.stayed.empty() ? L"" : L"\t" + c.stayed + L"\n"),
                  0)
            << Narrow(text);
        EXPECT_EQ(text.find(advice) != std::wstring::npos, c.advised) << Narrow(text);
        if (c.stayed == L"Documents") {
            EXPECT_NE(text.find(L"The shell could not say where it is: "), std::wstring::npos) << Narrow(text);
        }
    }
}

// What only Windows enforces, on its own answers with no stand-in: skipped
// under Wine, which enforces none of it.
TEST_F(FolderTree, OnWindowsAReadOnlyFolderGoesWithNoHelp)
{
    if (RunsUnderWine())
        GTEST_SKIP() << "Wine does not enforce the read-only bit of a folder that is deleted";
    WriteTextFile(top + L"\\Customised\\desktop.ini");
    for (const std::wstring& folder : {top + L"\\Customised", top})
        ASSERT_TRUE(::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY));
    cleaner::CTreeRemoval removal;
    EXPECT_EQ(removal.EmptyTree(top), 0) << Narrow(removal.Failure().entry);
    EXPECT_EQ(removal.RemoveTop(top), 0);
    EXPECT_FALSE(Exists(top));
}

TEST_F(FolderTree, OnWindowsARunningProgramsOwnFileIsWaitedFor)
{
    if (RunsUnderWine())
        GTEST_SKIP() << "Wine does not enforce the image of a running program: it deletes the file";
    // The product stand-in, held running by its hold.txt until it is ended.
    const std::wstring helper = top + L"\\bin\\helper.exe";
    WriteTextFile(top + L"\\bin\\hold.txt", "");
    ASSERT_TRUE(::CopyFileW((ProgramFolder() + L"\\plandrel_standin.exe").c_str(), helper.c_str(), FALSE));
    auto running = std::make_unique<StartedProcess>(L"\"" + helper + L"\"");
    ASSERT_TRUE(running->Started());
    for (int i = 0; i < 3000 && !Exists(top + L"\\bin\\started.txt"); ++i)
        ::Sleep(10);
    ASSERT_TRUE(Exists(top + L"\\bin\\started.txt"));
    cleaner::CTreeRemoval removal;
    unsigned pauses = 0;
    removal.pause = [&](unsigned) {
        if (++pauses == 1)
            running.reset();  // ended, and waited for
    };
    EXPECT_EQ(removal.EmptyTree(top), 0) << Narrow(removal.Failure().entry);
    EXPECT_GE(pauses, 1u) << "refused while it ran, as in use";
    EXPECT_TRUE(ListNames(top).empty());
}

TEST_F(FolderTree, OnWindowsTheRestartManagerNamesWhoHoldsAFile)
{
    if (RunsUnderWine())
        GTEST_SKIP() << "Wine does not enforce the Restart Manager's list: it names no program that holds a file";
    WriteTextFile(top + L"\\cache\\in-use.db");
    const LockedFile lock(top + L"\\cache\\in-use.db");
    ASSERT_TRUE(lock.IsLocked());
    BOOL ok = TRUE;
    app.RemoveProfileFolder(top, ok);
    EXPECT_FALSE(ok);
    const std::wstring text = app.FailureText();
    EXPECT_NE(text.find(L", held by "), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L" (" + std::to_wstring(::GetCurrentProcessId()) + L")"), std::wstring::npos) << Narrow(text);
}
