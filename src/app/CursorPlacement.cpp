// src/app/CursorPlacement.cpp
#include "app/CursorPlacement.h"

#include "app/Placement.h"
#include "framework/Dpi.h"

namespace {

cleaner::Rect ToRect(const RECT& r) { return cleaner::Rect{r.left, r.top, r.right, r.bottom}; }

// The work area (less the taskbars) of the monitor under the point, or the
// one nearest to it when the point lies where no monitor shows; the virtual
// screen where the system cannot tell.
cleaner::Rect WorkAreaAt(POINT point)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor))
        return ToRect(monitor.rcWork);
    const long x0 = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const long y0 = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return cleaner::Rect{x0, y0, x0 + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         y0 + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void PlaceOnce(HWND dialog, HWND anchor, POINT cursor)
{
    RECT dialogRect = {};
    RECT anchorRect = {};
    ::GetWindowRect(dialog, &dialogRect);
    ::GetWindowRect(anchor, &anchorRect);
    const cleaner::Point place = cleaner::PlaceUnderCursor(ToRect(dialogRect), ToRect(anchorRect),
                                                           cleaner::Point{cursor.x, cursor.y}, WorkAreaAt(cursor));
    ::SetWindowPos(dialog, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void PlaceDialogUnderCursor(HWND dialog, HWND anchor)
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    // Moved onto a monitor of another scale, a per-monitor aware dialog is
    // laid out anew at that monitor's DPI, its anchor elsewhere: placed once
    // more at its new size.
    const UINT dpi = fw::WindowDpi(dialog);
    PlaceOnce(dialog, anchor, cursor);
    if (fw::WindowDpi(dialog) != dpi)
        PlaceOnce(dialog, anchor, cursor);
}
