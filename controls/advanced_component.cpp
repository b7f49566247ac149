#include "controls/advanced_component.h"

bool CAdvancedComponent::SetCaptionColor(COLORREF color) {
    m_captionColor = color;
    Redraw();
    return true;
}

bool CAdvancedComponent::SetFaceColor(COLORREF color) {
    m_faceColor = color;
    Redraw();
    return true;
}
