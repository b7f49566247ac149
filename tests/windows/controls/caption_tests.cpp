// The caption both painters share, drawn into a real DIB section.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "canvas.h"
#include "controls/drawn_ellipse.h"
#include "controls/drawn_rect.h"
#include "painter_test_support.h"
#include "recording_dc.h"

namespace {

using namespace painter_test;

struct CaptionBox {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

CaptionBox FindColour(const DibCanvas& canvas, COLORREF color) {
    CaptionBox box;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.Pixel(x, y) == color) {
                ++box.count;
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
    }
    return box;
}

TEST(DrawCaption, CentredTransparentTextInTheColourForBothShapes) {
    DrawnRect rect;
    DrawnEllipse ellipse;
    for (DrawnObject* painter :
         {static_cast<DrawnObject*>(&rect), static_cast<DrawnObject*>(&ellipse)}) {
        DibCanvas canvas(160, 40, kFace);
        CDC dc(canvas.dc());
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(RGB(0, 0, 255));  // would show as red cells if the text were opaque
        painter->DrawCaption(dc, {0, 0, 160, 40}, L"HXH", RGB(255, 255, 0));
        const CaptionBox box = FindColour(canvas, RGB(255, 255, 0));
        ASSERT_GT(box.count, 10);
        EXPECT_NEAR((box.left + box.right) / 2.0, 80.0, 2.0);
        EXPECT_NEAR((box.top + box.bottom) / 2.0, 20.0, 3.0);
        EXPECT_EQ(FindColour(canvas, RGB(0, 0, 255)).count, 0);
        EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    }
}

TEST(DrawCaption, TextColourRestoredAlsoForEmptyText) {
    for (const wchar_t* text : {L"Fldigi not load !", L""}) {
        DibCanvas canvas(160, 40, kFace);
        CDC dc(canvas.dc());
        dc.SetTextColor(RGB(10, 20, 30));
        DrawnRect().DrawCaption(dc, {0, 0, 160, 40}, text, RGB(255, 255, 0));
        EXPECT_EQ(dc.GetTextColor(), RGB(10, 20, 30));
        if (*text == L'\0') {
            EXPECT_EQ(CountColour(canvas.Pixels(), kFace), 160u * 40u);
        }
    }
}

TEST(DrawCaption, DrawsTheWholeTextAsOneLine) {
    MetafileCanvas canvas(200, 40);
    CDC dc(canvas.dc());
    DrawnRect().DrawCaption(dc, {0, 0, 200, 40}, L"Kebrin not load !", RGB(255, 255, 0));
    const MetafileRecording recorded = canvas.Finish();
    ASSERT_EQ(recorded.texts.size(), 1u);
    EXPECT_EQ(recorded.texts[0], L"Kebrin not load !");
}

}  // namespace
