// src/framework/IconStatic.h
// An icon control showing a system icon drawn for its window's DPI. The
// control owns that icon: one made for a size must be destroyed, and only
// after the control shows another.
#pragma once

#include "framework/Dpi.h"
#include "framework/Static.h"

#include <utility>

namespace fw {

class CIconStatic : public CStatic {
public:
    // Shows the system icon (IDI_WARNING, say) at the window's DPI; called
    // again when the DPI changed.
    void ShowSystemIcon(const wchar_t* id)
    {
        UniqueIcon icon = LoadSystemIcon(id, WindowDpi(m_hWnd));
        if (!icon)
            return;
        SetIcon(icon.get());
        m_icon = std::move(icon);
    }

private:
    UniqueIcon m_icon;
};

}  // namespace fw
