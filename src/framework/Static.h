// src/framework/Static.h
#pragma once

#include "framework/Wnd.h"

namespace fw {

class CStatic : public CWnd {
public:
    // Returns the icon shown before; the control does not own either.
    HICON SetIcon(HICON icon) const
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
    HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};

}  // namespace fw
