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

bool WriteSetting(const std::wstring& settingsPath, const SettingKey& key, bool on)
{
    return ::WritePrivateProfileStringW(kSettingsSection, key.name, SettingText(on), settingsPath.c_str()) != FALSE;
}

}  // namespace cleaner
