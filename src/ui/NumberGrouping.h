// src/ui/NumberGrouping.h
// How a locale's digit grouping ("3;0", "3;2;0", "3") is told to the
// number formatter. Portable.
#pragma once

#include <string>

namespace cleaner {

// The grouping text of a locale as the Grouping number of the number
// format: "3;0" gives 3 (groups of three all the way), "3;2;0" gives 32
// (three, then twos), "3" gives 30 (one group of three, then no more). A
// text that is no grouping gives 0: no grouping at all.
unsigned NumberGrouping(const std::wstring& localeGrouping);

}  // namespace cleaner
