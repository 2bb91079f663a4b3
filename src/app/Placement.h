// src/app/Placement.h
// Where a dialog opens: the centre of its anchor control under the mouse
// cursor, then shifted back into the bounds given: the work area (the
// monitor less its taskbars) of the monitor under the cursor, or nearest to
// it, which lies inside the virtual screen. Portable.
#pragma once

namespace cleaner {

struct Rect {
    long left, top, right, bottom;
};
struct Point {
    long x, y;
};

// The dialog's new left and top edge; its size does not change. The left and
// top bounds are applied first, then the right and bottom ones, so a dialog
// larger than the bounds ends with its right or bottom edge on theirs.
Point PlaceUnderCursor(const Rect& dialog, const Rect& anchor, const Point& cursor, const Rect& bounds);

}  // namespace cleaner
