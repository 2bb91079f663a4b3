// src/framework/IconStatic.h
// An icon control showing a system icon drawn for its window's DPI. The
// control owns that icon when it was made for a size: such an icon must be
// destroyed, and only after the control shows another. A shared one is
// never destroyed.
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
        UniqueIcon owned;
        HICON icon = LoadSystemIcon(id, WindowDpi(m_hWnd), owned);
        if (icon == nullptr)
            return;
        SetIcon(icon);
        m_icon = std::move(owned);
    }

private:
    UniqueIcon m_icon;
};

}  // namespace fw
