// src/app/Placement.h
// Where a dialog opens: the centre of its anchor control under the mouse
// cursor, then shifted back into the virtual screen. Portable.
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
// larger than the virtual screen ends with its right or bottom edge on the
// screen's edge.
Point PlaceUnderCursor(const Rect& dialog, const Rect& anchor, const Point& cursor, const Rect& virtualScreen);

}  // namespace cleaner
