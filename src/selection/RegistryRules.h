// src/selection/RegistryRules.h
// Which subkeys of the maker's registry trees the keep options spare.
// Names are compared exactly and case-sensitively. Portable.
#pragma once

#include <functional>
#include <string_view>

namespace cleaner {

// Level 1 of the per-user tree: the two logger keys and "FindOutMore" stay.
bool IsKeptPerUserKey(std::wstring_view name) noexcept;

// Below "EventLogger" and "UsageLogger": "General" and the names whose first
// seven characters are "Beta_PL" or "Beta_VY" stay.
bool IsKeptLoggerEntry(std::wstring_view name) noexcept;

// The key that marks QRX data, two levels below a product key.
bool IsQrxKeyName(std::wstring_view name) noexcept;

// Level 1 of the machine tree. holdsQrxData is asked only when the flags need
// it, and never for "Vaultry" when keepVaultry is set; with neither flag the
// walk keeps everything (the cleaning run removes the tree whole instead).
bool IsKeptMachineKey(bool keepVaultry, bool keepQrx, std::wstring_view name,
                      const std::function<bool()>& holdsQrxData);

}  // namespace cleaner
