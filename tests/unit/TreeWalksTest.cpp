// The walks over a model registry: seeded cases and a property test that a
// walk over random trees keeps exactly what the rules keep.
#include "selection/RegistryRules.h"
#include "selection/TreeWalks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

// Keys by full path; the children of a key are listed in insertion order.
class ModelTree : public cleaner::RegistryTree {
public:
    void Add(const std::wstring& path)
    {
        std::wstring parent;
        size_t start = 0;
        for (;;) {
            const size_t slash = path.find(L'\\', start);
            const std::wstring prefix = path.substr(0, slash);
            if (!m_children.count(prefix)) {
                m_children[prefix];
                if (!parent.empty())
                    m_children[parent].push_back(prefix.substr(parent.size() + 1));
            }
            if (slash == std::wstring::npos)
                return;
            parent = prefix;
            start = slash + 1;
        }
    }

    std::unique_ptr<cleaner::OpenedKey> Open(const std::wstring& path) override
    {
        ++opens;
        const auto it = m_children.find(path);
        if (it == m_children.end() || unreadable.count(path))
            return nullptr;
        auto key = std::make_unique<cleaner::OpenedKey>();
        key->isLink = links.count(path) != 0;
        if (!key->isLink)
            key->names = it->second;
        return key;
    }

    void Delete(const std::wstring& path) override
    {
        deletes.push_back(path);
        if (!m_children.count(path))
            return;
        const size_t slash = path.rfind(L'\\');
        auto& siblings = m_children[path.substr(0, slash)];
        siblings.erase(std::find(siblings.begin(), siblings.end(), path.substr(slash + 1)));
        for (auto it = m_children.begin(); it != m_children.end();) {
            if (it->first == path || it->first.rfind(path + L"\\", 0) == 0)
                it = m_children.erase(it);
            else
                ++it;
        }
    }

    std::set<std::wstring> Keys() const
    {
        std::set<std::wstring> keys;
        for (const auto& entry : m_children)
            keys.insert(entry.first);
        return keys;
    }
    bool Has(const std::wstring& path) const { return m_children.count(path) != 0; }
    std::vector<std::wstring> Children(const std::wstring& path) const { return m_children.at(path); }

    std::set<std::wstring> unreadable;
    std::set<std::wstring> links;  // keys that are links to elsewhere
    std::vector<std::wstring> deletes;
    int opens = 0;

private:
    std::map<std::wstring, std::vector<std::wstring>> m_children;
};

const std::wstring kMaker = L"Software\\Velmora";
std::wstring M(const std::wstring& relative) { return kMaker + L"\\" + relative; }

// Which keys the rules keep, judged on the tree as it was before the walk.
std::set<std::wstring> ExpectedAfterPerUserWalk(const ModelTree& before)
{
    std::set<std::wstring> kept;
    for (const std::wstring& key : before.Keys()) {
        if (key.rfind(kMaker, 0) != 0 || key == kMaker || key.size() == kMaker.size()) {
            kept.insert(key);
            continue;
        }
        if (key[kMaker.size()] != L'\\') {
            kept.insert(key);
            continue;
        }
        const std::wstring relative = key.substr(kMaker.size() + 1);
        const size_t slash = relative.find(L'\\');
        const std::wstring level1 = relative.substr(0, slash);
        if (!cleaner::IsKeptPerUserKey(level1))
            continue;
        if (slash == std::wstring::npos || level1 == L"FindOutMore") {
            kept.insert(key);
            continue;
        }
        const std::wstring rest = relative.substr(slash + 1);
        if (cleaner::IsKeptLoggerEntry(rest.substr(0, rest.find(L'\\'))))
            kept.insert(key);
    }
    return kept;
}

std::set<std::wstring> ExpectedAfterMachineWalk(const ModelTree& before, bool keepVaultry, bool keepQrx)
{
    std::set<std::wstring> kept;
    for (const std::wstring& key : before.Keys()) {
        if (key.rfind(kMaker + L"\\", 0) != 0) {
            kept.insert(key);
            continue;
        }
        const std::wstring relative = key.substr(kMaker.size() + 1);
        const std::wstring product = relative.substr(0, relative.find(L'\\'));
        bool qrx = false;
        for (const std::wstring& version : before.Children(M(product))) {
            const auto grandChildren = before.Children(M(product + L"\\" + version));
            qrx = qrx || std::count(grandChildren.begin(), grandChildren.end(), L"Qrx") > 0;
        }
        const bool keep = (keepVaultry && product == L"Vaultry") || (keepQrx && qrx) || (!keepVaultry && !keepQrx);
        if (keep)
            kept.insert(key);
    }
    return kept;
}

}  // namespace

