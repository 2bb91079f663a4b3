// src/app/CursorPlacement.h
#pragma once

#include <windows.h>

// Moves the dialog, without resizing it, so that the centre of the anchor
// control lies under the mouse cursor, kept on the virtual screen.
void PlaceDialogUnderCursor(HWND dialog, HWND anchor);
