// src/ui/DeveloperSettings.h
// The registry writes of the developer settings into one version key of the
// product, in the order of the write table.
#pragma once

#include <windows.h>

#include <string>

struct DeveloperChoices {
    bool specialMenu = false;
    bool saveXmlTemplate = false;
    bool showAllInfoboxes = false;
    bool enableOperationProfiles = false;
    bool readFullTemplate = false;
    bool developerObjectPortal = false;
    bool enableQuilloPro = false;
};

// Writes the chosen values into the open version key (rows 1 to 7) and, when
// those all succeeded, the uploader value under the maker's key (row 8).
// False when any write, or the creation of any subkey, failed.
bool WriteDeveloperSettings(HKEY versionKey, const DeveloperChoices& choices);
