// src/framework/FileFind.cpp
#include "framework/FileFind.h"

namespace fw {

bool CFileFind::FindFile(const std::wstring& pattern)
{
    // Basic information only: no short 8.3 names are made up for every entry,
    // which on Wine costs more than the rest of the listing.
    m_find.reset(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &m_data, FindExSearchNameMatch, nullptr,
                                    FIND_FIRST_EX_LARGE_FETCH));
    return m_find.valid();
}

bool CFileFind::FindNextFile()
{
    return m_find.valid() && ::FindNextFileW(m_find.get(), &m_data) != FALSE;
}

}  // namespace fw
