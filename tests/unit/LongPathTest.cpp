#include "clean/LongPath.h"

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
