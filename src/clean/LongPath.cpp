// src/clean/LongPath.cpp
#include "clean/LongPath.h"

namespace cleaner {

std::wstring ExtendedLengthPath(std::wstring_view path)
{
    if (path.substr(0, 4) == L"\\\\?\\")
        return std::wstring(path);
    const bool drivePath = path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
                           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (drivePath)
        return L"\\\\?\\" + std::wstring(path);
    const bool uncPath = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'.';
    if (uncPath)
        return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
    return std::wstring(path);
}

}  // namespace cleaner
