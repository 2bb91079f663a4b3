// The real program in silent runs on seeded per-user and machine trees,
// checked key by key for each combination of the settings file.
#include "support/TestFiles.h"
#include "support/TestProfile.h"
#include "support/TestRegistry.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

const std::wstring kMaker = L"Software\\Velmora";
std::wstring M(const std::wstring& relative) { return kMaker + L"\\" + relative; }
using Keys = std::set<std::wstring>;

const Keys kThinnedUserTree = {kMaker,
                               M(L"EventLogger"),
                               M(L"EventLogger\\General"),
                               M(L"EventLogger\\Beta_PL1"),
                               M(L"UsageLogger"),
                               M(L"UsageLogger\\Beta_VY2"),
                               M(L"FindOutMore"),
                               M(L"FindOutMore\\Pages")};
const Keys kVaultryOnly = {kMaker, M(L"Vaultry"), M(L"Vaultry\\Server")};
const Keys kQrxOnly = {kMaker, M(L"Plandrel"), M(L"Plandrel\\17.0"), M(L"Plandrel\\17.0\\Qrx"), M(L"Plandrel\\16.0")};
const Keys kGone = {};

Keys Union(const Keys& a, const Keys& b)
{
    Keys out = a;
    out.insert(b.begin(), b.end());
    return out;
}

class RegistryRun : public ::testing::Test {
protected:
    InstalledCleaner cleaner;

    void SetUp() override
    {
        Clear();
        Seed();
    }
    void TearDown() override { Clear(); }

    static void Clear() { ClearMakerTrees(); }

    static void Seed()
    {
        for (const wchar_t* key : {L"EventLogger\\General", L"EventLogger\\Beta_PL1", L"EventLogger\\General2",
                                   L"UsageLogger\\Beta_VY2", L"UsageLogger\\XBeta_PL", L"FindOutMore\\Pages",
                                   L"Plandrel\\17.0", L"Lumetra"})
            CreateKey(HKEY_CURRENT_USER, M(key));
        for (const wchar_t* key : {L"Vaultry\\Server", L"Plandrel\\17.0\\Qrx", L"Plandrel\\16.0", L"Lumetra\\3.0",
                                   L"TooHigh\\Qrx"})
            CreateKey(HKEY_LOCAL_MACHINE, M(key));
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            SetStringValue(root, kMaker, L"InstallDir", L"C:\\Program Files\\Velmora");
            CreateKey(root, L"Software\\VelmoraX\\Keep");
            CreateKey(root, L"Software\\Other\\Velmora\\Keep");
        }
        CreateKey(HKEY_LOCAL_MACHINE, M(L"Plandrel\\17.0"), View::Bits32);
    }

    void Expect(const Keys& user, const Keys& machine, const std::string& settings)
    {
        EXPECT_EQ(KeysBelow(HKEY_CURRENT_USER, kMaker), user) << settings;
        EXPECT_EQ(KeysBelow(HKEY_LOCAL_MACHINE, kMaker), machine) << settings;
        // A thinned tree keeps the maker key's own values.
        EXPECT_EQ(ValueExists(HKEY_CURRENT_USER, kMaker, L"InstallDir"), !user.empty()) << settings;
        EXPECT_EQ(ValueExists(HKEY_LOCAL_MACHINE, kMaker, L"InstallDir"), !machine.empty()) << settings;
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            EXPECT_TRUE(KeyExists(root, L"Software\\VelmoraX\\Keep")) << settings;
            EXPECT_TRUE(KeyExists(root, L"Software\\Other\\Velmora\\Keep")) << settings;
        }
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, M(L"Plandrel\\17.0"), View::Bits32)) << settings;
    }

    void RunWith(const std::string& settings)
    {
        if (settings == "missing")
            cleaner.RemoveSettings();
        else
            cleaner.WriteSettings(settings);
        const RunResult run = cleaner.Run(L"/S");
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.exitCode, 0u);
    }
};

struct Scenario {
    std::string settings;
    Keys user;
    Keys machine;
};

}  // namespace

TEST_F(RegistryRun, EachSettingsCombinationGivesItsTree)
{
    const std::vector<Scenario> scenarios = {
        {"missing", kThinnedUserTree, Union(kVaultryOnly, kQrxOnly)},
        {"KeepRegistry=0\r\nKeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=0\r\n", kGone, kGone},
        // A silent run cleans the registry whatever "KeepRegistry" says.
        {"KeepRegistry=1\r\nKeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=0\r\n", kGone, kGone},
        {"KeepRegistry=0\r\nKeepSNFindOutMore=1\r\nKeepVaultry=0\r\nKeepQRX=0\r\n", kThinnedUserTree, kGone},
        {"KeepRegistry=0\r\nKeepSNFindOutMore=0\r\nKeepVaultry=1\r\nKeepQRX=0\r\n", kGone, kVaultryOnly},
        {"KeepRegistry=0\r\nKeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=1\r\n", kGone, kQrxOnly},
        {"KeepRegistry=2\r\nKeepSNFindOutMore=true\r\nKeepVaultry=\r\nKeepQRX=10\r\n", kGone, kGone},
        // Keys left out of the file read as "1".
        {"KeepQRX=0\r\n", kThinnedUserTree, kVaultryOnly},
    };
    for (const Scenario& scenario : scenarios) {
        Clear();
        Seed();
        RunWith(scenario.settings);
        Expect(scenario.user, scenario.machine, scenario.settings);
    }
}

