// src/framework/Button.h
#pragma once

#include "framework/Wnd.h"

namespace fw {

class CButton : public CWnd {
public:
    // BST_UNCHECKED (0) or BST_CHECKED (1) for two-state check boxes.
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

}  // namespace fw
