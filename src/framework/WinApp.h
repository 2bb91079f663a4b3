// src/framework/WinApp.h
// The application object base. The program defines exactly one object of a
// class derived from CWinApp; the entry point finds it and calls its
// InitInstance, which is the whole run.
#pragma once

#include <windows.h>

namespace fw {

class CWinApp {
public:
    CWinApp() noexcept;
    virtual ~CWinApp();

    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The whole run. Returning FALSE ends the program without a message loop,
    // which is all this program ever does.
    virtual BOOL InitInstance() = 0;
    // Returns the process exit code.
    virtual int ExitInstance();

    // The object built last and not yet destroyed; null when there is none.
    static CWinApp* Current() noexcept;

    HINSTANCE GetInstanceHandle() const noexcept { return m_hInstance; }
    void SetInstanceHandle(HINSTANCE instance) noexcept { m_hInstance = instance; }

    // The executable's file name without folder and extension: the caption of
    // every message box. Empty when the module name cannot be read.
    const wchar_t* GetAppName() const noexcept { return m_appName; }

    // Counted wait cursor: every end undoes one begin, and the count never
    // drops below zero. The arrow comes back when the count reaches zero.
    void BeginWaitCursor() noexcept;
    void EndWaitCursor() noexcept;
    int WaitCursorCount() const noexcept { return m_waitCount; }

    // A window or dialog procedure that caught an exception says so here, so
    // that the end of the run can tell that something failed.
    void NoteCaughtException() noexcept { m_exceptionCaught = true; }
    bool ExceptionCaught() const noexcept { return m_exceptionCaught; }

    // Windows ends the session, and this process with it, once every
    // program has returned from WM_ENDSESSION: what must be told is told
    // here. The reason is that message's lParam (ENDSESSION_CLOSEAPP: the
    // Restart Manager closes the program for an installer, and the session
    // goes on). Every dialog of the program calls it.
    virtual void OnSessionEnding(LPARAM reason) noexcept { (void)reason; }

    // Whether the key is down now, as the keyboard has it
    // (GetAsyncKeyState); tests stand in for a key held down.
    virtual bool IsKeyDown(int virtualKey) const noexcept { return ::GetAsyncKeyState(virtualKey) < 0; }

    void SetExitCode(int code) noexcept { m_exitCode = code; }
    int GetExitCode() const noexcept { return m_exitCode; }

private:
    void ReadAppName() noexcept;

    HINSTANCE m_hInstance = nullptr;
    wchar_t m_appName[MAX_PATH] = {};
    int m_waitCount = 0;
    HCURSOR m_cursorBeforeWait = nullptr;
    int m_exitCode = 0;
    bool m_exceptionCaught = false;
    CWinApp* m_previous = nullptr;
};

// The program's entry, called by wWinMain: sets the instance handle on the
// one application object, runs InitInstance and returns ExitInstance.
int RunApplication(HINSTANCE instance);

}  // namespace fw
