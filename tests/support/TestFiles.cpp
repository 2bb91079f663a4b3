// tests/support/TestFiles.cpp
#include "support/TestFiles.h"

#include "clean/LongPath.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace testing_support {
namespace {

std::wstring Api(const std::wstring& path) { return cleaner::ExtendedLengthPath(path); }

void CollectTree(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out)
{
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    for (const std::wstring& name : ListNames(folder)) {
        const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        out.push_back(child);
        const DWORD attributes = Attributes(root + L"\\" + child);
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            CollectTree(root, child, out);
    }
}

}  // namespace

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH)
        throw std::runtime_error("no temporary folder");
    static unsigned counter = 0;
    for (;;) {
        m_path = std::wstring(base) + L"cleaner-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
        if (::CreateDirectoryW(m_path.c_str(), nullptr))
            return;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create a temporary folder");
    }
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

void MakeFolders(const std::wstring& path)
{
    size_t pos = path.find(L'\\', 3);
    for (;;) {
        const std::wstring part = path.substr(0, pos);
        if (!::CreateDirectoryW(Api(part).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create folder " + Narrow(part));
        if (pos == std::wstring::npos)
            return;
        pos = path.find(L'\\', pos + 1);
    }
}

void WriteTextFile(const std::wstring& path, const std::string& content)
{
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos && slash > 2)
        MakeFolders(path.substr(0, slash));
    fw::UniqueFile file(::CreateFileW(Api(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("cannot write " + Narrow(path));
    DWORD written = 0;
    if (!::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size())
        throw std::runtime_error("short write " + Narrow(path));
}

std::string ReadTextFile(const std::wstring& path)
{
    fw::UniqueFile file(::CreateFileW(Api(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::string();
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    return content;
}

DWORD Attributes(const std::wstring& path) { return ::GetFileAttributesW(Api(path).c_str()); }

bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> ListNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileW(Api(folder + L"\\*.*").c_str(), &data));
    if (!find)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (::FindNextFileW(find.get(), &data));
    return names;
}

std::vector<std::wstring> ListTree(const std::wstring& folder)
{
    std::vector<std::wstring> out;
    CollectTree(folder, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

void RemoveTree(const std::wstring& path)
{
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const std::wstring& name : ListNames(path))
            RemoveTree(path + L"\\" + name);
        ::RemoveDirectoryW(Api(path).c_str());
        return;
    }
    ::SetFileAttributesW(Api(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!::DeleteFileW(Api(path).c_str()))
        ::RemoveDirectoryW(Api(path).c_str());
}

LockedFile::LockedFile(const std::wstring& path, DWORD share)
    : m_file(::CreateFileW(Api(path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

namespace {

// Whether the system takes the deletion flags on a scratch file there,
// made with the attributes given; the file goes either way.
bool TakesDeletionFlags(const std::wstring& folder, DWORD flags, DWORD attributes)
{
    const std::wstring path = folder + L"\\deletion-probe.tmp";
    fw::UniqueFile file(::CreateFileW(Api(path).c_str(), DELETE | FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                      attributes, nullptr));
    if (!file.valid())
        throw std::runtime_error("cannot create the deletion probe in " + Narrow(folder));
    struct {
        DWORD flags;
    } extended{flags};
    if (::SetFileInformationByHandle(file.get(), static_cast<FILE_INFO_BY_HANDLE_CLASS>(21), &extended, sizeof extended))
        return true;
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic);
    FILE_DISPOSITION_INFO classic = {TRUE};
    ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &classic, sizeof classic);
    return false;
}

// FILE_DISPOSITION_FLAG_DELETE, _POSIX_SEMANTICS, _IGNORE_READONLY_ATTRIBUTE.
constexpr DWORD kDelete = 0x1;
constexpr DWORD kPosixSemantics = 0x2;
constexpr DWORD kIgnoreReadOnly = 0x10;

}  // namespace

bool DeletesWithPosixSemantics(const std::wstring& folder)
{
    return TakesDeletionFlags(folder, kDelete | kPosixSemantics, FILE_ATTRIBUTE_NORMAL);
}

bool DeletesIgnoringReadOnly(const std::wstring& folder)
{
    return TakesDeletionFlags(folder, kDelete | kPosixSemantics | kIgnoreReadOnly, FILE_ATTRIBUTE_READONLY);
}

std::wstring UnmappedDrive()
{
    for (wchar_t letter = L'Q'; letter > L'D'; --letter) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        if (::GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR)
            return root;
    }
    return std::wstring();
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path);
    return text.substr(0, text.rfind(L'\\'));
}

bool RunsUnderWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

bool MayResetThisProfile()
{
    return Environment(L"CLEANER_SELFTEST").empty() || Environment(L"CLEANER_RESET_THIS_PROFILE") == L"1";
}

namespace {

// REPARSE_DATA_BUFFER for a mount point (ntifs.h), with its path buffer.
struct MountPointHeader {
    DWORD reparseTag;
    WORD reparseDataLength;
    WORD reserved;
    WORD substituteNameOffset;
    WORD substituteNameLength;
    WORD printNameOffset;
    WORD printNameLength;
};

bool MakeJunction(const std::wstring& link, const std::wstring& target)
{
    if (!::CreateDirectoryW(Api(link).c_str(), nullptr))
        return false;
    const fw::UniqueFile handle(::CreateFileW(Api(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    // The names, each with its terminator: the NT path, then the one shown.
    const std::wstring substitute = L"\\??\\" + target;
    std::wstring names = substitute + L'\0' + target + L'\0';
    const auto bytes = [](size_t units) { return static_cast<WORD>(units * sizeof(wchar_t)); };
    MountPointHeader header = {IO_REPARSE_TAG_MOUNT_POINT, static_cast<WORD>(8 + bytes(names.size())), 0, 0,
                               bytes(substitute.size()), bytes(substitute.size() + 1), bytes(target.size())};
    std::vector<BYTE> buffer(sizeof header + bytes(names.size()));
    std::memcpy(buffer.data(), &header, sizeof header);
    std::memcpy(buffer.data() + sizeof header, names.data(), bytes(names.size()));
    DWORD returned = 0;
    const bool made = handle && ::DeviceIoControl(handle.get(), FSCTL_SET_REPARSE_POINT, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    if (!made)
        ::RemoveDirectoryW(Api(link).c_str());
    return made;
}

}  // namespace

bool LinkFolder(const std::wstring& link, const std::wstring& target)
{
    if (!RunsUnderWine())
        return MakeJunction(link, target);
    const std::string unixLink = UnixPath(link);
    return !unixLink.empty() && RunUnixShell("ln -s '" + UnixPath(target) + "' '" + unixLink + "'");
}

void RemoveFolderLink(const std::wstring& link)
{
    // Under Wine a removal through Wine would reach the target.
    if (RunsUnderWine())
        RunUnixShell("rm '" + UnixPath(link) + "'");
    else
        ::RemoveDirectoryW(Api(link).c_str());
}

std::wstring Environment(const wchar_t* name)
{
    wchar_t buffer[2048] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, buffer, 2048);
    return length > 0 && length < 2048 ? std::wstring(buffer, length) : std::wstring();
}

}  // namespace testing_support

namespace testing_support {

std::string UnixPath(const std::wstring& windowsPath)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr)
        return std::string();
    char* name = convert(windowsPath.c_str());
    if (name == nullptr)
        return std::string();
    std::string path(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return path;
}

bool RunUnixShell(const std::string& command, DWORD timeoutMs)
{
    TempFolder marker;
    const std::string done = UnixPath(marker / L"done");
    if (done.empty())
        return false;
    // One argument in double quotes: the command is written with single
    // quotes only.
    const std::string script = command + " && touch '" + done + "'";
    if (script.find_first_of("\"\\") != std::string::npos)
        return false;
    std::wstring line = L"sh -c \"";
    for (char c : script)
        line += static_cast<wchar_t>(static_cast<unsigned char>(c));
    line += L'"';
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    const fw::UniqueKernelHandle processHandle(process.hProcess);
    const fw::UniqueKernelHandle threadHandle(process.hThread);
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        if (Exists(marker / L"done"))
            return true;
        ::Sleep(10);
    }
    return false;
}

}  // namespace testing_support
