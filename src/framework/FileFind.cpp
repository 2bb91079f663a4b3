// src/framework/FileFind.cpp
#include "framework/FileFind.h"

namespace fw {

bool CFileFind::FindFile(const std::wstring& pattern)
{
    m_find.reset(::FindFirstFileW(pattern.c_str(), &m_data));
    return m_find.valid();
}

bool CFileFind::FindNextFile()
{
    return m_find.valid() && ::FindNextFileW(m_find.get(), &m_data) != FALSE;
}

}  // namespace fw
