// The framework's own promises: one current application object, a counted
// wait cursor, handle owners that keep the caller's last error.
#include "framework/DirectoryListing.h"
#include "framework/Handle.h"
#include "framework/WinApp.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {
class TestApp : public fw::CWinApp {
public:
    BOOL InitInstance() override { return FALSE; }
};
}  // namespace

TEST(Framework, TheApplicationObjectRegistersItselfAndKnowsItsName)
{
    fw::CWinApp* before = fw::CWinApp::Current();
    {
        TestApp app;
        EXPECT_EQ(fw::CWinApp::Current(), &app);
        EXPECT_STREQ(app.GetAppName(), L"win_framework_tests");
    }
    EXPECT_EQ(fw::CWinApp::Current(), before);
}

TEST(Framework, WaitCursorIsCountedAndNeverBelowZero)
{
    TestApp app;
    app.EndWaitCursor();
    EXPECT_EQ(app.WaitCursorCount(), 0);
    app.BeginWaitCursor();
    app.BeginWaitCursor();
    EXPECT_EQ(app.WaitCursorCount(), 2);
    app.EndWaitCursor();
    EXPECT_EQ(app.WaitCursorCount(), 1);
    app.EndWaitCursor();
    app.EndWaitCursor();
    EXPECT_EQ(app.WaitCursorCount(), 0);
    app.BeginWaitCursor();
    EXPECT_EQ(app.WaitCursorCount(), 1);
}

TEST(Framework, HandleOwnersCloseOnceAndKeepTheLastError)
{
    TempFolder folder;
    WriteTextFile(folder / L"a.txt");
    fw::UniqueFile file(::CreateFileW((folder / L"a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.valid());
    ::SetLastError(ERROR_ACCESS_DENIED);
    file.reset();
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(file.valid());

    fw::UniqueFile moved(::CreateFileW((folder / L"a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    fw::UniqueFile target(std::move(moved));
    EXPECT_FALSE(moved.valid());
    EXPECT_TRUE(target.valid());
    // Held without sharing: a second open fails until the owner lets go.
    EXPECT_EQ(::CreateFileW((folder / L"a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    target.reset();
    fw::UniqueFile again(::CreateFileW((folder / L"a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(again.valid());
}

TEST(Framework, DirectoryListingSpansBatchesAndFindsOneName)
{
    TempFolder folder;
    // Long names fill the listing buffer several times over.
    const std::wstring padding(120, L'n');
    for (int i = 0; i < 700; ++i)
        WriteTextFile(folder / (padding + std::to_wstring(i)));
    MakeFolders(folder / L"sub");

    const fw::UniqueFile directory(::CreateFileW(folder.Path().c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(directory.valid());
    const fw::CNtFile nt;
    ASSERT_TRUE(nt.IsLoaded());
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
    LONGLONG subId = 0;
    fw::CDirectoryListing listing(nt, directory.get());
    while (listing.Next()) {
        const fw::DirectoryEntry& entry = listing.Entry();
        (entry.IsDirectory() ? folders : files).emplace_back(entry.name);
        if (entry.name == L"sub")
            subId = entry.fileId;
    }
    EXPECT_EQ(listing.Error(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::wstring>{L".", L"..", L"sub"}));
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files.size(), 700u);
    EXPECT_EQ(std::unique(files.begin(), files.end()), files.end());

    // The id the listing shows is the one the entry's own handle shows.
    fw::UniqueFile sub;
    ASSERT_EQ(nt.OpenRelative(directory.get(), L"sub", FILE_LIST_DIRECTORY | SYNCHRONIZE,
                              fw::kNtDirectoryFile | fw::kNtSynchronousIo, sub),
              static_cast<DWORD>(ERROR_SUCCESS));
    LONGLONG id = 0;
    ASSERT_EQ(nt.QueryFileId(sub.get(), id), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(id, subId);
    EXPECT_NE(nt.OpenRelative(directory.get(), L"missing", SYNCHRONIZE, fw::kNtSynchronousIo, sub),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(sub.valid());

    // The name counts in the first listing of a handle only.
    const auto fresh = [&] {
        return fw::UniqueFile(::CreateFileW(folder.Path().c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    };
    const fw::UniqueFile forName = fresh();
    fw::CDirectoryListing named(nt, forName.get(), L"sub");
    ASSERT_TRUE(named.Next());
    EXPECT_EQ(named.Entry().name, L"sub");
    EXPECT_FALSE(named.Next());
    const fw::UniqueFile forMissing = fresh();
    fw::CDirectoryListing missing(nt, forMissing.get(), L"missing");
    EXPECT_FALSE(missing.Next());
    EXPECT_EQ(missing.Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