// Links planted where the issue reports reached outside the maker's trees:
// at level 1, below a logger, and in the machine tree.
TEST_F(RegistryRun, LinksInTheTreesNeverReachWhatTheyName)
{
    for (const std::string settings : {"missing", "KeepSNFindOutMore=1\r\nKeepVaultry=1\r\nKeepQRX=0\r\n",
                                       "KeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=0\r\n"}) {
        Clear();
        Seed();
        CreateKey(HKEY_CURRENT_USER, L"Software\\Other\\Sub");
        CreateKey(HKEY_LOCAL_MACHINE, L"Software\\OtherVendor\\Sub");
        SetStringValue(HKEY_LOCAL_MACHINE, L"Software\\OtherVendor", L"Keep", L"1");
        const Keys user = KeysBelow(HKEY_CURRENT_USER, L"Software\\Other");
        const Keys machine = KeysBelow(HKEY_LOCAL_MACHINE, L"Software\\OtherVendor");
        CreateLink(HKEY_CURRENT_USER, M(L"Link"), L"Software\\Other");
        CreateLink(HKEY_CURRENT_USER, M(L"EventLogger\\Link"), L"Software\\Other");
        CreateLink(HKEY_LOCAL_MACHINE, M(L"Link"), L"Software\\OtherVendor");

        RunWith(settings);
        EXPECT_EQ(KeysBelow(HKEY_CURRENT_USER, L"Software\\Other"), user) << settings;
        EXPECT_EQ(KeysBelow(HKEY_LOCAL_MACHINE, L"Software\\OtherVendor"), machine) << settings;
        EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, L"Software\\OtherVendor", L"Keep")) << settings;
        for (const wchar_t* link : {L"Link", L"EventLogger\\Link"})
            EXPECT_FALSE(LinkExists(HKEY_CURRENT_USER, M(link))) << settings;
        EXPECT_FALSE(LinkExists(HKEY_LOCAL_MACHINE, M(L"Link"))) << settings;
    }
}

namespace {

// A key below PATH that Wine, like Windows, refuses to delete through any
// Win32 name: its own name holds a zero. Its parent then cannot go either.
bool ZeroKey(const wchar_t* action, const wchar_t* root, const std::wstring& path)
{
    return RunCommandLine(L"\"" + ProgramFolder() + L"\\window_probe.exe\" zerokey " + action + L" " + root + L" \"" +
                          path + L"\"")
               .exitCode == 0;
}

}  // namespace

// A tree that could not be removed fails the run and says so; the rest of
// it still goes, and nothing beside it is touched.
TEST_F(RegistryRun, ATreeThatStaysFailsTheRunAndIsNamed)
{
    ASSERT_TRUE(ZeroKey(L"add", L"HKCU", M(L"Race")));
    ASSERT_TRUE(ZeroKey(L"add", L"HKLM", M(L"Race")));
    cleaner.WriteSettings("KeepRegistry=0\r\nKeepSNFindOutMore=0\r\nKeepVaultry=1\r\nKeepQRX=0\r\n");
    ErrorFile errors;
    const RunResult run = cleaner.Run(L"/S", 120000, errors.Handle());
    EXPECT_EQ(run.exitCode, 1u);
    const std::string text = errors.Text();
    for (const char* root : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"}) {
        const std::string line = std::string("stayed\t") + root + "\\Software\\Velmora\t" + root +
                                 "\\Software\\Velmora\\Race\t5\t";
        EXPECT_NE(text.find(line), std::string::npos) << text;
    }
    EXPECT_NE(text.find("end\tremoved=0\tstayed=0\tregistry=stayed\tproduct=none\texit=1\tproduct-code=0\tended=normally\tmode=clean\r\n"), std::string::npos)
        << text;
    // Whole in the user's tree, thinned in the machine's: all but the key
    // that would not go, and its parents, went; the spared key stayed.
    EXPECT_EQ(KeysBelow(HKEY_CURRENT_USER, kMaker), (Keys{kMaker, M(L"Race")}));
    EXPECT_EQ(KeysBelow(HKEY_LOCAL_MACHINE, kMaker), Union(kVaultryOnly, {M(L"Race")}));
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        EXPECT_TRUE(KeyExists(root, L"Software\\VelmoraX\\Keep"));
    EXPECT_TRUE(ZeroKey(L"remove", L"HKCU", M(L"Race")));
    EXPECT_TRUE(ZeroKey(L"remove", L"HKLM", M(L"Race")));
}
