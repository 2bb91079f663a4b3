// tests/support/UiScript.h
// Drives modal dialogs from inside their own message loop: the steps run one
// after another on a thread timer, which every modal loop of the thread
// dispatches. A step returns false to be tried again on the next tick (for
// instance while the window it needs has not appeared yet). Steps must not
// block: they post clicks rather than send them.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class UiScript {
public:
    using Step = std::function<bool()>;

    UiScript();
    ~UiScript();
    UiScript(const UiScript&) = delete;
    UiScript& operator=(const UiScript&) = delete;

    UiScript& Then(Step step);
    // Waits for the given number of ticks before the next step.
    UiScript& Wait(int ticks);
    bool Finished() const { return m_steps.empty(); }
    // Failures noted by steps, for the test to assert on.
    std::wstring errors;

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::deque<Step> m_steps;
    UINT_PTR m_timer = 0;
    bool m_running = false;
};

// The topmost enabled dialog window (class #32770) of this thread with the
// caption, or null; with a control id, only a dialog that has that control.
HWND FindThreadDialog(const std::wstring& caption, int controlId = 0);
// A step that waits for that dialog, then acts on it once.
UiScript::Step OnDialog(const std::wstring& caption, int controlId, std::function<void(HWND)> act);
// A message box of this thread (a dialog with the static text id 0xFFFF).
HWND FindMessageBox();
std::wstring ControlText(HWND dialog, int id);
std::wstring WindowText(HWND window);
void PostClick(HWND dialog, int id);
// A key pressed and let go, as the keyboard gives it to the window with the
// focus; with control, as if Ctrl were held. The dialog's own loop sees it.
void PostKey(HWND window, UINT virtualKey, bool control = false);
// The repeat of a key held down since before: a key-down that says the key
// was down already, and no key-up.
void PostHeldKey(HWND window, UINT virtualKey);
// Whether each of the ids, met by the arrow keys, leads only to ids of the set.
bool ArrowsStayAmong(HWND dialog, const std::vector<int>& ids);
// High contrast switched on, with the colours of a dark high contrast theme,
// for the object's life.
class HighContrast {
public:
    HighContrast();
    ~HighContrast();
    HighContrast(const HighContrast&) = delete;
    HighContrast& operator=(const HighContrast&) = delete;

private:
    std::vector<COLORREF> m_saved;
};
// The window as it draws itself, saved as NAME.bmp in the folder that
// CLEANER_SCREENSHOTS names (made when missing), when it names one.
void SaveScreenshot(HWND window, const std::wstring& name);
int CheckState(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
// The centre of a control in screen coordinates.
POINT ControlCentre(HWND dialog, int id);
// The name a screen reader hears for the control, as oleacc gives it.
std::wstring AccessibleName(HWND control);
// A real drop handle listing the files, as the shell makes it, dropped at a
// point in the client area of the window it is posted to.
HDROP MakeDrop(const std::vector<std::wstring>& files, POINT clientPoint = {});

}  // namespace testing_support
