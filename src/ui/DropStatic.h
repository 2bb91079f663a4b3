// src/ui/DropStatic.h
// The warning text of the main dialog, which takes dropped files. It only
// records the first dropped file; the dialog takes it up on its timer.
#pragma once

#include "framework/Static.h"

#include <shellapi.h>

#include <string>

class CDropStatic : public fw::CStatic {
public:
    void BindControl(HWND control) override { SubclassWindow(control); }
    // Records the first file of the drop and releases the drop handle.
    void OnDropFiles(HDROP drop);

    std::wstring m_droppedPath;
    int m_fileDropped = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
