// CButton: a button control. A subclassed owner-drawn button paints itself: its parent
// reflects WM_DRAWITEM back to the button's DrawItem.
#pragma once

#include "framework/wnd.h"

class CButton : public CWnd {
  public:
    // Paints the owner-drawn button; the default paints nothing.
    virtual void DrawItem(DRAWITEMSTRUCT* item);

    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }

    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    static const CRuntimeClass classCButton;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCButton; }
    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};
