// src/framework/DirectoryListing.cpp
#include "framework/DirectoryListing.h"

#include <cstddef>
#include <cstring>

namespace fw {
namespace {

// FILE_FULL_DIR_INFORMATION (ntifs.h). FILE_ID_BOTH_DIR_INFORMATION begins
// with the same fields, up to the tag, then has a short name (a length and
// 12 characters), the file id at offset 96 and the name at 104.
struct FullDirectoryRecord {
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
    WCHAR fileName[1];
};
static_assert(offsetof(FullDirectoryRecord, eaSize) == 64, "layout of FILE_FULL_DIR_INFORMATION");
static_assert(offsetof(FullDirectoryRecord, fileName) == 68, "layout of FILE_FULL_DIR_INFORMATION");
constexpr size_t kIdBothFileIdOffset = 96;
constexpr size_t kIdBothNameOffset = 104;

// 64 KiB: the most a network redirector hands back at once.
constexpr size_t kListingBytes = 64 * 1024;
// One record with a name of up to 255 units.
constexpr size_t kSingleEntryBytes = 1024;

// What a file system answers for a listing class it does not serve: an
// unknown class, level or request, or one it does not support.
bool IsRefusedClass(DWORD error) noexcept
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_LEVEL || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_NOT_SUPPORTED;
}

}  // namespace

CDirectoryListing::CDirectoryListing(const CNtFile& nt, HANDLE directory, std::wstring_view name,
                                     ClassRefusal refusal)
    : m_nt(nt), m_directory(directory), m_name(name), m_refusal(std::move(refusal)),
      m_buffer((name.empty() ? kListingBytes : kSingleEntryBytes) / sizeof(LONGLONG))
{
}

DWORD CDirectoryListing::Query()
{
    if (m_refusal) {
        const DWORD refused = m_refusal(m_class);
        if (refused != ERROR_SUCCESS)
            return refused;
    }
    return m_nt.QueryDirectory(m_directory, m_class, m_buffer.data(),
                               static_cast<ULONG>(m_buffer.size() * sizeof(LONGLONG)), m_restart, m_name);
}

bool CDirectoryListing::Fill()
{
    // The name filter is given once; later calls go on from where it stood.
    if (!m_name.empty() && !m_restart) {
        m_error = ERROR_NO_MORE_FILES;
        return false;
    }
    m_error = Query();
    // Asked once more, from the start, in the plain class; the id checks
    // then have no ids from the listing to compare.
    if (m_restart && m_class == ListingClass::WithIds && IsRefusedClass(m_error)) {
        m_class = ListingClass::Plain;
        m_error = Query();
    }
    m_restart = false;
    m_offset = 0;
    m_haveBatch = m_error == ERROR_SUCCESS;
    return m_haveBatch;
}

bool CDirectoryListing::Next()
{
    if (m_haveBatch) {
        // Both record layouts begin with the offset of the next.
        const auto next = *reinterpret_cast<const ULONG*>(reinterpret_cast<const char*>(m_buffer.data()) + m_offset);
        if (next != 0)
            m_offset += next;
        else if (!Fill())
            return false;
    } else if (!Fill()) {
        return false;
    }
    const char* base = reinterpret_cast<const char*>(m_buffer.data()) + m_offset;
    const bool withIds = m_class == ListingClass::WithIds;
    const size_t nameOffset = withIds ? kIdBothNameOffset : offsetof(FullDirectoryRecord, fileName);
    const auto* full = reinterpret_cast<const FullDirectoryRecord*>(base);
    // A record must lie inside what was filled: a file system that answers
    // with nonsense ends the listing rather than the program.
    const size_t bufferBytes = m_buffer.size() * sizeof(LONGLONG);
    if (m_offset + nameOffset > bufferBytes || m_offset + nameOffset + full->fileNameLength > bufferBytes) {
        m_haveBatch = false;
        m_error = ERROR_INVALID_DATA;
        return false;
    }
    m_entry.name = std::wstring_view(reinterpret_cast<const wchar_t*>(base + nameOffset),
                                     full->fileNameLength / sizeof(wchar_t));
    m_entry.attributes = full->fileAttributes;
    m_entry.fileId = 0;
    if (withIds)
        std::memcpy(&m_entry.fileId, base + kIdBothFileIdOffset, sizeof m_entry.fileId);
    m_entry.reparseTag = m_entry.IsReparsePoint() ? full->eaSize : 0;
    m_entry.size = static_cast<ULONGLONG>(full->endOfFile.QuadPart);
    return true;
}

}  // namespace fw
