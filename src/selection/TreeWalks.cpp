// src/selection/TreeWalks.cpp
#include "selection/TreeWalks.h"

#include "selection/RegistryRules.h"

namespace cleaner {
namespace {

std::wstring Child(const std::wstring& path, const std::wstring& name) { return path + L"\\" + name; }

template <class IsKept>
void Walk(RegistryTree& tree, const std::wstring& path, IsKept isKept)
{
    const std::unique_ptr<OpenedKey> key = tree.Open(path);
    if (!key)
        return;
    for (const std::wstring& name : key->names) {
        if (!isKept(name))
            tree.Delete(Child(path, name));
    }
}

}  // namespace

void ThinOutPerUserTree(RegistryTree& tree)
{
    const std::wstring maker = kMakerKey;
    Walk(tree, maker, [](const std::wstring& name) { return IsKeptPerUserKey(name); });
    for (const wchar_t* logger : {L"EventLogger", L"UsageLogger"})
        Walk(tree, Child(maker, logger), [](const std::wstring& name) { return IsKeptLoggerEntry(name); });
}

void ThinOutMachineTree(RegistryTree& tree, bool keepVaultry, bool keepQrx)
{
    const std::wstring maker = kMakerKey;
    Walk(tree, maker, [&](const std::wstring& name) {
        return IsKeptMachineKey(keepVaultry, keepQrx, name, [&] { return HoldsQrxData(tree, Child(maker, name)); });
    });
}

bool HoldsQrxData(RegistryTree& tree, const std::wstring& productPath)
{
    const std::unique_ptr<OpenedKey> key = tree.Open(productPath);
    if (!key)
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
    if (!key)
        return false;
    for (const std::wstring& name : key->names) {
        if (IsQrxKeyName(name))
            return true;
    }
    return false;
}

}  // namespace cleaner
