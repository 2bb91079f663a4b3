// Run in a 32-bit prefix (WINEARCH=win32): there is one registry view.
// Only the 32-bit program runs there.
#include "app/CleanerApp.h"
#include "support/TestFiles.h"
#include "support/TestRegistry.h"

#include <gtest/gtest.h>

using namespace testing_support;

TEST(Registry32, NoSecondViewAndTheSameCallDeletesTheMachineTree)
{
    if (sizeof(void*) == 8)
        GTEST_SKIP() << "a 32-bit prefix, the system with one registry view, runs no 64-bit program";
    BOOL wow64 = FALSE;
    if (::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64)
        GTEST_SKIP() << "a 32-bit Windows only: this one keeps a second registry view for 32-bit programs";
    if (!MayResetThisProfile())
        GTEST_SKIP() << kResetsThisProfile;
    CCleanerApp app;
    EXPECT_FALSE(app.HasWow6432Node());
    EXPECT_EQ(app.MachineViewFlag(), 0u);

    CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Velmora\\Plandrel\\17.0", View::Native);
    CreateKey(HKEY_LOCAL_MACHINE, L"Software\\VelmoraX", View::Native);
    app.DeleteRegistryKey(HKEY_LOCAL_MACHINE, L"Software\\Velmora");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Velmora", View::Native));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\VelmoraX", View::Native));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\VelmoraX", View::Native);

    CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Velmora\\Vaultry", View::Native);
    CreateKey(HKEY_LOCAL_MACHINE, L"Software\\Velmora\\Plandrel", View::Native);
    app.CleanMakerMachineTree(true, false);
    EXPECT_EQ(KeysBelow(HKEY_LOCAL_MACHINE, L"Software\\Velmora", View::Native),
              (std::set<std::wstring>{L"Software\\Velmora", L"Software\\Velmora\\Vaultry"}));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\Velmora", View::Native);
}
