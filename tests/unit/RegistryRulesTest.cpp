#include "selection/RegistryRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using cleaner::IsKeptLoggerEntry;
using cleaner::IsKeptMachineKey;
using cleaner::IsKeptPerUserKey;

TEST(PerUserRules, LevelOneKeepsExactlyThreeNames)
{
    for (const wchar_t* name : {L"EventLogger", L"UsageLogger", L"FindOutMore"})
        EXPECT_TRUE(IsKeptPerUserKey(name)) << "kept";
    for (const wchar_t* name : {L"eventlogger", L"EVENTLOGGER", L"EventLogger2", L"FindOutMore ", L"Find", L"",
                                L"UsageLogger>>>", L"Plandrel", L"General"})
        EXPECT_FALSE(IsKeptPerUserKey(name));
}

TEST(PerUserRules, LoggerEntriesByNameAndSevenCharacterPrefix)
{
    for (const wchar_t* name : {L"General", L"Beta_PL", L"Beta_PL2", L"Beta_VY_Test", L"Beta_VY", L"Beta_PLandrel"})
        EXPECT_TRUE(IsKeptLoggerEntry(name)) << "kept";
    for (const wchar_t* name : {L"General2", L"Beta_P", L"XBeta_PL", L"Gen", L"general", L"beta_PL", L"BETA_VY1",
                                L"Beta_Pl", L"Beta-PL", L"", L" General"})
        EXPECT_FALSE(IsKeptLoggerEntry(name));
}

TEST(MachineRules, TheFourFlagCombinationsAndWhichTestsTheyAsk)
{
    int asked = 0;
    const auto holds = [&asked](bool answer) {
        return [&asked, answer] {
            ++asked;
            return answer;
        };
    };
    struct Case {
        bool keepVaultry, keepQrx;
        const wchar_t* name;
        bool qrx;
        bool kept;
        int asks;
    };
    const std::vector<Case> cases = {
        // Both: the name first; QRX data asked only for other names.
        {true, true, L"Vaultry", false, true, 0},
        {true, true, L"Plandrel", true, true, 1},
        {true, true, L"Plandrel", false, false, 1},
        // Vaultry alone: the QRX test is never asked.
        {true, false, L"Vaultry", true, true, 0},
        {true, false, L"Plandrel", true, false, 0},
        {true, false, L"vaultry", false, false, 0},
        // QRX alone: asked for every name, "Vaultry" included.
        {false, true, L"Vaultry", false, false, 1},
        {false, true, L"Vaultry", true, true, 1},
        {false, true, L"Lumetra", true, true, 1},
        {false, true, L"Lumetra", false, false, 1},
        // Neither: nothing is removed and nothing asked.
        {false, false, L"Plandrel", true, true, 0},
        {false, false, L"Vaultry", false, true, 0},
    };
    for (const Case& c : cases) {
        asked = 0;
        EXPECT_EQ(IsKeptMachineKey(c.keepVaultry, c.keepQrx, c.name, holds(c.qrx)), c.kept)
            << c.keepVaultry << c.keepQrx << " " << std::wstring(c.name).size();
        EXPECT_EQ(asked, c.asks) << c.keepVaultry << c.keepQrx;
    }
}

TEST(MachineRules, QrxMarkerIsExact)
{
    EXPECT_TRUE(cleaner::IsQrxKeyName(L"Qrx"));
    for (const wchar_t* name : {L"qrx", L"QRX", L"Qrx ", L"Qrx2", L"XQrx", L""})
        EXPECT_FALSE(cleaner::IsQrxKeyName(name));
}
