// A stand-in for the product, copied as "Plandrel.exe" beside a
// "ProductVersion.xml". Started with "/REGSERVER" it writes the per-version
// key the real product writes under HKEY_CURRENT_USER, for the build and
// prefs postfix its version file names, records its whole command line in
// "started.txt" beside itself, and ends. A "hold.txt" beside it keeps it
// running (registering, as a real build takes its time, or only running,
// as a program whose file is in use) until the test that holds it writes
// "go.txt" there.
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring text(path);
    return text.substr(0, text.rfind(L'\\'));
}

std::string ReadFile(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    ::CloseHandle(file);
    return content;
}

void AppendUtf8Line(const std::wstring& path, const std::wstring& line)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.back() = '\n';
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::wstring Widen(const std::string& text)
{
    std::wstring out;
    for (char c : text)
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::wstring commandLine = ::GetCommandLineW();
    const std::wstring folder = OwnFolder();
    AppendUtf8Line(folder + L"\\started.txt", commandLine);
    if (::GetFileAttributesW((folder + L"\\hold.txt").c_str()) != INVALID_FILE_ATTRIBUTES) {
        while (::GetFileAttributesW((folder + L"\\go.txt").c_str()) == INVALID_FILE_ATTRIBUTES)
            ::Sleep(20);
    }
    if (commandLine.find(L"/REGSERVER") == std::wstring::npos)
        return 0;
    const std::string xml = ReadFile(folder + L"\\ProductVersion.xml");
    const bool win64 = xml.find("<platform>WIN64</platform>") != std::string::npos;
    std::string postfix = "10.0.0 INT R1";
    const size_t open = xml.find("<prefspostfix>");
    const size_t close = xml.find("</prefspostfix>");
    if (open != std::string::npos && close != std::string::npos && close > open + 14)
        postfix = xml.substr(open + 14, close - open - 14);

    // Like the real product, it leaves a cache behind in the profile.
    wchar_t local[MAX_PATH] = {};
    if (::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local) == S_OK) {
        const std::wstring cache = std::wstring(local) + L"\\Velmora";
        ::CreateDirectoryW(cache.c_str(), nullptr);
        AppendUtf8Line(cache + L"\\registered.txt", L"registered");
    }

    const std::wstring product = win64 ? L"Plandrel-64" : L"Plandrel";
    const std::wstring versionKey = L"Software\\Velmora\\" + product + L"\\" + product + L" " + Widen(postfix);
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, versionKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                          nullptr) == ERROR_SUCCESS) {
        SetString(key, L"InstallDir", folder);
        HKEY recent = nullptr;
        if (::RegCreateKeyExW(key, L"Recent File List", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &recent, nullptr) ==
            ERROR_SUCCESS)
            ::RegCloseKey(recent);
        ::RegCloseKey(key);
    }
    return 0;
}
