// src/framework/FileFind.h
// Directory search: one FindFirstFileW/FindNextFileW listing, closed when the
// object goes or when the next search starts.
#pragma once

#include "framework/Handle.h"

#include <string>

namespace fw {

class CFileFind {
public:
    // Starts a search for the pattern (a folder path plus "\*.*", say) and
    // stands on its first entry. False when nothing can be listed; the last
    // error then says why.
    bool FindFile(const std::wstring& pattern);
    // Moves to the next entry; false at the end of the listing or on error.
    bool FindNextFile();
    void Close() noexcept { m_find.reset(); }

    const wchar_t* GetFileName() const noexcept { return m_data.cFileName; }
    DWORD GetAttributes() const noexcept { return m_data.dwFileAttributes; }
    bool IsDirectory() const noexcept { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // Junctions, symbolic links and mount points.
    bool IsReparsePoint() const noexcept { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

private:
    UniqueFind m_find;
    WIN32_FIND_DATAW m_data = {};
};

}  // namespace fw