TEST(PerUserWalk, KeepsTheThreeKeysAndThinsBothLoggers)
{
    ModelTree tree;
    for (const wchar_t* key : {L"EventLogger\\General", L"EventLogger\\Beta_PL2\\x", L"EventLogger\\General2",
                               L"UsageLogger\\Beta_VY_Test", L"UsageLogger\\XBeta_PL", L"FindOutMore\\Anything",
                               L"Plandrel\\10.0", L"eventlogger\\General", L"Other"})
        tree.Add(M(key));
    tree.Add(L"Software\\VelmoraX\\Plandrel");

    cleaner::ThinOutPerUserTree(tree);

    for (const wchar_t* key : {L"EventLogger\\General", L"EventLogger\\Beta_PL2\\x", L"UsageLogger\\Beta_VY_Test",
                               L"FindOutMore\\Anything"})
        EXPECT_TRUE(tree.Has(M(key)));
    for (const wchar_t* key : {L"EventLogger\\General2", L"UsageLogger\\XBeta_PL", L"Plandrel", L"eventlogger", L"Other"})
        EXPECT_FALSE(tree.Has(M(key)));
    EXPECT_TRUE(tree.Has(kMaker));
    EXPECT_TRUE(tree.Has(L"Software\\VelmoraX\\Plandrel"));
}

TEST(PerUserWalk, EachLoggerWalkedOnItsOwnAndMissingKeysAreSkipped)
{
    ModelTree tree;
    tree.Add(M(L"UsageLogger\\Gen"));
    tree.Add(M(L"UsageLogger\\General"));
    cleaner::ThinOutPerUserTree(tree);
    EXPECT_FALSE(tree.Has(M(L"UsageLogger\\Gen")));
    EXPECT_TRUE(tree.Has(M(L"UsageLogger\\General")));

    ModelTree empty;
    cleaner::ThinOutPerUserTree(empty);
    EXPECT_TRUE(empty.deletes.empty());
    EXPECT_EQ(empty.opens, 3);  // three walks, each tried
}

// A link goes as itself where the rules delete its name, stays where they
// keep it, and is never looked into.
TEST(TreeWalks, LinksAreNeverEntered)
{
    for (const bool machine : {false, true}) {
        ModelTree tree;
        tree.Add(M(L"Plandrel\\17.0\\Qrx"));
        tree.links.insert(kMaker);
        machine ? cleaner::ThinOutMachineTree(tree, true, true) : cleaner::ThinOutPerUserTree(tree);
        EXPECT_EQ(tree.deletes, std::vector<std::wstring>{kMaker}) << machine;
        EXPECT_EQ(tree.opens, 1) << "nothing behind the link is read";
    }

    ModelTree user;
    for (const wchar_t* key : {L"EventLogger\\General\\x", L"EventLogger\\Link\\x", L"UsageLogger\\Beta_VY\\x"})
        user.Add(M(key));
    user.links = {M(L"EventLogger\\General"), M(L"EventLogger\\Link"), M(L"UsageLogger")};
    cleaner::ThinOutPerUserTree(user);
    EXPECT_EQ(user.deletes, std::vector<std::wstring>{M(L"EventLogger\\Link")});

    ModelTree machineTree;
    machineTree.Add(M(L"Plandrel\\17.0\\Qrx"));
    machineTree.Add(M(L"Lumetra\\17.0\\Qrx"));
    machineTree.links = {M(L"Plandrel"), M(L"Lumetra\\17.0")};
    EXPECT_FALSE(cleaner::HoldsQrxData(machineTree, M(L"Plandrel")));
    EXPECT_FALSE(cleaner::HoldsQrxData(machineTree, M(L"Lumetra")));
    cleaner::ThinOutMachineTree(machineTree, false, true);
    EXPECT_EQ(machineTree.deletes, (std::vector<std::wstring>{M(L"Plandrel"), M(L"Lumetra")}));
}

