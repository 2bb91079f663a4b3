// src/clean/RunProgress.cpp
#include "clean/RunProgress.h"

namespace cleaner {

std::wstring GroupedCount(unsigned long long count)
{
    std::wstring digits = std::to_wstring(count);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, L',');
    return digits;
}

}  // namespace cleaner
