// src/selection/TreeWalks.cpp
#include "selection/TreeWalks.h"

#include "selection/RegistryRules.h"

namespace cleaner {
namespace {

std::wstring Child(const std::wstring& path, const std::wstring& name) { return path + L"\\" + name; }

// A link is never entered: where the rules keep its name it stays as it is.
template <class IsKept>
void WalkKey(RegistryTree& tree, const std::wstring& path, const OpenedKey* key, IsKept isKept)
{
    if (!key || key->isLink)
        return;
    for (const std::wstring& name : key->names) {
        if (!isKept(name))
            tree.Delete(Child(path, name));
    }
}

template <class IsKept>
void Walk(RegistryTree& tree, const std::wstring& path, IsKept isKept)
{
    WalkKey(tree, path, tree.Open(path).get(), isKept);
}

// Where the maker key is a link, only the link goes and nothing behind it
// is read.
bool RemovedAsLink(RegistryTree& tree, const std::wstring& maker, const OpenedKey* key)
{
    if (!key || !key->isLink)
        return false;
    tree.Delete(maker);
    return true;
}

}  // namespace

void ThinOutPerUserTree(RegistryTree& tree)
{
    const std::wstring maker = kMakerKey;
    const std::unique_ptr<OpenedKey> top = tree.Open(maker);
    if (RemovedAsLink(tree, maker, top.get()))
        return;
    WalkKey(tree, maker, top.get(), [](const std::wstring& name) { return IsKeptPerUserKey(name); });
    for (const wchar_t* logger : {L"EventLogger", L"UsageLogger"})
        Walk(tree, Child(maker, logger), [](const std::wstring& name) { return IsKeptLoggerEntry(name); });
}

void ThinOutMachineTree(RegistryTree& tree, bool keepVaultry, bool keepQrx)
{
    const std::wstring maker = kMakerKey;
    const std::unique_ptr<OpenedKey> top = tree.Open(maker);
    if (RemovedAsLink(tree, maker, top.get()))
        return;
    WalkKey(tree, maker, top.get(), [&](const std::wstring& name) {
        return IsKeptMachineKey(keepVaultry, keepQrx, name, [&] { return HoldsQrxData(tree, Child(maker, name)); });
    });
}

bool HoldsQrxData(RegistryTree& tree, const std::wstring& productPath)
{
    const std::unique_ptr<OpenedKey> key = tree.Open(productPath);
    if (!key || key->isLink)
        return false;
    for (const std::wstring& name : key->names) {
        if (HasQrxSubkey(tree, Child(productPath, name)))
            return true;
    }
    return false;
}

bool HasQrxSubkey(RegistryTree& tree, const std::wstring& versionPath)
{
    const std::unique_ptr<OpenedKey> key = tree.Open(versionPath);
    if (!key || key->isLink)
        return false;
    for (const std::wstring& name : key->names) {
        if (IsQrxKeyName(name))
            return true;
    }
    return false;
}

}  // namespace cleaner
