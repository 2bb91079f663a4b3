// src/selection/MakerTreeWalks.cpp
// The selective walks on the real registry.
#include "app/CleanerApp.h"

#include "framework/Registry.h"
#include "selection/TreeWalks.h"

namespace {

class Win32OpenedKey : public cleaner::OpenedKey {
public:
    // A link's names would be its target's: it has none of its own.
    Win32OpenedKey(fw::UniqueKey key, bool link) : m_key(std::move(key))
    {
        isLink = link;
        if (!isLink)
            names = fw::SubkeyNames(m_key.get());
    }

private:
    fw::UniqueKey m_key;
};

class Win32RegistryTree : public cleaner::RegistryTree {
public:
    Win32RegistryTree(CCleanerApp& app, HKEY root) : m_app(app), m_root(root) {}

    std::unique_ptr<cleaner::OpenedKey> Open(const std::wstring& path) override
    {
        // The view is asked anew before every open under the machine root;
        // every key on the way is opened as itself, never through a link.
        const REGSAM view = m_root == HKEY_LOCAL_MACHINE ? m_app.MachineViewFlag() : 0;
        if (m_app.m_progress)
            m_app.m_progress->Tick();
        fw::UniqueKey key;
        bool isLink = false;
        if (fw::OpenKeyPathItself(m_root, path, KEY_READ, view, key, isLink) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<Win32OpenedKey>(std::move(key), isLink);
    }

    // A key that the rules did not spare and that stayed: the first one is
    // the tree's failure.
    void Delete(const std::wstring& path) override
    {
        std::optional<cleaner::KeyFailure> failure = m_app.DeleteRegistryKey(m_root, path);
        if (failure && !m_failure)
            m_failure = std::move(failure);
    }

    const std::optional<cleaner::KeyFailure>& Failure() const noexcept { return m_failure; }

private:
    CCleanerApp& m_app;
    HKEY m_root;
    std::optional<cleaner::KeyFailure> m_failure;
};

}  // namespace

std::optional<cleaner::KeyFailure> CCleanerApp::CleanMakerRegistryTree()
{
    Win32RegistryTree tree(*this, HKEY_CURRENT_USER);
    cleaner::ThinOutPerUserTree(tree);
    return tree.Failure();
}

std::optional<cleaner::KeyFailure> CCleanerApp::CleanMakerMachineTree(bool keepVaultry, bool keepQrx)
{
    Win32RegistryTree tree(*this, HKEY_LOCAL_MACHINE);
    cleaner::ThinOutMachineTree(tree, keepVaultry, keepQrx);
    return tree.Failure();
}

BOOL CCleanerApp::HoldsQrxData(std::wstring path)
{
    Win32RegistryTree tree(*this, HKEY_LOCAL_MACHINE);
    return cleaner::HoldsQrxData(tree, path) ? TRUE : FALSE;
}

BOOL CCleanerApp::HasQrxSubkey(std::wstring path)
{
    Win32RegistryTree tree(*this, HKEY_LOCAL_MACHINE);
    return cleaner::HasQrxSubkey(tree, path) ? TRUE : FALSE;
}
