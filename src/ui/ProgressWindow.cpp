// src/ui/ProgressWindow.cpp
#include "ui/ProgressWindow.h"

#include "app/CursorPlacement.h"
#include "res/resource.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kTickTimer = 1;
// Posted to itself once the next dialog is active: destroyed then, the
// window hands activation to nobody.
constexpr UINT kGoMessage = WM_APP + 1;
}  // namespace

CProgressWindow::CProgressWindow(bool listing) : CDialog(IDD_PROGRESS_DIALOG), m_listing(listing) {}

CProgressWindow::~CProgressWindow()
{
    if (m_hWnd != nullptr) {
        ::ShutdownBlockReasonDestroy(m_hWnd);
        DestroyWindow();
    }
}

bool CProgressWindow::Start(bool mayShow)
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    m_numbers.emplace();
    m_mayShow = mayShow;
    m_started = m_lastPump = ::GetTickCount();
    if (!Create())
        return false;
    // Shown by Windows when the user logs off or shuts down meanwhile; with
    // it, a window holds the session whether it shows or not (a silent
    // run's too). Without one, a window that refuses the end is ended all
    // the same, with no chance to say how far the run got.
    m_blocking = ::ShutdownBlockReasonCreate(m_hWnd, L"Cleaning the Plandrel profile") != FALSE;
    return true;
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
    // Run elevated, the window still hears of its taskbar button.
    AllowMessageFromLowerIntegrity(m_taskbarButtonCreated);
    return TRUE;
}

void CProgressWindow::RemovingFolder(const std::wstring& folder)
{
    Show(m_listing ? L"Listing what a run would remove in:"
                   : m_again ? L"Removing what the registration left in:" : L"Removing:",
         folder);
}

void CProgressWindow::CleaningRegistry()
{
    Show(m_listing ? L"Listing the Velmora entries in the registry." : L"Cleaning the Velmora entries in the registry.",
         L"");
}

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
        // Without a window, or once a quit message came, input would wake
        // the wait at once and for ever.
        if (m_hWnd == nullptr || m_quit ||
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT) == WAIT_FAILED) {
            ::Sleep(milliseconds - spent);
            break;
        }
        Pump();
    }
}

void CProgressWindow::Pump()
{
    if (m_hWnd == nullptr || m_pumping || m_quit)
        return;
    m_lastPump = ::GetTickCount();
    Update();
    LetMessagesThrough();
}

void CProgressWindow::Update()
{
    if (!m_mayShow)
        return;
    const DWORD now = ::GetTickCount();
    if (!m_visible) {
        if (now - m_started < kShowAfterMs)
            return;
        PlaceDialogUnderCursor(m_hWnd, m_hWnd);
        // Shown active: the dialog after the run then takes activation from
        // this window, not from another program's.
        ::ShowWindow(m_hWnd, SW_SHOW);
        m_visible = true;
        m_taskbar.ShowBusy(m_hWnd);
        // A screen reader tells the count as it grows; the bar is named by
        // the hidden label before it and tells the count as its description.
        // Only now: a window never shown (a silent run's) asks for nothing.
        m_accessibility.MarkLive(GetDlgItem(IDC_PROGRESS_COUNT));
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
        const std::wstring text =
            m_numbers->Format(m_count) + (m_count == 1 ? L" file or folder" : L" files and folders") +
            (m_listing ? L" listed so far" : L" removed so far");
        ::SetDlgItemTextW(m_hWnd, IDC_PROGRESS_COUNT, text.c_str());
        m_shownCount = m_count;
        // Not at every refresh: a reader would speak of nothing else.
        if (now - m_announced >= kAnnounceMs) {
            m_announced = now;
            m_accessibility.SetDescription(GetDlgItem(IDC_PROGRESS_BAR), text);
            fw::CAccessibility::AnnounceChange(GetDlgItem(IDC_PROGRESS_COUNT));
        }
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
            // Taken once: the program has no loop of its own to hand it to,
            // and re-posted it would wake every later wait at once. The run
            // finishes, and no dialog follows, as a modal loop would end on
            // it anyway.
            m_quit = true;
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

bool CProgressWindow::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result)
{
    switch (message) {
    case WM_SETCURSOR:
        // The wait cursor over the window: the work goes on.
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        result = TRUE;
        return true;
    case WM_ACTIVATE:
        // The next dialog is active: this window can go without handing
        // activation on.
        if (m_handingOver && LOWORD(wParam) == WA_INACTIVE)
            ::PostMessageW(m_hWnd, kGoMessage, 0, 0);
        return false;
    case WM_QUERYENDSESSION:
        // Windows asks whether the session may end: not while the work goes
        // on, which logoff would cut off part-way, where the reason tells
        // the user why.
        result = m_handingOver || !m_blocking ? TRUE : FALSE;
        return true;
    case kGoMessage:
        DestroyWindow();
        return true;
    default:
        if (message == m_taskbarButtonCreated && m_visible && !m_handingOver)
            m_taskbar.ShowBusy(m_hWnd);
        return false;
    }
}

void CProgressWindow::DropQueuedInput()
{
    // A click or key meant for this window in its last moment must not
    // press a button of the dialog that opens where it was.
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    while (::PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
    }
    while (::PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
}

void CProgressWindow::Done()
{
    if (m_hWnd == nullptr || m_handingOver)
        return;
    ::ShutdownBlockReasonDestroy(m_hWnd);
    m_blocking = false;
    m_taskbar.Clear(m_hWnd);
    KillTimer(kTickTimer);
    DropQueuedInput();
    // Destroyed while active, it would hand activation to another program's
    // window, and the foreground lock may then keep the next dialog behind
    // it. So it stays until that dialog is active; a moment of overlap.
    if (m_visible && ::GetActiveWindow() == m_hWnd)
        m_handingOver = true;
    else
        DestroyWindow();
}
