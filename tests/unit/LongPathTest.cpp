#include "clean/LongPath.h"
#include "clean/PathRoots.h"

#include <gtest/gtest.h>

using cleaner::ExtendedLengthPath;

TEST(ExtendedLengthPath, DriveAndUncPathsGetThePrefixWhateverTheirLength)
{
    EXPECT_EQ(ExtendedLengthPath(L"C:\\a\\b"), L"\\\\?\\C:\\a\\b");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\a\\name ends in a dot."), L"\\\\?\\C:\\a\\name ends in a dot.");
    const std::wstring tail(600, L'x');
    EXPECT_EQ(ExtendedLengthPath(L"C:\\" + tail), L"\\\\?\\C:\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"z:\\" + tail), L"\\\\?\\z:\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\" + tail), L"\\\\?\\UNC\\server\\share\\" + tail);
}

TEST(ExtendedLengthPath, FormsThatMustNotBePrefixed)
{
    const std::wstring tail(300, L'x');
    const std::wstring already = L"\\\\?\\C:\\" + tail;
    EXPECT_EQ(ExtendedLengthPath(already), already);
    EXPECT_EQ(ExtendedLengthPath(L"relative\\" + tail), L"relative\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"C:" + tail), L"C:" + tail);  // drive-relative
    EXPECT_EQ(ExtendedLengthPath(L"\\\\.\\device\\" + tail), L"\\\\.\\device\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"1:\\" + tail), L"1:\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"\\rooted"), L"\\rooted");
    EXPECT_EQ(ExtendedLengthPath(L""), L"");
}

TEST(SplitAtLastName, ParentOfAFolderInARootKeepsTheRootBackslash)
{
    using cleaner::SplitAtLastName;
    const auto check = [](const wchar_t* path, const wchar_t* parent, const wchar_t* name) {
        const auto split = SplitAtLastName(path);
        ASSERT_TRUE(split.has_value()) << path;
        EXPECT_EQ(split->parent, parent);
        EXPECT_EQ(split->name, name);
    };
    check(L"C:\\Users\\jo", L"C:\\Users", L"jo");
    check(L"C:\\x", L"C:\\", L"x");
    check(L"\\\\srv\\share\\x", L"\\\\srv\\share\\", L"x");
    check(L"\\\\?\\C:\\x", L"\\\\?\\C:\\", L"x");
    check(L"\\\\?\\UNC\\srv\\share\\x\\y", L"\\\\?\\UNC\\srv\\share\\x", L"y");
    for (const wchar_t* root : {L"C:\\", L"C:", L"\\\\srv\\share", L"\\\\srv\\share\\", L"\\\\?\\C:\\", L"", L"C:\\x\\"})
        EXPECT_FALSE(SplitAtLastName(root).has_value()) << root;
}

TEST(IsOnDriveLetter, OnlyFullPathsOnALetterWhichLogonSessionsMapApart)
{
    using cleaner::IsOnDriveLetter;
    for (const wchar_t* path : {L"H:\\Documents", L"h:\\", L"\\\\?\\H:\\Documents"})
        EXPECT_TRUE(IsOnDriveLetter(path)) << path;
    for (const wchar_t* path : {L"\\\\srv\\home\\jo", L"\\\\?\\UNC\\srv\\home", L"H:relative", L"H:", L"1:\\x", L""})
        EXPECT_FALSE(IsOnDriveLetter(path)) << path;
}
