// src/framework/NtFile.cpp
// The NT structures are declared here from their documented layout rather
// than taken from winternl.h, whose content differs between the Windows SDK
// and mingw-w64.
#include "framework/NtFile.h"

#include "framework/ProcAddress.h"

namespace fw {
namespace {

struct NtUnicodeString {
    USHORT length;  // bytes, without a terminator
    USHORT maximumLength;
    const wchar_t* buffer;
};

struct NtObjectAttributes {
    ULONG length;
    HANDLE rootDirectory;
    NtUnicodeString* objectName;
    ULONG attributes;  // 0: the name is matched exactly where the file system can
    void* securityDescriptor;
    void* securityQualityOfService;
};

struct NtIoStatusBlock {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};

// Their sizes as the system's headers give them, on both targets.
constexpr bool kIs64Bit = sizeof(void*) == 8;
static_assert(sizeof(NtUnicodeString) == (kIs64Bit ? 16 : 8), "layout of UNICODE_STRING");
static_assert(sizeof(NtObjectAttributes) == (kIs64Bit ? 48 : 24), "layout of OBJECT_ATTRIBUTES");
static_assert(sizeof(NtIoStatusBlock) == (kIs64Bit ? 16 : 8), "layout of IO_STATUS_BLOCK");

constexpr int kFileFullDirectoryInformation = 2;
constexpr int kFileInternalInformation = 6;
constexpr int kFileIdBothDirectoryInformation = 37;

constexpr LONG kStatusSuccess = 0;
constexpr LONG kStatusNoMoreFiles = static_cast<LONG>(0x80000006);
constexpr LONG kStatusNoSuchFile = static_cast<LONG>(0xC000000F);
constexpr LONG kStatusDeletePending = static_cast<LONG>(0xC0000056);
constexpr LONG kStatusFileIsADirectory = static_cast<LONG>(0xC00000BA);
constexpr LONG kStatusProcedureNotFound = static_cast<LONG>(0xC000007A);

// A name fits a counted string of at most 65,534 bytes.
constexpr size_t kMaxNameUnits = 32767;

NtUnicodeString Counted(std::wstring_view name) noexcept
{
    const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    return NtUnicodeString{bytes, bytes, name.data()};
}

}  // namespace

CNtFile::CNtFile() noexcept
{
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr)
        return;
    m_open = LoadProc<OpenFn>(ntdll, "NtOpenFile");
    m_queryDirectory = LoadProc<QueryDirectoryFn>(ntdll, "NtQueryDirectoryFile");
    m_queryInformation = LoadProc<QueryInformationFn>(ntdll, "NtQueryInformationFile");
    m_setInformation = LoadProc<SetInformationFn>(ntdll, "NtSetInformationFile");
    m_statusToError = LoadProc<StatusToErrorFn>(ntdll, "RtlNtStatusToDosError");
}

bool CNtFile::IsLoaded() const noexcept
{
    return m_open != nullptr && m_queryDirectory != nullptr && m_queryInformation != nullptr &&
           m_setInformation != nullptr && m_statusToError != nullptr;
}

DWORD CNtFile::ErrorOf(LONG status) const noexcept
{
    switch (status) {
    case kStatusSuccess:
        return ERROR_SUCCESS;
    case kStatusNoMoreFiles:
        return ERROR_NO_MORE_FILES;
    case kStatusNoSuchFile:
        return ERROR_FILE_NOT_FOUND;
    case kStatusDeletePending:
        // Mapped to ERROR_ACCESS_DENIED by the system, which would hide that
        // someone else is removing the entry.
        return ERROR_DELETE_PENDING;
    case kStatusFileIsADirectory:
        return kErrorIsADirectory;
    default:
        return m_statusToError != nullptr ? m_statusToError(status) : ERROR_PROC_NOT_FOUND;
    }
}

DWORD CNtFile::OpenRelative(HANDLE directory, std::wstring_view name, ACCESS_MASK access, ULONG options,
                            UniqueFile& file) const noexcept
{
    file.reset();
    if (!IsLoaded())
        return ERROR_PROC_NOT_FOUND;
    if (name.empty() || name.size() > kMaxNameUnits)
        return ERROR_INVALID_NAME;
    NtUnicodeString counted = Counted(name);
    NtObjectAttributes object{sizeof(NtObjectAttributes), directory, &counted, 0, nullptr, nullptr};
    NtIoStatusBlock io{};
    HANDLE opened = nullptr;
    const LONG status = m_open(&opened, access, &object, &io, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               options);
    if (status < 0)
        return ErrorOf(status);
    file.reset(opened);
    return ERROR_SUCCESS;
}

DWORD CNtFile::QueryDirectory(HANDLE directory, ListingClass listing, void* buffer, ULONG size, bool restart,
                              std::wstring_view name) const noexcept
{
    if (!IsLoaded())
        return ERROR_PROC_NOT_FOUND;
    if (name.size() > kMaxNameUnits)
        return ERROR_INVALID_NAME;
    NtUnicodeString counted = Counted(name);
    NtIoStatusBlock io{};
    const int infoClass =
        listing == ListingClass::WithIds ? kFileIdBothDirectoryInformation : kFileFullDirectoryInformation;
    const LONG status = m_queryDirectory(directory, nullptr, nullptr, nullptr, &io, buffer, size, infoClass,
                                         name.empty() ? FALSE : TRUE,
                                         name.empty() ? nullptr : &counted, restart ? TRUE : FALSE);
    return status < 0 || status == kStatusNoMoreFiles ? ErrorOf(status) : ERROR_SUCCESS;
}

DWORD CNtFile::QueryFileId(HANDLE file, LONGLONG& id) const noexcept
{
    if (!IsLoaded())
        return ERROR_PROC_NOT_FOUND;
    LARGE_INTEGER index{};
    NtIoStatusBlock io{};
    const LONG status = m_queryInformation(file, &io, &index, sizeof index, kFileInternalInformation);
    if (status < 0)
        return ErrorOf(status);
    id = index.QuadPart;
    return ERROR_SUCCESS;
}

LONG CNtFile::SetInformation(HANDLE file, const void* data, ULONG size, int infoClass) const noexcept
{
    if (!IsLoaded())
        return kStatusProcedureNotFound;
    NtIoStatusBlock io{};
    return m_setInformation(file, &io, data, size, infoClass);
}

}  // namespace fw
