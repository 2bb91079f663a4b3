// src/ui/ReportText.h
// The failure dialog's report, and the keys a keyboard user reads it with:
// a read-only text reached with Tab (which selects nothing in it), scrolled
// by the arrow and page keys, and copied whole with Ctrl+C when nothing in
// it is selected, as a message box copies its text. Ctrl+C on the dialog's
// other controls copies the same.
#pragma once

#include "framework/FreshKeys.h"

// A control of the dialog (its OK button): Ctrl+C (or Ctrl+Insert) is
// handed to the dialog as WM_COPY, which copies the whole text. Like every
// control that has the focus as a result opens, it takes no key held down
// from before.
class CCopyKeyControl : public fw::CFreshKeysControl {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CReportText : public CCopyKeyControl {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
