// Registry key removal and the selective walks, on the test prefix's real
// registry (a 64-bit prefix: the machine tree lives in the 64-bit view).
#include "app/CleanerApp.h"
#include "support/TestProfile.h"
#include "support/TestRegistry.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const std::wstring kMaker = L"Software\\Velmora";
std::wstring M(const std::wstring& relative) { return kMaker + L"\\" + relative; }

class Registry : public ::testing::Test {
protected:
    CCleanerApp app;

    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() { ClearMakerTrees(); }
    static std::set<std::wstring> Below(HKEY root, const std::wstring& path = kMaker)
    {
        return KeysBelow(root, path);
    }
};

}  // namespace

TEST_F(Registry, PrefixIsASixtyFourBitSystem)
{
    ASSERT_TRUE(Is64BitSystem()) << "these tests expect a 64-bit prefix";
    EXPECT_TRUE(app.HasWow6432Node());
    EXPECT_EQ(app.MachineViewFlag(), static_cast<REGSAM>(KEY_WOW64_64KEY));
}

TEST_F(Registry, DeleteRegistryKeyRemovesTheKeyWithEverythingBelowIt)
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        CreateKey(root, M(L"Plandrel\\17.0\\Deep"));
        SetStringValue(root, kMaker, L"Direct", L"value");
        CreateKey(root, L"Software\\VelmoraX\\Keep");
        CreateKey(root, L"Software\\Other\\Velmora");

        app.DeleteRegistryKey(root, kMaker);
        EXPECT_FALSE(KeyExists(root, kMaker));
        EXPECT_TRUE(KeyExists(root, L"Software\\VelmoraX\\Keep"));
        EXPECT_TRUE(KeyExists(root, L"Software\\Other\\Velmora"));
        EXPECT_TRUE(KeyExists(root, L"Software"));

        // Missing keys and missing parents: nothing happens, nothing breaks,
        // and gone is gone.
        EXPECT_FALSE(app.DeleteRegistryKey(root, kMaker));
        EXPECT_FALSE(app.DeleteRegistryKey(root, L"Software\\NoSuchParent\\NoSuchKey"));
        EXPECT_TRUE(KeyExists(root, L"Software\\VelmoraX\\Keep"));
    }
}

TEST_F(Registry, KeyPathWithoutBackslashIsDirectlyBelowTheRoot)
{
    CreateKey(HKEY_CURRENT_USER, L"TopLevelTestKey\\Child");
    app.DeleteRegistryKey(HKEY_CURRENT_USER, L"TopLevelTestKey");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"TopLevelTestKey"));
}

TEST_F(Registry, MachineWorkLandsInTheSixtyFourBitViewOnly)
{
    CreateKey(HKEY_LOCAL_MACHINE, M(L"Plandrel\\17.0"), View::Bits64);
    CreateKey(HKEY_LOCAL_MACHINE, M(L"Plandrel\\17.0"), View::Bits32);
    ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\Velmora\\Plandrel", View::Bits64));

    app.DeleteRegistryKey(HKEY_LOCAL_MACHINE, kMaker);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMaker, View::Bits64));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, M(L"Plandrel\\17.0"), View::Bits32));

    // The walks read the 64-bit view too.
    CreateKey(HKEY_LOCAL_MACHINE, M(L"Plandrel\\17.0"), View::Bits64);
    CreateKey(HKEY_LOCAL_MACHINE, M(L"Lumetra\\3.0\\Qrx"), View::Bits64);
    app.CleanMakerMachineTree(false, true);
    EXPECT_EQ(Below(HKEY_LOCAL_MACHINE), (std::set<std::wstring>{kMaker, M(L"Lumetra"), M(L"Lumetra\\3.0"),
                                                                  M(L"Lumetra\\3.0\\Qrx")}));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, M(L"Plandrel\\17.0"), View::Bits32));
}

TEST_F(Registry, PerUserWalkKeepsLoggersAndValuesOfTheMakerKey)
{
    for (const wchar_t* key : {L"EventLogger\\General", L"EventLogger\\Beta_PL2", L"EventLogger\\General2",
                               L"UsageLogger\\Beta_VY_Test\\Deep", L"UsageLogger\\Gen", L"FindOutMore\\Pages",
                               L"Plandrel\\17.0", L"eventlogger\\General", L"Lumetra"})
        CreateKey(HKEY_CURRENT_USER, M(key));
    SetStringValue(HKEY_CURRENT_USER, kMaker, L"InstallDir", L"C:\\P");
    SetStringValue(HKEY_CURRENT_USER, M(L"EventLogger"), L"Level", L"3");

    app.CleanMakerRegistryTree();

    EXPECT_EQ(Below(HKEY_CURRENT_USER),
              (std::set<std::wstring>{kMaker, M(L"EventLogger"), M(L"EventLogger\\General"),
                                      M(L"EventLogger\\Beta_PL2"), M(L"UsageLogger"), M(L"UsageLogger\\Beta_VY_Test"),
                                      M(L"UsageLogger\\Beta_VY_Test\\Deep"), M(L"FindOutMore"),
                                      M(L"FindOutMore\\Pages")}));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kMaker, L"InstallDir"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, M(L"EventLogger"), L"Level"));
}

