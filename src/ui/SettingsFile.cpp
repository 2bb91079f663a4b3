// src/ui/SettingsFile.cpp
#include "ui/SettingsFile.h"

#include <windows.h>

namespace cleaner {
namespace {
constexpr DWORD kValueBufferSize = 1000;
}

std::wstring ReadSettingValue(const std::wstring& settingsPath, const SettingKey& key)
{
    wchar_t buffer[kValueBufferSize] = {};
    const DWORD length = ::GetPrivateProfileStringW(kSettingsSection, key.name, key.defaultValue, buffer,
                                                    kValueBufferSize, settingsPath.c_str());
    return std::wstring(buffer, length);
}

bool ReadSetting(const std::wstring& settingsPath, const SettingKey& key)
{
    return IsOn(key, ReadSettingValue(settingsPath, key));
}

KeepOptions ReadKeepOptions(const std::wstring& settingsPath)
{
    KeepOptions keep;
    keep.keepRegistry = ReadSetting(settingsPath, kKeepRegistry);
    keep.keepSnFindOutMore = ReadSetting(settingsPath, kKeepSnFindOutMore);
    keep.keepVaultry = ReadSetting(settingsPath, kKeepVaultry);
    keep.keepQrx = ReadSetting(settingsPath, kKeepQrx);
    return keep;
}

bool WriteKeepOptions(const std::wstring& settingsPath, const KeepOptions& keep)
{
    bool stored = WriteSetting(settingsPath, kKeepRegistry, keep.keepRegistry);
    stored = WriteSetting(settingsPath, kKeepSnFindOutMore, keep.keepSnFindOutMore) && stored;
    stored = WriteSetting(settingsPath, kKeepVaultry, keep.keepVaultry) && stored;
    stored = WriteSetting(settingsPath, kKeepQrx, keep.keepQrx) && stored;
    return stored;
}

bool WriteSetting(const std::wstring& settingsPath, const SettingKey& key, bool on)
{
    return ::WritePrivateProfileStringW(kSettingsSection, key.name, SettingText(on), settingsPath.c_str()) != FALSE;
}

}  // namespace cleaner
