// src/ui/SettingsRules.h
// The two rules by which a value of the settings file is read, and the keys
// with their defaults. Portable.
#pragma once

#include <string_view>

namespace cleaner {

// One-means-on: on only when the whole value is exactly "1".
bool OneMeansOn(std::wstring_view value) noexcept;
// Zero-means-off: on unless the whole value is exactly "0".
bool ZeroMeansOff(std::wstring_view value) noexcept;

// The text written for a check box or option.
constexpr const wchar_t* SettingText(bool on) noexcept { return on ? L"1" : L"0"; }

constexpr const wchar_t* kSettingsSection = L"Settings";

struct SettingKey {
    const wchar_t* name;
    const wchar_t* defaultValue;
    bool zeroMeansOff;  // false: one-means-on
};

constexpr SettingKey kKeepRegistry{L"KeepRegistry", L"1", false};
constexpr SettingKey kKeepSnFindOutMore{L"KeepSNFindOutMore", L"1", false};
constexpr SettingKey kKeepVaultry{L"KeepVaultry", L"1", false};
constexpr SettingKey kKeepQrx{L"KeepQRX", L"1", false};

constexpr SettingKey kSpecialMenu{L"SpecialMenu", L"1", false};
constexpr SettingKey kSaveXmlTemplate{L"SaveXmlTemplate", L"0", false};
constexpr SettingKey kShowAllInfoboxes{L"ShowAllInfoboxes", L"1", false};
constexpr SettingKey kEnableOperationProfiles{L"EnableOperationProfiles", L"0", false};
constexpr SettingKey kReadFullTemplateInSe{L"ReadFULLTemplateInSE", L"0", false};
constexpr SettingKey kUseDeveloperObjectPortal{L"UseDeveloperObjectPortal", L"1", true};
constexpr SettingKey kEnableQuilloPro{L"EnableQuilloPro", L"1", true};

// The value read for a key, judged by that key's rule.
bool IsOn(const SettingKey& key, std::wstring_view value) noexcept;

}  // namespace cleaner
