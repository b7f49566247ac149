#include "controls/advanced_button.h"

#include "controls/drawn_ellipse.h"
#include "controls/drawn_rect.h"
#include "framework/dc.h"

const CRuntimeClass CAdvancedButton::classCAdvancedButton{"CAdvancedButton",
                                                          &CButton::classCButton};

const MessageMap* CAdvancedButton::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {
        OnWmLButtonUp<&CAdvancedButton::OnLButtonUp>(),
    };
    static const MessageMap map = MakeMessageMap(&CButton::GetThisMessageMap, entries);
    return &map;
}

void CAdvancedButton::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW, 0);
    CButton::PreSubclassWindow();
}

void CAdvancedButton::DrawItem(DRAWITEMSTRUCT* item) {
    if (item == nullptr) {
        return;
    }
    CDC dc = CDC::FromHandle(item->hDC);
    const UINT state = item->itemState;
    const RECT rect = item->rcItem;

    DrawnRect rectangle;
    DrawnEllipse ellipse;
    DrawnObject& painter = m_shapeKind == 1 ? static_cast<DrawnObject&>(ellipse) : rectangle;

    wchar_t text[kMaxCaption + 1] = {};
    GetWindowText(text, kMaxCaption + 1);

    painter.Draw(dc, rect, state, m_faceColor);
    painter.DrawCaption(dc, rect, text,
                        (state & ODS_DISABLED) != 0 ? m_disabledCaptionColor : m_captionColor);
}

void CAdvancedButton::Redraw() {
    if (m_hWnd == nullptr) {
        return;
    }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CAdvancedButton::OnLButtonUp(UINT, POINT) {
    Default();
}