TEST_F(Registry, NamesWithMarkersAndLongNamesAreJudgedAndRemovedLikeAnyOther)
{
    const std::wstring longName(255, L'L');
    CreateKey(HKEY_CURRENT_USER, M(L"A>>>B"));
    CreateKey(HKEY_CURRENT_USER, M(L"FindOutMore>>>"));
    CreateKey(HKEY_CURRENT_USER, M(longName + L"\\Inside"));
    CreateKey(HKEY_CURRENT_USER, M(L"ZZ After The Long One"));
    CreateKey(HKEY_CURRENT_USER, M(L"FindOutMore"));
    CreateKey(HKEY_CURRENT_USER, M(L"EventLogger\\" + longName));
    CreateKey(HKEY_CURRENT_USER, M(L"EventLogger\\Beta_PL" + std::wstring(248, L'x')));
    CreateKey(HKEY_CURRENT_USER, M(L"EventLogger\\Zeta"));
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, M(longName)));

    app.CleanMakerRegistryTree();

    EXPECT_EQ(Below(HKEY_CURRENT_USER),
              (std::set<std::wstring>{kMaker, M(L"FindOutMore"), M(L"EventLogger"),
                                      M(L"EventLogger\\Beta_PL" + std::wstring(248, L'x'))}));
}

TEST_F(Registry, MachineWalkFlagCombinations)
{
    const auto seed = [] {
        for (const wchar_t* key : {L"Vaultry\\Server", L"Plandrel\\17.0\\Qrx", L"Plandrel\\16.0", L"Lumetra\\3.0",
                                   L"TooHigh\\Qrx", L"TooDeep\\1.0\\Sub\\Qrx", L"Lower\\1.0\\qrx"})
            CreateKey(HKEY_LOCAL_MACHINE, M(key));
        SetStringValue(HKEY_LOCAL_MACHINE, kMaker, L"Direct", L"stays");
    };
    const std::set<std::wstring> vaultry = {M(L"Vaultry"), M(L"Vaultry\\Server")};
    const std::set<std::wstring> plandrel = {M(L"Plandrel"), M(L"Plandrel\\17.0"), M(L"Plandrel\\17.0\\Qrx"),
                                             M(L"Plandrel\\16.0")};

    const auto expectKept = [&](std::set<std::wstring> expected, const char* what) {
        expected.insert(kMaker);
        EXPECT_EQ(Below(HKEY_LOCAL_MACHINE), expected) << what;
        EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kMaker, L"Direct")) << what;
    };

    seed();
    app.CleanMakerMachineTree(true, false);
    expectKept(vaultry, "Vaultry alone");

    Clear();
    seed();
    app.CleanMakerMachineTree(false, true);
    expectKept(plandrel, "QRX alone");

    Clear();
    seed();
    app.CleanMakerMachineTree(true, true);
    std::set<std::wstring> both = vaultry;
    both.insert(plandrel.begin(), plandrel.end());
    expectKept(both, "both");

    // With QRX alone, a Vaultry key that holds QRX data itself stays.
    Clear();
    CreateKey(HKEY_LOCAL_MACHINE, M(L"Vaultry\\2.0\\Qrx"));
    app.CleanMakerMachineTree(false, true);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, M(L"Vaultry\\2.0\\Qrx")));
}

TEST_F(Registry, QrxTests)
{
    CreateKey(HKEY_LOCAL_MACHINE, M(L"Plandrel\\A"));
    CreateKey(HKEY_LOCAL_MACHINE, M(L"Plandrel\\B\\Qrx"));
    EXPECT_TRUE(app.HoldsQrxData(M(L"Plandrel")));
    EXPECT_TRUE(app.HasQrxSubkey(M(L"Plandrel\\B")));
    EXPECT_FALSE(app.HasQrxSubkey(M(L"Plandrel\\A")));
    EXPECT_FALSE(app.HoldsQrxData(M(L"Plandrel\\B")));
    EXPECT_FALSE(app.HoldsQrxData(M(L"Missing")));
}

