// src/app/CursorPlacement.h
#pragma once

#include <windows.h>

// Moves the dialog, without resizing it, so that the centre of the anchor
// control lies under the mouse cursor, kept within the work area of the
// monitor under the cursor: never under a taskbar, never where no monitor
// shows it.
void PlaceDialogUnderCursor(HWND dialog, HWND anchor);
