// src/framework/RestartManager.h
// Which programs hold a file open, as the Restart Manager names them. The
// manager is loaded from the system folder at run time, so that no build
// needs its import library and a system without it simply names nobody.
#pragma once

#include "framework/Handle.h"

#include <string>
#include <vector>

namespace fw {

struct FileHolder {
    std::wstring name;  // the application's name as the manager gives it
    DWORD processId = 0;
};

class CRestartManager {
public:
    CRestartManager() noexcept;

    // The processes that hold the file; empty when nobody is named or the
    // manager cannot be asked. Each question is a session of its own.
    std::vector<FileHolder> HoldersOf(const std::wstring& path) const;

private:
    struct ProcessInfo;
    using StartFn = DWORD(WINAPI*)(DWORD*, DWORD, wchar_t*);
    using RegisterFn = DWORD(WINAPI*)(DWORD, UINT, const wchar_t**, UINT, void*, UINT, const wchar_t**);
    using ListFn = DWORD(WINAPI*)(DWORD, UINT*, UINT*, ProcessInfo*, DWORD*);
    using EndFn = DWORD(WINAPI*)(DWORD);

    UniqueModule m_module;
    StartFn m_start = nullptr;
    RegisterFn m_register = nullptr;
    ListFn m_list = nullptr;
    EndFn m_end = nullptr;
};

}  // namespace fw