// Registry links planted in the maker's trees, made through the documented
// calls, each naming a key outside them. The links the rules delete go as
// themselves; the rest stay; what they name keeps every key and value.
class RegistryLinks : public Registry {
protected:
    const std::wstring userTarget = L"Software\\Other";
    const std::wstring machineTarget = L"Software\\OtherVendor";

    void SetUp() override
    {
        Registry::SetUp();
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            CreateKey(root, Target(root) + L"\\Sub\\Deeper");
            CreateKey(root, Target(root) + L"\\17.0\\Qrx");
            SetStringValue(root, Target(root), L"Keep", L"1");
        }
    }

    const std::wstring& Target(HKEY root) const { return root == HKEY_CURRENT_USER ? userTarget : machineTarget; }

    void ExpectTargetsIntact(const char* when)
    {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            const std::wstring& target = Target(root);
            EXPECT_EQ(Below(root, target), (std::set<std::wstring>{target, target + L"\\Sub", target + L"\\Sub\\Deeper",
                                                                   target + L"\\17.0", target + L"\\17.0\\Qrx"}))
                << when;
            EXPECT_TRUE(ValueExists(root, target, L"Keep")) << when;
        }
    }
};

TEST_F(RegistryLinks, AMakerKeyThatIsALinkGoesAsItselfWholeOrThinnedOut)
{
    for (int thinned = 0; thinned < 2; ++thinned) {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            CreateLink(root, kMaker, Target(root));
        ASSERT_TRUE(LinkExists(HKEY_CURRENT_USER, kMaker) && LinkExists(HKEY_LOCAL_MACHINE, kMaker));
        if (thinned) {
            app.CleanMakerRegistryTree();
            app.CleanMakerMachineTree(true, true);
        } else {
            app.DeleteRegistryKey(HKEY_CURRENT_USER, kMaker);
            app.DeleteRegistryKey(HKEY_LOCAL_MACHINE, kMaker);
        }
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMaker)) << thinned;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMaker)) << thinned;
        ExpectTargetsIntact(thinned ? "thinned out" : "deleted whole");
    }
}

TEST_F(RegistryLinks, LinksBelowTheMakerKeysAreNeverEntered)
{
    CreateKey(HKEY_CURRENT_USER, M(L"EventLogger"));
    CreateLink(HKEY_CURRENT_USER, M(L"EventLogger\\Link"), userTarget);
    CreateLink(HKEY_CURRENT_USER, M(L"EventLogger\\General"), userTarget);  // a kept name
    CreateLink(HKEY_CURRENT_USER, M(L"Lumetra"), userTarget);
    CreateKey(HKEY_LOCAL_MACHINE, M(L"Vaultry\\Server"));
    CreateLink(HKEY_LOCAL_MACHINE, M(L"Vaultry\\Link"), machineTarget);
    // Its target holds QRX data; the link holds none of its own.
    CreateLink(HKEY_LOCAL_MACHINE, M(L"Plandrel"), machineTarget);
    EXPECT_FALSE(app.HoldsQrxData(M(L"Plandrel")));
    EXPECT_FALSE(app.HasQrxSubkey(M(L"Plandrel\\17.0")));

    app.CleanMakerRegistryTree();
    app.CleanMakerMachineTree(true, true);
    EXPECT_FALSE(LinkExists(HKEY_CURRENT_USER, M(L"EventLogger\\Link")));
    EXPECT_TRUE(LinkExists(HKEY_CURRENT_USER, M(L"EventLogger\\General")));
    EXPECT_FALSE(LinkExists(HKEY_CURRENT_USER, M(L"Lumetra")));
    EXPECT_TRUE(LinkExists(HKEY_LOCAL_MACHINE, M(L"Vaultry\\Link")));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, M(L"Vaultry\\Server")));
    EXPECT_FALSE(LinkExists(HKEY_LOCAL_MACHINE, M(L"Plandrel")));
    ExpectTargetsIntact("thinned out");

    // Deleted whole, the links inside go with the tree, as themselves.
    app.DeleteRegistryKey(HKEY_CURRENT_USER, kMaker);
    app.DeleteRegistryKey(HKEY_LOCAL_MACHINE, kMaker);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMaker));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMaker));
    ExpectTargetsIntact("deleted whole");
}

namespace {

// Refuses the deletion of one key as Windows refuses a user's program the
// machine's entries, or a key whose security an installer set.
class RefusingApp final : public CCleanerApp {
public:
    HKEY refusedRoot = nullptr;
    std::wstring refused;
    LONG DeleteKeyItself(HKEY root, const std::wstring& path, HKEY key) override
    {
        return root == refusedRoot && path == refused ? ERROR_ACCESS_DENIED
                                                      : CCleanerApp::DeleteKeyItself(root, path, key);
    }
};

std::string AccessDeniedText()
{
    wchar_t text[256] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          ERROR_ACCESS_DENIED, 0, text, 256, nullptr);
    std::wstring message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return Narrow(message);
}

}  // namespace

