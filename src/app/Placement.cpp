// src/app/Placement.cpp
#include "app/Placement.h"

namespace cleaner {

Point PlaceUnderCursor(const Rect& dialog, const Rect& anchor, const Point& cursor, const Rect& virtualScreen)
{
    const long width = dialog.right - dialog.left;
    const long height = dialog.bottom - dialog.top;
    long left = cursor.x - (anchor.left - dialog.left) - (anchor.right - anchor.left) / 2;
    long top = cursor.y - (anchor.top - dialog.top) - (anchor.bottom - anchor.top) / 2;
    if (left < virtualScreen.left)
        left = virtualScreen.left;
    if (top < virtualScreen.top)
        top = virtualScreen.top;
    if (left + width > virtualScreen.right)
        left = virtualScreen.right - width;
    if (top + height > virtualScreen.bottom)
        top = virtualScreen.bottom - height;
    return Point{left, top};
}

}  // namespace cleaner
