// src/ui/ProgressWindow.h
// The small window that shows a long run at work: what is being done, how
// many entries went so far, and a moving bar. Made hidden when the run
// starts, shown once the work has lasted half a second, and gone once the
// dialog that follows the run is in front. It runs on the run's own
// thread: it lets its messages through whenever the engine tells it of
// progress, no more often than it needs to.
#pragma once

#include "clean/RunProgress.h"
#include "framework/Accessibility.h"
#include "framework/Dialog.h"
#include "framework/TaskbarProgress.h"
#include "ui/NumberFormat.h"

#include <optional>
#include <string>

class CProgressWindow final : public fw::CDialog, public cleaner::IRunProgress {
public:
    // Shown after this long, its messages let through at least this often
    // while the engine calls it, and its texts brought up to date this often.
    static constexpr unsigned kShowAfterMs = 500;
    static constexpr unsigned kPumpMs = 50;
    static constexpr unsigned kRefreshMs = 200;
    // How often a screen reader is told the count.
    static constexpr unsigned kAnnounceMs = 5000;

    // A listing's window says what is listed, not what is removed.
    explicit CProgressWindow(bool listing = false);
    ~CProgressWindow() override;

    // Makes the window, hidden; false when it cannot be made, and the run
    // then goes without one. One that may not show (a silent run's) is
    // there for the session's messages only. While the run lasts, Windows
    // is asked not to end the session, with the reason it shows the user.
    bool Start(bool mayShow = true);

    void RemovingFolder(const std::wstring& folder) override;
    void EntryRemoved() override
    {
        ++m_count;
        Tick();
    }
    // The clock is looked at every time: one slow entry (a scanner, a
    // network share) must not keep the window unpainted.
    void Tick() override
    {
        if (::GetTickCount() - m_lastPump >= kPumpMs)
            Pump();
    }
    void CleaningRegistry() override;
    void WaitingForProduct(const std::wstring& executableName) override;
    void CleaningAgain() override;
    void Pause(unsigned milliseconds) override;
    void Pump() override;
    void Done() override;
    bool Quitting() const override { return m_quit; }

    unsigned long long Count() const noexcept { return m_count; }

protected:
    BOOL OnInitDialog() override;
    // Enter, Escape and Alt+F4 neither stop the run nor close the window.
    void OnOK() override {}
    void OnCancel() override {}
    void OnTimer(UINT_PTR id) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnDestroy() override { m_accessibility.Clear(); }

private:
    void Update();
    void LetMessagesThrough();
    void Show(const std::wstring& action, const std::wstring& detail);
    void DropQueuedInput();

    unsigned long long m_count = 0;
    unsigned long long m_shownCount = ~0ULL;
    DWORD m_started = 0;
    DWORD m_lastPump = 0;
    DWORD m_refreshed = 0;
    DWORD m_announced = 0;
    bool m_visible = false;
    bool m_mayShow = true;
    bool m_pumping = false;
    bool m_marquee = false;
    bool m_again = false;
    bool m_listing = false;
    // A quit message came: nothing is pumped any more.
    bool m_quit = false;
    // Windows was given the reason for holding the session.
    bool m_blocking = false;
    // The work is over and the window waits for the next dialog to take
    // activation from it.
    bool m_handingOver = false;
    std::wstring m_action;
    std::wstring m_detail;
    bool m_textChanged = true;
    std::optional<cleaner::CNumberFormat> m_numbers;
    fw::CAccessibility m_accessibility;
    // The taskbar button shows that work goes on while the window shows.
    fw::CTaskbarProgress m_taskbar;
    UINT m_taskbarButtonCreated = fw::CTaskbarProgress::ButtonCreatedMessage();
};
