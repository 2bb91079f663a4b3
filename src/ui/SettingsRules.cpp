// src/ui/SettingsRules.cpp
#include "ui/SettingsRules.h"

namespace cleaner {

bool OneMeansOn(std::wstring_view value) noexcept { return value == L"1"; }

bool ZeroMeansOff(std::wstring_view value) noexcept { return value != L"0"; }

bool IsOn(const SettingKey& key, std::wstring_view value) noexcept
{
    return key.zeroMeansOff ? ZeroMeansOff(value) : OneMeansOn(value);
}

}  // namespace cleaner
