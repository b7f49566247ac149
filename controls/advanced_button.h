// A status indicator: takes over a dialog's button control (SubclassDlgItem), makes it
// owner-drawn and paints it as a coloured face (rectangle or ellipse) with the control's
// window text centred on it. It adds no input handling of its own.
#pragma once

#include "controls/advanced_component.h"
#include "framework/button.h"

class CAdvancedButton : public CButton, public CAdvancedComponent {
  public:
    CAdvancedButton() = default;
    ~CAdvancedButton() override = default;

    static const CRuntimeClass classCAdvancedButton;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCAdvancedButton; }
    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

    // Adds BS_OWNERDRAW to the control's style, nothing else.
    void PreSubclassWindow() override;
    // Face by m_shapeKind and m_faceColor, then the caption over the whole item in
    // m_disabledCaptionColor (ODS_DISABLED) or m_captionColor; at most 511 characters.
    void DrawItem(DRAWITEMSTRUCT* item) override;
    // Invalidates, erases and repaints the whole control before returning; does nothing
    // while no control is attached.
    void Redraw() override;

    // The longest caption drawn, in characters.
    static constexpr int kMaxCaption = 511;

  private:
    void OnLButtonUp(UINT keyFlags, POINT cursor);
};
