// src/clean/KeyFailure.h
// Why a registry tree, or a key in it that the keep options did not spare,
// stayed. Portable.
#pragma once

#include <string>

namespace cleaner {

struct KeyFailure {
    unsigned long error = 0;  // the system's error code
    std::wstring key;         // below the root, the first key that would not go
    // It still held subkeys after every retry: another program kept adding
    // them while it was being removed.
    bool keysAdded = false;
};

}  // namespace cleaner
