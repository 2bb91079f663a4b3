// src/ui/DeveloperSettings.cpp
#include "ui/DeveloperSettings.h"

#include "framework/Handle.h"
#include "ui/VersionKeyRules.h"

namespace {

bool SetDword(HKEY key, const wchar_t* name, DWORD value)
{
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

// Stored with its terminating null.
bool SetString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Creates the subkey, or opens it when it exists; empty on failure.
fw::UniqueKey CreateSubkey(HKEY parent, const wchar_t* name)
{
    fw::UniqueKey key;
    if (parent == nullptr || ::RegCreateKeyW(parent, name, key.put()) != ERROR_SUCCESS)
        key.reset();
    return key;
}

bool SetDwordInSubkey(HKEY parent, const wchar_t* subkey, const wchar_t* name)
{
    const fw::UniqueKey key = CreateSubkey(parent, subkey);
    return key && SetDword(key.get(), name, 1);
}

}  // namespace

bool WriteDeveloperSettings(HKEY versionKey, const DeveloperChoices& choices)
{
    bool ok = true;
    if (choices.specialMenu)
        ok = SetDword(versionKey, L"Special Menu", 1) && ok;
    if (choices.saveXmlTemplate)
        ok = SetDword(versionKey, L"Tpl Convert", 1) && ok;
    if (choices.showAllInfoboxes) {
        const fw::UniqueKey key = CreateSubkey(versionKey, L"Dialog Manager Custom Data");
        ok = key && SetString(key.get(), L"AllInfoBoxTabPagesVisible", L"01") && ok;
    }
    if (choices.enableOperationProfiles)
        ok = SetDwordInSubkey(versionKey, L"Thermalux", L"EnableOperationProfile") && ok;
    if (choices.readFullTemplate)
        ok = SetDwordInSubkey(versionKey, L"Plandrel", L"startEditionCanReadFullFiles") && ok;
    if (choices.developerObjectPortal) {
        const fw::UniqueKey key = CreateSubkey(versionKey, cleaner::kPublisherDomain);
        ok = key && SetString(key.get(), L"ServiceURL", cleaner::kDevelopmentServiceUrl) && ok;
    }
    if (choices.enableQuilloPro) {
        const fw::UniqueKey publisher = CreateSubkey(versionKey, L"Publisher");
        ok = SetDwordInSubkey(publisher.get(), L"Advanced", L"QuilloProEnable") && ok;
        if (ok) {
            // The viewer's uploader; skipped without a change of the result
            // when the maker's key cannot be opened.
            fw::UniqueKey maker;
            if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Velmora", 0, KEY_WRITE, maker.put()) == ERROR_SUCCESS) {
                const fw::UniqueKey uploader = CreateSubkey(maker.get(), L"QuilloUploader");
                ok = SetDwordInSubkey(uploader.get(), L"Advanced", L"QuilloProEnable") && ok;
            }
        }
    }
    return ok;
}
