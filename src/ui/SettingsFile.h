// src/ui/SettingsFile.h
// Reads and writes one key of the settings file through the profile API,
// section "Settings". Nothing is cached: every read goes to the file.
#pragma once

#include "clean/CleaningRules.h"
#include "ui/SettingsRules.h"

#include <string>

namespace cleaner {

// The stored value, or the key's default when the file, the section or the
// key is missing. A value longer than 999 characters is cut there.
std::wstring ReadSettingValue(const std::wstring& settingsPath, const SettingKey& key);
// The stored value judged by the key's rule.
bool ReadSetting(const std::wstring& settingsPath, const SettingKey& key);
// Writes "1" or "0"; false when the file could not be written.
bool WriteSetting(const std::wstring& settingsPath, const SettingKey& key, bool on);

// The four keep options, read and written in the order "KeepRegistry",
// "KeepSNFindOutMore", "KeepVaultry", "KeepQRX". Writing tries all four and
// is false when any of them could not be written.
KeepOptions ReadKeepOptions(const std::wstring& settingsPath);
bool WriteKeepOptions(const std::wstring& settingsPath, const KeepOptions& keep);

}  // namespace cleaner
