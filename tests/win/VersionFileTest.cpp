// Reading real version files.
#include "app/CleanerApp.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <winioctl.h>

using namespace testing_support;

namespace {

class VersionFile : public ::testing::Test {
protected:
    CCleanerApp app;
    TempFolder folder;
    std::wstring exe = folder / L"Plandrel.exe";
    std::wstring xml = folder / L"ProductVersion.xml";
};

}  // namespace

TEST_F(VersionFile, ReadsPostfixAndPlatform)
{
    WriteTextFile(xml, "<version>\r\n  <prefspostfix>12.0.0 R&amp;D</prefspostfix>\r\n"
                       "  <platform>WIN64</platform>\r\n</version>\r\n");
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"12.0.0 R&D");
    EXPECT_EQ(app.IsWin64Product(exe), L"64");
}

TEST_F(VersionFile, MissingEmptyOrBusyFilesGiveEmptyTexts)
{
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"");
    EXPECT_EQ(app.IsWin64Product(exe), L"");

    WriteTextFile(xml, "");
    EXPECT_EQ(app.ReadVersionFileText(xml), L"");
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"");

    WriteTextFile(xml, "<prefspostfix>X</prefspostfix><platform>WIN64</platform>");
    {
        LockedFile lock(xml);
        ASSERT_TRUE(lock.IsLocked());
        EXPECT_EQ(app.ReadPrefsPostfix(exe), L"");
        EXPECT_EQ(app.IsWin64Product(exe), L"");
    }
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"X");
    // The reader's own open shares nothing, but closes again: a second read works.
    EXPECT_EQ(app.IsWin64Product(exe), L"64");
}

TEST_F(VersionFile, PathWithoutBackslashReadsNothing)
{
    WriteTextFile(xml, "<prefspostfix>X</prefspostfix>");
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ::SetCurrentDirectoryW(folder.Path().c_str());
    EXPECT_EQ(app.ReadPrefsPostfix(L"Plandrel.exe"), L"");
    EXPECT_EQ(app.ReadPrefsPostfix(folder.Path() + L"/Plandrel.exe"), L"") << "a forward slash is no separator";
    ::SetCurrentDirectoryW(previous);
}

TEST_F(VersionFile, Encodings)
{
    WriteTextFile(xml, "\xEF\xBB\xBF<prefspostfix>\xC3\xA9t\xC3\xA9</prefspostfix><platform>WIN64</platform>");
    EXPECT_EQ(app.ReadVersionFileText(xml).substr(0, 1), L"\uFEFF") << "the mark stays";
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"\u00E9t\u00E9");
    EXPECT_EQ(app.IsWin64Product(exe), L"64");

    // UTF-16: the text ends at the first zero byte, so no tag is found.
    const std::string utf16("\xFF\xFE<\0p\0r\0e\0f\0s\0p\0o\0s\0t\0f\0i\0x\0>\0X\0", 34);
    WriteTextFile(xml, utf16);
    const std::wstring text = app.ReadVersionFileText(xml);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), L'<');
    EXPECT_LE(text.size(), 3u);
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"");
    EXPECT_EQ(app.IsWin64Product(exe), L"");

    EXPECT_EQ(app.DecodeVersionText("a&amp;amp;b"), L"a&b");
    EXPECT_EQ(app.DecodeVersionText(""), L"");
}

TEST_F(VersionFile, FilesOfAnySizeAreReadWhole)
{
    std::string big = "<version>";
    big += std::string(300000, ' ');
    big += "<prefspostfix>13.0.0 BIG</prefspostfix><platform>WIN64</platform></version>";
    WriteTextFile(xml, big);
    EXPECT_EQ(app.ReadVersionFileText(xml).size(), big.size());
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"13.0.0 BIG");
    EXPECT_EQ(app.IsWin64Product(exe), L"64");
}

TEST_F(VersionFile, PathsThatAreNotCanonicalFindTheFileTheProductStartsFrom)
{
    WriteTextFile(folder / L"x64\\ProductVersion.xml", "<prefspostfix>12 R1</prefspostfix><platform>WIN64</platform>");
    MakeFolders(folder / L"x");
    for (const std::wstring& path : {folder / L"x\\..\\x64\\Plandrel.exe", folder.Path() + L"/x64\\Plandrel.exe",
                                    folder / L"x64\\\\Plandrel.exe", folder / L".\\x64\\Plandrel.exe"}) {
        EXPECT_EQ(app.ReadPrefsPostfix(path), L"12 R1") << path;
        EXPECT_EQ(app.IsWin64Product(path), L"64") << path;
    }
}

TEST_F(VersionFile, AFileOpenElsewhereIsNotReadEvenWhenThatOpenShares)
{
    WriteTextFile(xml, "<prefspostfix>X</prefspostfix>");
    const fw::UniqueFile other(::CreateFileW(xml.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other.valid());
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"");
}

TEST_F(VersionFile, AFileTooLargeToHoldGivesEmptyTexts)
{
    // 3 GiB, sparse: more than a 32-bit process can allocate at once. A
    // 64-bit process holds it: the file is read whole, as any other.
    if (sizeof(void*) == 8)
        GTEST_SKIP() << "a file too large for a 32-bit address space fits a 64-bit one";
    WriteTextFile(xml, "<prefspostfix>X</prefspostfix>");
    {
        const fw::UniqueFile file(
            ::CreateFileW(xml.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file.valid());
        DWORD returned = 0;
        ::DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        LARGE_INTEGER end = {};
        end.QuadPart = 3LL << 30;
        ASSERT_TRUE(::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.get()));
    }
    EXPECT_EQ(app.ReadPrefsPostfix(exe), L"");
    EXPECT_EQ(app.IsWin64Product(exe), L"");
}
