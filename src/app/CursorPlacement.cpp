// src/app/CursorPlacement.cpp
#include "app/CursorPlacement.h"

#include "app/Placement.h"

namespace {
cleaner::Rect ToRect(const RECT& r) { return cleaner::Rect{r.left, r.top, r.right, r.bottom}; }
}  // namespace

void PlaceDialogUnderCursor(HWND dialog, HWND anchor)
{
    RECT dialogRect = {};
    RECT anchorRect = {};
    POINT cursor = {};
    ::GetWindowRect(dialog, &dialogRect);
    ::GetWindowRect(anchor, &anchorRect);
    ::GetCursorPos(&cursor);
    const long x0 = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const long y0 = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const cleaner::Rect screen{x0, y0, x0 + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                               y0 + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const cleaner::Point place =
        cleaner::PlaceUnderCursor(ToRect(dialogRect), ToRect(anchorRect), cleaner::Point{cursor.x, cursor.y}, screen);
    ::MoveWindow(dialog, place.x, place.y, dialogRect.right - dialogRect.left, dialogRect.bottom - dialogRect.top,
                 TRUE);
}
