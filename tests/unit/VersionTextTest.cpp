#include "app/ProductStart.h"
#include "selection/VersionText.h"
#include "ui/VersionKeyRules.h"

#include <gtest/gtest.h>

using cleaner::CollapseAmpersands;
using cleaner::FindPrefsPostfix;
using cleaner::PlatformSuffix;

TEST(VersionFilePath, OnlyTheBackslashSeparatesFolders)
{
    EXPECT_EQ(cleaner::VersionFilePath(L"C:\\P\\Plandrel.exe"), L"C:\\P\\ProductVersion.xml");
    EXPECT_EQ(cleaner::VersionFilePath(L"\\Plandrel.exe"), L"\\ProductVersion.xml");
    EXPECT_EQ(cleaner::VersionFilePath(L"Plandrel.exe"), L"");
    EXPECT_EQ(cleaner::VersionFilePath(L"C:/P/Plandrel.exe"), L"");
    EXPECT_EQ(cleaner::VersionFilePath(L"C:\\A/B\\C/Plandrel.exe"), L"C:\\A/B\\ProductVersion.xml");
}

TEST(PrefsPostfix, TextBetweenTheFirstTagsUnchanged)
{
    EXPECT_EQ(FindPrefsPostfix(L"<v><prefspostfix>12.0.0 INT R1</prefspostfix></v>"), L"12.0.0 INT R1");
    EXPECT_EQ(FindPrefsPostfix(L"<prefspostfix> a\r\n b\t</prefspostfix>"), L" a\r\n b\t");
    EXPECT_EQ(FindPrefsPostfix(L"\uFEFF<prefspostfix>X</prefspostfix>"), L"X");
    // The second element is ignored.
    EXPECT_EQ(FindPrefsPostfix(L"<prefspostfix>one</prefspostfix><prefspostfix>two</prefspostfix>"), L"one");
}

TEST(PrefsPostfix, AbsentOrMalformedGivesEmpty)
{
    EXPECT_EQ(FindPrefsPostfix(L""), L"");
    EXPECT_EQ(FindPrefsPostfix(L"<prefspostfix></prefspostfix>"), L"");
    EXPECT_EQ(FindPrefsPostfix(L"<prefspostfix>no end"), L"");
    EXPECT_EQ(FindPrefsPostfix(L"no start</prefspostfix>"), L"");
    // The first closing tag stands before the opening tag.
    EXPECT_EQ(FindPrefsPostfix(L"</prefspostfix><prefspostfix>x</prefspostfix>"), L"");
    // Attributes or blanks inside the brackets: the tag is not found.
    EXPECT_EQ(FindPrefsPostfix(L"<prefspostfix a=\"1\">x</prefspostfix>"), L"");
    EXPECT_EQ(FindPrefsPostfix(L"<prefspostfix >x</prefspostfix>"), L"");
    EXPECT_EQ(FindPrefsPostfix(L"<PrefsPostfix>x</PrefsPostfix>"), L"");
    // The closing tag overlapping the opening one.
    EXPECT_EQ(FindPrefsPostfix(L"<prefspostfix</prefspostfix>"), L"");
}

TEST(Ampersands, CollapseSearchesAgainFromTheStart)
{
    EXPECT_EQ(CollapseAmpersands(L"R&amp;D"), L"R&D");
    EXPECT_EQ(CollapseAmpersands(L"&amp;amp;"), L"&");
    EXPECT_EQ(CollapseAmpersands(L"&amp;amp;amp;x"), L"&x");
    EXPECT_EQ(CollapseAmpersands(L"a&&amp;amp;b&amp;"), L"a&&b&");
    EXPECT_EQ(CollapseAmpersands(L"&lt;&gt;&quot;&apos;&#38;&amp"), L"&lt;&gt;&quot;&apos;&#38;&amp");
    EXPECT_EQ(CollapseAmpersands(L"&AMP;"), L"&AMP;");
    EXPECT_EQ(CollapseAmpersands(L""), L"");
}

