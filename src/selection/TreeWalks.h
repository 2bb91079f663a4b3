// src/selection/TreeWalks.h
// The selective walks over the maker's registry trees, written against a
// small registry interface so that the same walks run on the real registry
// and on a model of it. Portable.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace cleaner {

// A key held open for as long as the object lives, with the names of all its
// direct subkeys gathered before any of them is judged. A registry link is
// opened as itself, never entered: it has no names.
class OpenedKey {
public:
    virtual ~OpenedKey() = default;
    std::vector<std::wstring> names;
    bool isLink = false;
};

class RegistryTree {
public:
    virtual ~RegistryTree() = default;
    // Opens the key (a path below the tree's root) and gathers its subkey
    // names; null when the key cannot be opened or the path leads through a
    // link.
    virtual std::unique_ptr<OpenedKey> Open(const std::wstring& path) = 0;
    // Removes the key with all it holds (a link as itself); reports nothing.
    virtual void Delete(const std::wstring& path) = 0;
};

constexpr const wchar_t* kMakerKey = L"Software\\Velmora";

// The per-user tree: level 1, then "EventLogger", then "UsageLogger". A
// maker key that is a link goes as itself, in either tree.
void ThinOutPerUserTree(RegistryTree& tree);
// The machine tree, level 1 only.
void ThinOutMachineTree(RegistryTree& tree, bool keepVaultry, bool keepQrx);
// A product key holds QRX data when one of its direct subkeys has a direct
// subkey named "Qrx". A link holds no QRX data.
bool HoldsQrxData(RegistryTree& tree, const std::wstring& productPath);
bool HasQrxSubkey(RegistryTree& tree, const std::wstring& versionPath);

}  // namespace cleaner
