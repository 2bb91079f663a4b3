// src/ui/ProgressWindow.cpp
#include "ui/ProgressWindow.h"

#include "app/CursorPlacement.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kTickTimer = 1;
}  // namespace

CProgressWindow::CProgressWindow() : CDialog(IDD_PROGRESS_DIALOG) {}

CProgressWindow::~CProgressWindow() { Done(); }

void CProgressWindow::Start()
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    m_started = m_lastTick = ::GetTickCount();
    Create();
}

BOOL CProgressWindow::OnInitDialog()
{
    CDialog::OnInitDialog();
    const HWND bar = GetDlgItem(IDC_PROGRESS_BAR);
    // Common controls before version 6 have no marquee: the bar then steps
    // round on every refresh instead.
    m_marquee = ::SendMessageW(bar, PBM_SETMARQUEE, TRUE, 40) != 0;
    if (!m_marquee) {
        ::SetWindowLongW(bar, GWL_STYLE, ::GetWindowLongW(bar, GWL_STYLE) & ~PBS_MARQUEE);
        ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
        ::SendMessageW(bar, PBM_SETSTEP, 5, 0);
    }
    // Also while the run waits for the product, so that it shows in time.
    SetTimer(kTickTimer, kRefreshMs);
    return TRUE;
}

void CProgressWindow::RemovingFolder(const std::wstring& folder)
{
    Show(m_again ? L"Removing what the registration left in:" : L"Removing:", folder);
}

void CProgressWindow::CleaningRegistry() { Show(L"Cleaning the Velmora entries in the registry.", L""); }

void CProgressWindow::WaitingForProduct(const std::wstring& executableName)
{
    Show(L"Waiting for " + executableName + L" to register itself.", L"This can take a minute.");
}

void CProgressWindow::CleaningAgain()
{
    m_again = true;
    Show(L"Removing what the registration left.", L"");
}

void CProgressWindow::Show(const std::wstring& action, const std::wstring& detail)
{
    m_action = action;
    m_detail = detail;
    m_textChanged = true;
    Pump();
}

void CProgressWindow::Pause(unsigned milliseconds)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= milliseconds)
            break;
        if (m_hWnd == nullptr) {
            ::Sleep(milliseconds - spent);
            break;
        }
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT) == WAIT_FAILED) {
            ::Sleep(milliseconds - spent);
            break;
        }
        Pump();
    }
}

void CProgressWindow::Tick()
{
    const DWORD now = ::GetTickCount();
    if (now - m_lastTick < 50)
        return;
    Pump();
}

void CProgressWindow::Pump()
{
    if (m_hWnd == nullptr || m_pumping)
        return;
    m_lastTick = ::GetTickCount();
    Update();
    LetMessagesThrough();
}

void CProgressWindow::Update()
{
    const DWORD now = ::GetTickCount();
    if (!m_visible) {
        if (now - m_started < kShowAfterMs)
            return;
        PlaceDialogUnderCursor(m_hWnd, m_hWnd);
        ::ShowWindow(m_hWnd, SW_SHOW);
        m_visible = true;
    } else if (now - m_refreshed < kRefreshMs && !m_textChanged) {
        return;
    }
    m_refreshed = now;
    if (m_textChanged) {
        ::SetDlgItemTextW(m_hWnd, IDC_PROGRESS_ACTION, m_action.c_str());
        ::SetDlgItemTextW(m_hWnd, IDC_PROGRESS_DETAIL, m_detail.c_str());
        m_textChanged = false;
    }
    if (m_count != m_shownCount) {
        const std::wstring text = cleaner::GroupedCount(m_count) + (m_count == 1 ? L" file or folder removed so far"
                                                                                  : L" files and folders removed so far");
        ::SetDlgItemTextW(m_hWnd, IDC_PROGRESS_COUNT, text.c_str());
        m_shownCount = m_count;
    }
    if (!m_marquee)
        ::SendDlgItemMessageW(m_hWnd, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

void CProgressWindow::LetMessagesThrough()
{
    m_pumping = true;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Not this loop's to take: the program's own loop ends on it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    m_pumping = false;
}

void CProgressWindow::OnTimer(UINT_PTR id)
{
    if (id == kTickTimer)
        Update();
}

bool CProgressWindow::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result)
{
    // The wait cursor over the window: the work goes on.
    if (message == WM_SETCURSOR) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        result = TRUE;
        return true;
    }
    return false;
}

void CProgressWindow::Done()
{
    if (m_hWnd == nullptr)
        return;
    KillTimer(kTickTimer);
    DestroyWindow();
    m_visible = false;
}
