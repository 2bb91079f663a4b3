#include "app/Placement.h"

#include <gtest/gtest.h>

using cleaner::PlaceUnderCursor;
using cleaner::Point;
using cleaner::Rect;

namespace {
// A 300x200 dialog at the origin with a 100x30 anchor at (150, 150).
const Rect kDialog{0, 0, 300, 200};
const Rect kAnchor{150, 150, 250, 180};
const Rect kScreen{0, 0, 1280, 1024};

void ExpectPoint(const Point& p, long x, long y)
{
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
}
}  // namespace

TEST(Placement, AnchorCentreUnderTheCursorInTheMiddle)
{
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{640, 512}, kScreen), 640 - 150 - 50, 512 - 150 - 15);
    // Halvings drop the remainder: an anchor 101 wide has its centre at 50.
    ExpectPoint(PlaceUnderCursor(kDialog, Rect{150, 150, 251, 181}, Point{640, 512}, kScreen), 440, 347);
    // Where the dialog stands at first does not matter, only offsets do.
    ExpectPoint(PlaceUnderCursor(Rect{1000, 700, 1300, 900}, Rect{1150, 850, 1250, 880}, Point{640, 512}, kScreen),
                440, 347);
}

TEST(Placement, EachCornerKeepsTheDialogOnTheScreen)
{
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{0, 0}, kScreen), 0, 0);
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{1279, 0}, kScreen), 980, 0);
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{0, 1023}, kScreen), 0, 824);
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{1279, 1023}, kScreen), 980, 824);
    // An edge exactly on a bound is not moved.
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{200, 165}, kScreen), 0, 0);
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{1180, 989}, kScreen), 980, 824);
}

TEST(Placement, DialogLargerThanTheScreenEndsOnTheRightAndBottomEdges)
{
    const Rect big{0, 0, 1500, 1200};
    const Rect anchor{700, 1100, 800, 1130};
    ExpectPoint(PlaceUnderCursor(big, anchor, Point{10, 10}, kScreen), 1280 - 1500, 1024 - 1200);
    ExpectPoint(PlaceUnderCursor(big, anchor, Point{1270, 1000}, kScreen), -220, -176);
}

TEST(Placement, VirtualScreenStartingAtNegativeX)
{
    // A monitor left of the primary: the screen spans -1920 .. 1280.
    const Rect wide{-1920, 0, 1280, 1024};
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{1200, 500}, wide), 980, 335);
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{-1900, 500}, wide), -1920, 335);
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{-10, 500}, wide), -210, 335);
}

// The bounds are the work area of the monitor under the pointer: a taskbar
// there is never covered, and no part of the dialog lies where no monitor
// shows it.
TEST(Placement, TheWorkAreaKeepsEveryButtonOffTheTaskbar)
{
    // The pointer on a pinned taskbar button: bottom, top and left taskbars.
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{600, 1004}, Rect{0, 0, 1280, 984}), 400, 784);
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{600, 20}, Rect{0, 40, 1280, 1024}), 400, 40);
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{24, 500}, Rect{48, 0, 1280, 1024}), 48, 335);

    // A 1920x1080 monitor beside a 1280x1024 one on its right, whose work
    // area ends 40 pixels above its bottom.
    const Rect right{1920, 0, 3200, 984};
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{3100, 950}, right), 2900, 784);
    // The pointer in the strip below the smaller monitor that none shows:
    // Windows names the nearest monitor, and the dialog lies wholly on it.
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{2500, 1060}, right), 2300, 784);
    // At the seam the dialog stays on the monitor under the pointer.
    ExpectPoint(PlaceUnderCursor(kDialog, kAnchor, Point{1925, 500}, right), 1920, 335);
}
