// The framework's own promises: one current application object, a counted
// wait cursor, handle owners that keep the caller's last error.
#include "framework/FileFind.h"
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

TEST(Framework, FileFinderListsEntriesWithTheirKinds)
{
    TempFolder folder;
    WriteTextFile(folder / L"file.txt");
    MakeFolders(folder / L"sub");
    fw::CFileFind find;
    ASSERT_TRUE(find.FindFile(folder.Path() + L"\\*.*"));
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
    do {
        (find.IsDirectory() ? folders : files).push_back(find.GetFileName());
    } while (find.FindNextFile());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(files, std::vector<std::wstring>{L"file.txt"});
    EXPECT_EQ(folders, (std::vector<std::wstring>{L".", L"..", L"sub"}));
    EXPECT_FALSE(find.FindFile(folder.Path() + L"\\missing\\*.*"));
    EXPECT_FALSE(find.FindNextFile());
}
