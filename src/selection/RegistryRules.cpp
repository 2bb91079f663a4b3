// src/selection/RegistryRules.cpp
#include "selection/RegistryRules.h"

namespace cleaner {
namespace {
constexpr size_t kPrefixLength = 7;

bool HasPrefix(std::wstring_view name, std::wstring_view prefix) noexcept
{
    return name.size() >= kPrefixLength && name.substr(0, kPrefixLength) == prefix;
}
}  // namespace

bool IsKeptPerUserKey(std::wstring_view name) noexcept
{
    return name == L"EventLogger" || name == L"UsageLogger" || name == L"FindOutMore";
}

bool IsKeptLoggerEntry(std::wstring_view name) noexcept
{
    return name == L"General" || HasPrefix(name, L"Beta_PL") || HasPrefix(name, L"Beta_VY");
}

bool IsQrxKeyName(std::wstring_view name) noexcept { return name == L"Qrx"; }

bool IsKeptMachineKey(bool keepVaultry, bool keepQrx, std::wstring_view name,
                      const std::function<bool()>& holdsQrxData)
{
    if (keepVaultry && name == L"Vaultry")
        return true;
    if (keepQrx)
        return holdsQrxData();
    return !keepVaultry;
}

}  // namespace cleaner
