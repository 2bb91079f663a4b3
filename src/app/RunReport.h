// src/app/RunReport.h
// The caller's standard error handle, when it gave one, for the report
// lines of a run. Started from Explorer, a shortcut or a console without
// redirection, the program has none, and writes nothing anywhere.
#pragma once

#include <windows.h>

#include <string>

class CRunReport {
public:
    // Finds the handle: one the caller handed over at start (a file or a
    // pipe). A console or the NUL device counts as none.
    CRunReport() noexcept;

    bool IsOpen() const noexcept { return m_handle != nullptr; }
    // Writes the line in UTF-8; a write that fails stops the report.
    void Write(const std::wstring& line) noexcept;

    // The system's text for an error code, without its line end, its
    // inserts ("%1") filled with what it speaks of: a path, a key.
    static std::wstring SystemMessage(DWORD code, const std::wstring& insert);

private:
    // Belongs to the process, not to the report: it is never closed here.
    HANDLE m_handle = nullptr;
};
