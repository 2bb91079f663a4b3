// src/framework/Button.h
#pragma once

#include "framework/Wnd.h"

namespace fw {

class CButton : public CWnd {
public:
    // BST_UNCHECKED (0) or BST_CHECKED (1) for two-state check boxes.
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
    // A box counts as checked when its state is not zero.
    bool IsChecked() const { return GetCheck() != BST_UNCHECKED; }
    void SetChecked(bool checked) const { SetCheck(checked ? BST_CHECKED : BST_UNCHECKED); }
};

}  // namespace fw
