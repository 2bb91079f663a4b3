// src/clean/ApiPath.cpp
#include "clean/ApiPath.h"

#include "clean/LongPath.h"

#include <windows.h>

namespace cleaner {

std::wstring FullPath(const std::wstring& path)
{
    if (path.empty() || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    // The answer is the length without the terminator when it fits, else
    // the size needed with it; the path may grow between the two calls.
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return path;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

std::wstring ApiPath(const std::wstring& path) { return ExtendedLengthPath(FullPath(path)); }

}  // namespace cleaner
