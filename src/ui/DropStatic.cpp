// src/ui/DropStatic.cpp
#include "ui/DropStatic.h"

#include "framework/Handle.h"

void CDropStatic::OnDropFiles(HDROP drop)
{
    const fw::UniqueDrop owner(drop);
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    const fw::UniqueLocal buffer(::LocalAlloc(LMEM_ZEROINIT, (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t)));
    if (!buffer)
        return;  // no memory for the name: the drop is ignored
    wchar_t* name = static_cast<wchar_t*>(buffer.get());
    ::DragQueryFileW(drop, 0, name, length + 1);
    m_droppedPath = name;
    m_fileDropped = 1;
}

LRESULT CDropStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DROPFILES) {
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return CStatic::WindowProc(message, wParam, lParam);
}
