// src/framework/DirectoryListing.cpp
#include "framework/DirectoryListing.h"

#include <cstddef>

namespace fw {
namespace {

// FILE_ID_BOTH_DIR_INFORMATION (ntifs.h).
struct IdBothDirectoryRecord {
    ULONG nextEntryOffset;
    ULONG fileIndex;
    LARGE_INTEGER creationTime;
    LARGE_INTEGER lastAccessTime;
    LARGE_INTEGER lastWriteTime;
    LARGE_INTEGER changeTime;
    LARGE_INTEGER endOfFile;
    LARGE_INTEGER allocationSize;
    ULONG fileAttributes;
    ULONG fileNameLength;  // bytes
    ULONG eaSize;  // for a reparse point: its tag
    CCHAR shortNameLength;
    WCHAR shortName[12];
    LARGE_INTEGER fileId;
    WCHAR fileName[1];
};
static_assert(offsetof(IdBothDirectoryRecord, fileId) == 96, "layout of FILE_ID_BOTH_DIR_INFORMATION");
static_assert(offsetof(IdBothDirectoryRecord, fileName) == 104, "layout of FILE_ID_BOTH_DIR_INFORMATION");

// 64 KiB: the most a network redirector hands back at once.
constexpr size_t kListingBytes = 64 * 1024;
// One record with a name of up to 255 units.
constexpr size_t kSingleEntryBytes = 1024;

}  // namespace

CDirectoryListing::CDirectoryListing(const CNtFile& nt, HANDLE directory, std::wstring_view name)
    : m_nt(nt), m_directory(directory), m_name(name),
      m_buffer((name.empty() ? kListingBytes : kSingleEntryBytes) / sizeof(LONGLONG))
{
}

bool CDirectoryListing::Fill()
{
    // The name filter is given once; later calls go on from where it stood.
    if (!m_name.empty() && !m_restart) {
        m_error = ERROR_NO_MORE_FILES;
        return false;
    }
    m_error = m_nt.QueryDirectory(m_directory, m_buffer.data(), static_cast<ULONG>(m_buffer.size() * sizeof(LONGLONG)),
                                  m_restart, m_name);
    m_restart = false;
    m_offset = 0;
    m_haveBatch = m_error == ERROR_SUCCESS;
    return m_haveBatch;
}

bool CDirectoryListing::Next()
{
    if (m_haveBatch) {
        const auto* current =
            reinterpret_cast<const IdBothDirectoryRecord*>(reinterpret_cast<const char*>(m_buffer.data()) + m_offset);
        if (current->nextEntryOffset != 0)
            m_offset += current->nextEntryOffset;
        else if (!Fill())
            return false;
    } else if (!Fill()) {
        return false;
    }
    const char* base = reinterpret_cast<const char*>(m_buffer.data());
    const auto* record = reinterpret_cast<const IdBothDirectoryRecord*>(base + m_offset);
    // A record must lie inside what was filled: a file system that answers
    // with nonsense ends the listing rather than the program.
    const size_t bufferBytes = m_buffer.size() * sizeof(LONGLONG);
    if (m_offset + offsetof(IdBothDirectoryRecord, fileName) > bufferBytes ||
        m_offset + offsetof(IdBothDirectoryRecord, fileName) + record->fileNameLength > bufferBytes) {
        m_haveBatch = false;
        m_error = ERROR_INVALID_DATA;
        return false;
    }
    m_entry.name = std::wstring_view(record->fileName, record->fileNameLength / sizeof(wchar_t));
    m_entry.attributes = record->fileAttributes;
    m_entry.fileId = record->fileId.QuadPart;
    m_entry.reparseTag = m_entry.IsReparsePoint() ? record->eaSize : 0;
    return true;
}

}  // namespace fw
