// src/selection/VersionFile.cpp
// Reading the product's "ProductVersion.xml": the whole file, whatever its
// size, decoded from UTF-8; every failure gives the empty text.
#include "app/CleanerApp.h"

#include "clean/ApiPath.h"
#include "selection/VersionText.h"

#include <vector>

// The text of the version file beside the executable, read anew at every
// call; empty when the path names no folder.
std::wstring CCleanerApp::ReadVersionFileBeside(const std::wstring& exePath)
{
    const std::wstring file = cleaner::VersionFilePath(exePath);
    return file.empty() ? std::wstring() : ReadVersionFileText(file);
}

std::wstring CCleanerApp::ReadPrefsPostfix(std::wstring exePath)
{
    return cleaner::FindPrefsPostfix(ReadVersionFileBeside(exePath));
}

std::wstring CCleanerApp::IsWin64Product(std::wstring exePath)
{
    return cleaner::PlatformSuffix(ReadVersionFileBeside(exePath));
}

std::wstring CCleanerApp::ReadVersionFileText(const std::wstring& path)
{
    // Shared with nobody: a file another program holds open is not read.
    const fw::UniqueFile file(::CreateFileW(cleaner::ApiPath(path).c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::wstring();
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) >= static_cast<unsigned long long>(MAXDWORD))
        return std::wstring();
    const DWORD length = static_cast<DWORD>(size.QuadPart);

    std::vector<char> bytes;
    try {
        bytes.resize(static_cast<size_t>(length) + 1);
    } catch (...) {
        // Too large to hold: bad_alloc, or length_error beyond what a
        // 32-bit process can address.
        return std::wstring();
    }
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), length, &read, nullptr) || read != length)
        return std::wstring();
    bytes[length] = '\0';
    return DecodeVersionText(bytes.data());
}

std::wstring CCleanerApp::DecodeVersionText(const char* bytes)
{
    if (bytes[0] == '\0')
        return std::wstring();
    // The count includes the terminator; conversion ends at the first zero
    // byte. A byte-order mark stays as U+FEFF.
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, bytes, -1, nullptr, 0);
    if (units <= 0)
        return std::wstring();
    try {
        std::wstring text(static_cast<size_t>(units), L'\0');
        const int converted = ::MultiByteToWideChar(CP_UTF8, 0, bytes, -1, text.data(), units);
        if (converted <= 0)
            return std::wstring();
        text.resize(static_cast<size_t>(converted - 1));
        return cleaner::CollapseAmpersands(text);
    } catch (...) {
        return std::wstring();  // a text too large to hold gives the empty text
    }
}