TEST(Platform, OnlyTheExactElementMarksTheSixtyFourBitBuild)
{
    EXPECT_EQ(PlatformSuffix(L"<a><platform>WIN64</platform></a>"), L"64");
    for (const wchar_t* text : {L"<platform>win64</platform>", L"<platform> WIN64 </platform>",
                                L"<platform>WIN32</platform>", L"<platform x=\"\">WIN64</platform>",
                                L"<Platform>WIN64</Platform>", L""})
        EXPECT_EQ(PlatformSuffix(text), L"");
}

TEST(VersionKeyNames, DefaultPrefixWithoutAPostfix)
{
    EXPECT_TRUE(cleaner::IsVersionKeyName(L"Plandrel 10.0.0", L"", L""));
    EXPECT_TRUE(cleaner::IsVersionKeyName(L"Plandrel 10.0.0 INT R1", L"", L""));
    EXPECT_TRUE(cleaner::IsVersionKeyName(L"Plandrel 10.0.0 INT R1", L"", L"64"));
    EXPECT_FALSE(cleaner::IsVersionKeyName(L"plandrel 10.0.0 INT", L"", L""));
    EXPECT_FALSE(cleaner::IsVersionKeyName(L"Plandrel 10.0.", L"", L""));
    EXPECT_FALSE(cleaner::IsVersionKeyName(L"Plandrel 11.0.0", L"", L""));
}

TEST(VersionKeyNames, PostfixComparedWithoutRegardToCase)
{
    EXPECT_TRUE(cleaner::IsVersionKeyName(L"Plandrel 12.0.0 INT R1", L"12.0.0 INT R1", L""));
    EXPECT_TRUE(cleaner::IsVersionKeyName(L"PLANDREL 12.0.0 int r1", L"12.0.0 INT R1", L""));
    EXPECT_FALSE(cleaner::IsVersionKeyName(L"Plandrel 12.0.0 INT R1 (2)", L"12.0.0 INT R1", L""));
    EXPECT_FALSE(cleaner::IsVersionKeyName(L"Plandrel  12.0.0 INT R1", L"12.0.0 INT R1", L""));
    EXPECT_FALSE(cleaner::IsVersionKeyName(L"Plandrel-64 12.0.0 INT R1", L"12.0.0 INT R1", L""));
    EXPECT_TRUE(cleaner::IsVersionKeyName(L"Plandrel-64 12.0.0 INT R1", L"12.0.0 INT R1", L"64"));
    EXPECT_FALSE(cleaner::IsVersionKeyName(L"Plandrel 12.0.0 INT R1", L"12.0.0 INT R1", L"64"));
}

TEST(VersionKeyNames, ProductKeyByPlatform)
{
    EXPECT_EQ(cleaner::ProductKeyPath(L""), L"Software\\Velmora\\Plandrel");
    EXPECT_EQ(cleaner::ProductKeyPath(L"64"), L"Software\\Velmora\\Plandrel-64");
    EXPECT_EQ(std::wstring(cleaner::kDevelopmentServiceUrl).substr(0, 8), L"https://");
    const std::wstring url = cleaner::kDevelopmentServiceUrl;
    EXPECT_EQ(url.substr(url.size() - 19), L"/objectservice.svc/");
}

TEST(ProductStart, CommandLineIsNeverCut)
{
    EXPECT_EQ(cleaner::ProductCommandLine(L"C:\\Program Files\\Plandrel\\Plandrel.exe"),
              L"\"C:\\Program Files\\Plandrel\\Plandrel.exe\" /REGSERVER");
    const std::wstring longPath = L"C:\\" + std::wstring(250, L'p') + L"\\Plandrel.exe";
    const std::wstring line = cleaner::ProductCommandLine(longPath);
    EXPECT_EQ(line.size(), longPath.size() + 13);
    EXPECT_EQ(line.substr(line.size() - 12), L"\" /REGSERVER");
}

TEST(ProductStart, PathsWithQuotesAreNeverStarted)
{
    EXPECT_TRUE(cleaner::CanStartProductPath(L"C:\\P Q\\Plandrel.exe"));
    // From the argument "C:\T\x" "C:\P\Plandrel.exe": started, it would run C:\T\x.
    EXPECT_FALSE(cleaner::CanStartProductPath(L"C:\\T\\x\" \"C:\\P\\Plandrel.exe"));
    EXPECT_FALSE(cleaner::CanStartProductPath(L""));
}
