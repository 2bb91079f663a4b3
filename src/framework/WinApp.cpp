// src/framework/WinApp.cpp
#include "framework/WinApp.h"

#include <cwchar>

namespace fw {
namespace {
// The application object registers itself here; this is the framework's only
// reference to it, the way the entry point finds it.
CWinApp* g_currentApp = nullptr;
}  // namespace

CWinApp::CWinApp() noexcept : m_previous(g_currentApp)
{
    g_currentApp = this;
    ReadAppName();
}

CWinApp::~CWinApp()
{
    if (g_currentApp == this)
        g_currentApp = m_previous;
}

CWinApp* CWinApp::Current() noexcept { return g_currentApp; }

int CWinApp::ExitInstance() { return m_exitCode; }

void CWinApp::ReadAppName() noexcept
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    const wchar_t* name = std::wcsrchr(path, L'\\');
    name = name ? name + 1 : path;
    const wchar_t* dot = std::wcsrchr(name, L'.');
    const size_t nameLength = dot ? static_cast<size_t>(dot - name) : std::wcslen(name);
    std::wmemcpy(m_appName, name, nameLength);
    m_appName[nameLength] = L'\0';
}

void CWinApp::BeginWaitCursor() noexcept
{
    if (m_waitCount++ == 0)
        m_cursorBeforeWait = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

void CWinApp::EndWaitCursor() noexcept
{
    if (m_waitCount == 0)
        return;
    if (--m_waitCount == 0) {
        ::SetCursor(m_cursorBeforeWait ? m_cursorBeforeWait : ::LoadCursorW(nullptr, IDC_ARROW));
        m_cursorBeforeWait = nullptr;
    }
}

namespace {
constexpr int kExitUnexpectedError = 1;
}

int RunApplication(HINSTANCE instance)
{
    CWinApp* app = CWinApp::Current();
    if (app == nullptr)
        return -1;
    app->SetInstanceHandle(instance);
    // This program never returns TRUE here; a message loop would follow if it
    // did, and it has no main window to run one for. No exception may end
    // the process with the runtime's abort message box.
    try {
        app->InitInstance();
        return app->ExitInstance();
    } catch (...) {
        return kExitUnexpectedError;
    }
}

}  // namespace fw
