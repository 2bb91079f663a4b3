#include "clean/FolderList.h"

#include <gtest/gtest.h>

using Folders = std::vector<std::wstring>;

TEST(FolderList, StepsBuiltFromAUsualProfile)
{
    EXPECT_EQ(cleaner::LocalAppDataFolders(L"C:\\Users\\jo\\AppData\\Local"),
              (Folders{L"C:\\Users\\jo\\AppData\\Local\\Velmora", L"C:\\Users\\jo\\AppData\\Local\\VL-LW-Temp"}));
    EXPECT_EQ(cleaner::RoamingAncestorFolders(L"C:\\Users\\jo\\AppData\\Roaming"),
              (Folders{L"C:\\Users\\jo\\AppData\\Velmora", L"C:\\Users\\jo\\Velmora"}));
    EXPECT_EQ(cleaner::RoamingFolders(L"C:\\Users\\jo\\AppData\\Roaming"),
              (Folders{L"C:\\Users\\jo\\AppData\\Roaming\\Velmora", L"C:\\Users\\jo\\AppData\\Roaming\\Install.VL"}));
    EXPECT_EQ(cleaner::DocumentFolders(L"C:\\Users\\jo\\Documents"),
              (Folders{L"C:\\Users\\jo\\Documents\\Lumetra", L"C:\\Users\\jo\\Documents\\Quillo"}));
}

TEST(FolderList, CutKeepsTheTextBeforeTheLastBackslash)
{
    EXPECT_EQ(cleaner::CutAtLastBackslash(L"C:\\a\\b"), std::wstring(L"C:\\a"));
    EXPECT_EQ(cleaner::CutAtLastBackslash(L"C:\\a"), std::wstring(L"C:"));
    EXPECT_EQ(cleaner::CutAtLastBackslash(L"C:\\"), std::wstring(L"C:"));
    EXPECT_EQ(cleaner::CutAtLastBackslash(L"\\"), std::wstring());
    EXPECT_FALSE(cleaner::CutAtLastBackslash(L"C:").has_value());
    EXPECT_FALSE(cleaner::CutAtLastBackslash(L"").has_value());
    EXPECT_FALSE(cleaner::CutAtLastBackslash(L"C:/a/b").has_value());
}

TEST(FolderList, StepsThreeAndFourNeverReachARoot)
{
    struct Case {
        const wchar_t* roaming;
        Folders expected;
    };
    const Case cases[] = {
        // Usual and redirected profiles lose no step.
        {L"C:\\Users\\jo\\AppData\\Roaming", {L"C:\\Users\\jo\\AppData\\Velmora", L"C:\\Users\\jo\\Velmora"}},
        {L"\\\\srv\\profiles\\jo\\AppData\\Roaming",
         {L"\\\\srv\\profiles\\jo\\AppData\\Velmora", L"\\\\srv\\profiles\\jo\\Velmora"}},
        {L"\\\\?\\C:\\Users\\jo\\Roaming", {L"\\\\?\\C:\\Users\\jo\\Velmora", L"\\\\?\\C:\\Users\\Velmora"}},
        // Drive roots, with and without their backslash.
        {L"D:\\jo", {}},
        {L"D:\\jo\\Roaming", {L"D:\\jo\\Velmora"}},
        {L"D:\\", {}},
        {L"D:", {}},
        {L"\\\\?\\D:\\jo", {}},
        {L"\\\\?\\D:\\jo\\Roaming", {L"\\\\?\\D:\\jo\\Velmora"}},
        // Servers and shares.
        {L"\\\\srv\\profiles\\jo", {}},
        {L"\\\\srv\\profiles\\jo\\Roaming", {L"\\\\srv\\profiles\\jo\\Velmora"}},
        {L"\\\\srv\\profiles", {}},
        {L"\\\\?\\UNC\\srv\\profiles\\jo", {}},
        {L"\\\\?\\UNC\\srv\\profiles\\jo\\Roaming", {L"\\\\?\\UNC\\srv\\profiles\\jo\\Velmora"}},
        {L"\\\\?\\Volume{1234}\\jo", {}},
        // Odd spellings of a root are roots too.
        {L"\\\\srv\\\\profiles\\jo", {}},
        {L"D:/\\jo", {}},
        {L"\\jo", {}},
        {L"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cleaner::RoamingAncestorFolders(c.roaming), c.expected) << c.roaming;
}

TEST(FolderList, AFolderAtADriveRootIsJoinedWithOneBackslash)
{
    EXPECT_EQ(cleaner::DocumentFolders(L"D:\\"), (Folders{L"D:\\Lumetra", L"D:\\Quillo"}));
    EXPECT_EQ(cleaner::RoamingFolders(L"\\\\srv\\share\\"),
              (Folders{L"\\\\srv\\share\\Velmora", L"\\\\srv\\share\\Install.VL"}));
}
