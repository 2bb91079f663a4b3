// src/framework/Registry.cpp
#include "framework/Registry.h"

namespace fw {

std::vector<std::wstring> SubkeyNames(HKEY key)
{
    constexpr DWORD kNameBufferSize = 256;
    std::vector<std::wstring> names;
    wchar_t name[kNameBufferSize];
    for (DWORD index = 0; ::RegEnumKeyW(key, index, name, kNameBufferSize) == ERROR_SUCCESS; ++index)
        names.emplace_back(name);
    return names;
}

}  // namespace fw
