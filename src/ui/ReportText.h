// src/ui/ReportText.h
// The failure dialog's report, and the keys a keyboard user reads it with:
// a read-only text reached with Tab (which selects nothing in it), whose
// caret the arrow, page, Home and End keys move as in any read-only text,
// the view following it (screen readers and Magnifier follow the caret),
// Shift with them selecting. Ctrl+C copies the selection where there is
// one, else the whole text, as a message box copies its text; Ctrl+C on the
// dialog's other controls copies the whole text too.
#pragma once

#include "framework/FreshInput.h"

// A control of the dialog (its OK button): Ctrl+C (or Ctrl+Insert) is
// handed to the dialog as WM_COPY, which copies the whole text. Like every
// control that has the focus as a result opens, it takes no key held down
// from before and no click that began before the dialog showed.
class CCopyKeyControl : public fw::CFreshInputControl {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CReportText : public CCopyKeyControl {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
