// src/framework/TaskbarProgress.h
// The state a window's taskbar button shows: work going on, of unknown
// length, or nothing. Through the shell's ITaskbarList3 (Windows 7 and
// later), best effort: without it the button stays as it is.
#pragma once

#include <windows.h>

struct ITaskbarList3;

namespace fw {

class CTaskbarProgress {
public:
    // The shell is asked for the taskbar only when a window first shows
    // busy, so that a window never shown costs nothing. Needs COM on this
    // thread (CComApartment) by then.
    CTaskbarProgress() noexcept = default;
    ~CTaskbarProgress();
    CTaskbarProgress(const CTaskbarProgress&) = delete;
    CTaskbarProgress& operator=(const CTaskbarProgress&) = delete;

    // Registered by the shell: sent to a window when its button exists
    // (again, after Explorer restarted). The state is set anew then.
    static UINT ButtonCreatedMessage() noexcept;

    void ShowBusy(HWND window) noexcept;
    void Clear(HWND window) noexcept;

private:
    bool Connect() noexcept;

    ITaskbarList3* m_taskbar = nullptr;
};

}  // namespace fw
