// src/app/Placement.cpp
#include "app/Placement.h"

namespace cleaner {

Point PlaceUnderCursor(const Rect& dialog, const Rect& anchor, const Point& cursor, const Rect& bounds)
{
    const long width = dialog.right - dialog.left;
    const long height = dialog.bottom - dialog.top;
    long left = cursor.x - (anchor.left - dialog.left) - (anchor.right - anchor.left) / 2;
    long top = cursor.y - (anchor.top - dialog.top) - (anchor.bottom - anchor.top) / 2;
    if (left < bounds.left)
        left = bounds.left;
    if (top < bounds.top)
        top = bounds.top;
    if (left + width > bounds.right)
        left = bounds.right - width;
    if (top + height > bounds.bottom)
        top = bounds.bottom - height;
    return Point{left, top};
}

}  // namespace cleaner