// A key that would not go, whole tree or thinned, per-user or machine,
// fails the silent run (exit code 1), is named in the report lines and the
// failure text, and the rest of the tree still goes; a missing key is gone.
TEST_F(Registry, AKeyThatWouldNotGoFailsTheRunAndIsNamed)
{
    struct Case {
        const char* settings;
        HKEY root;
        std::wstring refused;
        std::wstring shown;  // the entry of the detail line
        bool advice;
    };
    const std::vector<Case> cases = {
        {"KeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=0\r\n", HKEY_CURRENT_USER, M(L"Plandrel\\17.0"),
         L"Plandrel\\17.0", false},
        {"KeepSNFindOutMore=1\r\nKeepVaultry=0\r\nKeepQRX=0\r\n", HKEY_CURRENT_USER, M(L"EventLogger\\Other"),
         L"EventLogger\\Other", false},
        {"KeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=0\r\n", HKEY_LOCAL_MACHINE, kMaker, L"the key itself", true},
        {"KeepSNFindOutMore=0\r\nKeepVaultry=1\r\nKeepQRX=0\r\n", HKEY_LOCAL_MACHINE, M(L"Lumetra"), L"Lumetra", true},
        // Not there: nothing to refuse, the run succeeds.
        {"KeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=0\r\n", HKEY_LOCAL_MACHINE, M(L"NoSuchKey"), L"", false},
    };
    TempFolder folder;
    const std::string denied = AccessDeniedText();
    // The dialog's line ends in one period of its own.
    const std::wstring reason(denied.begin(), denied.end() - (denied.back() == '.' ? 1 : 0));
    for (const Case& c : cases) {
        Clear();
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            for (const wchar_t* key : {L"Plandrel\\17.0\\Deep", L"Plandrel\\16.0", L"EventLogger\\Other", L"Lumetra\\3.0",
                                       L"Vaultry\\Server"})
                CreateKey(root, M(key));
        }
        WriteTextFile(folder / L"Settings.ini", std::string("[Settings]\r\n") + c.settings);
        RefusingApp run;
        run.refusedRoot = c.root;
        run.refused = c.refused;
        run.m_silent = TRUE;
        run.m_settingsPath = folder / L"Settings.ini";
        ErrorFile errors;
        HANDLE previous = ::GetStdHandle(STD_ERROR_HANDLE);
        ::SetStdHandle(STD_ERROR_HANDLE, errors.Handle());
        run.m_report.emplace();
        const BOOL cleaned = run.CleanProfile();
        ::SetStdHandle(STD_ERROR_HANDLE, previous);

        const std::string what = c.settings + Narrow(c.refused);
        const bool missing = c.shown.empty();
        EXPECT_EQ(cleaned != FALSE, missing) << what;
        EXPECT_EQ(cleaner::ExitCodeFor(run.Outcome()), missing ? 0 : 1) << what;
        EXPECT_EQ(run.m_summary.registry, missing ? cleaner::RegistryState::Cleaned : cleaner::RegistryState::Stayed)
            << what;
        const std::wstring rootName = c.root == HKEY_LOCAL_MACHINE ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CURRENT_USER\\";
        const std::string tree = Narrow(rootName + kMaker);
        const std::wstring advice = c.advice ? L"the machine's entries need the cleaner run as administrator" : L"";
        EXPECT_EQ(errors.Text(), missing ? "" : "stayed\t" + tree + "\t" + Narrow(rootName + c.refused) + "\t5\t" +
                                                   denied + "\t\t" + Narrow(advice) + "\r\n")
            << what;
        const std::wstring text = run.FailureText();
        const std::wstring tail = L"\t" + rootName + kMaker + L"\n\t\t" + c.shown + L": " + reason +
                                  (c.advice ? L"; " + advice : L"") + L".\n";
        if (missing)
            EXPECT_EQ(text.find(L"HKEY_"), std::wstring::npos) << what;
        else
            EXPECT_EQ(text.substr(text.size() - std::min(text.size(), tail.size())), tail) << what << Narrow(text);
        // What was not refused went, siblings of the refused key too.
        if (!missing) {
            EXPECT_TRUE(KeyExists(c.root, c.refused)) << what;
            EXPECT_FALSE(KeyExists(c.root, M(L"Plandrel\\16.0"))) << what;
        }
    }
}