TEST(PerUserWalk, NamesWithMarkersAreJudgedAsThemselves)
{
    ModelTree tree;
    tree.Add(M(L"a>>>EventLogger"));
    tree.Add(M(L"EventLogger>>>"));
    tree.Add(M(L"EventLogger\\General>>>x"));
    tree.Add(M(L"EventLogger\\Beta_PL>>>x"));
    tree.Add(M(L"EventLogger\\x>>>General"));
    cleaner::ThinOutPerUserTree(tree);
    EXPECT_EQ(tree.Children(kMaker), std::vector<std::wstring>{L"EventLogger"});
    EXPECT_EQ(tree.Children(M(L"EventLogger")), std::vector<std::wstring>{L"Beta_PL>>>x"});
}

TEST(MachineWalk, QrxDataCountsOnlyThreeLevelsBelowTheMakerKey)
{
    ModelTree tree;
    tree.Add(M(L"Plandrel\\17.0\\Qrx"));
    tree.Add(M(L"Plandrel\\16.0\\NoQrx"));
    tree.Add(M(L"TooHigh\\Qrx"));
    tree.Add(M(L"TooDeep\\17.0\\Sub\\Qrx"));
    tree.Add(M(L"Lower\\17.0\\qrx"));
    tree.Add(M(L"Vaultry\\Server"));
    cleaner::ThinOutMachineTree(tree, false, true);
    EXPECT_TRUE(tree.Has(M(L"Plandrel\\17.0\\Qrx")));
    EXPECT_TRUE(tree.Has(M(L"Plandrel\\16.0\\NoQrx")));  // a kept product key stays whole
    for (const wchar_t* key : {L"TooHigh", L"TooDeep", L"Lower", L"Vaultry"})
        EXPECT_FALSE(tree.Has(M(key))) << "removed";
}

TEST(MachineWalk, UnreadableProductKeyCountsAsWithoutQrxData)
{
    ModelTree tree;
    tree.Add(M(L"Locked\\17.0\\Qrx"));
    tree.unreadable.insert(M(L"Locked"));
    cleaner::ThinOutMachineTree(tree, false, true);
    EXPECT_FALSE(tree.Has(M(L"Locked")));
}

TEST(TreeWalkProperty, RandomTreesKeepExactlyWhatTheRulesKeep)
{
    const std::vector<std::wstring> names = {
        L"EventLogger", L"UsageLogger", L"FindOutMore", L"General", L"General2", L"Beta_PL", L"Beta_PL2",
        L"Beta_VY_x", L"Beta_P", L"XBeta_PL", L"Gen", L"Vaultry", L"vaultry", L"Qrx", L"qrx", L"Plandrel",
        L"17.0", L"a>>>b", L">>>", L"Qrx>>>", std::wstring(255, L'n'), L"eventlogger"};
    std::mt19937 random(20261207);
    std::uniform_int_distribution<size_t> pickName(0, names.size() - 1);
    std::uniform_int_distribution<int> pickDepth(1, 5);

    for (int round = 0; round < 400; ++round) {
        ModelTree tree;
        tree.Add(kMaker);
        tree.Add(L"Software\\Other\\Velmora");
        const int keys = 1 + round % 30;
        for (int k = 0; k < keys; ++k) {
            std::wstring path = kMaker;
            const int depth = pickDepth(random);
            for (int d = 0; d < depth; ++d)
                path += L"\\" + names[pickName(random)];
            tree.Add(path);
        }

        ModelTree perUser = tree;
        cleaner::ThinOutPerUserTree(perUser);
        EXPECT_EQ(perUser.Keys(), ExpectedAfterPerUserWalk(tree)) << "round " << round;

        for (int flags = 1; flags < 4; ++flags) {
            const bool keepVaultry = (flags & 1) != 0;
            const bool keepQrx = (flags & 2) != 0;
            ModelTree machine = tree;
            cleaner::ThinOutMachineTree(machine, keepVaultry, keepQrx);
            EXPECT_EQ(machine.Keys(), ExpectedAfterMachineWalk(tree, keepVaultry, keepQrx))
                << "round " << round << " flags " << flags;
        }
    }
}
