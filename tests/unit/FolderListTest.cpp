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

TEST(FolderList, RootsWithoutEnoughBackslashesNeverNameAnotherPlace)
{
    // One level below the drive: the grandparent would be above the root.
    EXPECT_EQ(cleaner::RoamingAncestorFolders(L"C:\\Roaming"), (Folders{L"C:\\Velmora"}));
    // No backslash at all: neither ancestor exists.
    EXPECT_TRUE(cleaner::RoamingAncestorFolders(L"C:").empty());
    EXPECT_TRUE(cleaner::RoamingAncestorFolders(L"").empty());
    // A UNC profile keeps its server part.
    EXPECT_EQ(cleaner::RoamingAncestorFolders(L"\\\\srv\\share\\jo\\Roaming"),
              (Folders{L"\\\\srv\\share\\jo\\Velmora", L"\\\\srv\\share\\Velmora"}));
}
