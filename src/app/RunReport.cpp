// src/app/RunReport.cpp
#include "app/RunReport.h"

#include "app/ReportLines.h"
#include "framework/Handle.h"

CRunReport::CRunReport() noexcept
{
    // A file or a pipe that the caller redirected standard error to; a
    // console (FILE_TYPE_CHAR, also the NUL device) is no report's place,
    // and a program started from Explorer or a shortcut has no handle.
    HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    // A directory handle would pass for a disk file too; writing to it
    // fails, and a failed write ends the report.
    const DWORD type = ::GetFileType(handle);
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE)
        m_handle = handle;
}

void CRunReport::Write(const std::wstring& line) noexcept
{
    if (m_handle == nullptr || line.empty())
        return;
    try {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0,
                                               nullptr, nullptr);
        if (size <= 0)
            return;
        std::string bytes(static_cast<size_t>(size), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size, nullptr,
                              nullptr);
        DWORD written = 0;
        if (!::WriteFile(m_handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size())
            m_handle = nullptr;  // a closed pipe: the caller has gone
    } catch (...) {
        m_handle = nullptr;  // no memory for the line: the report ends
    }
}

std::wstring CRunReport::SystemMessage(DWORD code, const std::wstring& insert)
{
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const fw::UniqueLocal owner(text);
    return length > 0 ? cleaner::FillInserts(cleaner::WithoutLineEnd(std::wstring_view(text, length)), insert)
                      : L"error " + std::to_wstring(code);
}
