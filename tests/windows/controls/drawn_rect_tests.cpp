// DrawnRect drawing into real GDI surfaces: pixels of a 32-bit DIB section, and the records
// of an enhanced metafile where the number of GDI calls matters.
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

struct BevelCase {
    int depth;
    std::vector<PixelCase> pixels;
};

TEST(DrawnRectBevel, RingsByDepth) {
    // A 40 x 20 rectangle: the outer ring lies on x 0 / 39 and y 0 / 19.
    const COLORREF l1 = Plain(0x02FFFFFF), d1 = Plain(0x027F7F7F);
    const COLORREF l2 = Plain(0x02DFDFDF), d2 = Plain(0x02555555);
    const COLORREF l3 = Plain(0x02D5D5D5), d3 = Plain(0x023F3F3F);
    const std::vector<BevelCase> cases = {
        {1,
         {{0, 0, kWhite},
          {38, 0, kWhite},
          {39, 0, kGrey},
          {0, 18, kWhite},
          {0, 19, kGrey},
          {39, 19, kGrey},
          {1, 1, kBackground}}},
        {-1,
         {{0, 0, kGrey},
          {38, 0, kGrey},
          {39, 0, kWhite},
          {0, 18, kGrey},
          {0, 19, kWhite},
          {39, 19, kWhite},
          {1, 1, kBackground}}},
        {2,
         {{0, 0, l1},
          {38, 0, l1},
          {39, 0, d1},
          {0, 19, d1},
          {1, 1, l2},
          {37, 1, l2},
          {38, 1, d2},
          {1, 18, d2},
          {38, 18, d2},
          {2, 2, kBackground}}},
        {-2,
         {{0, 0, d1},
          {39, 0, l1},
          {0, 19, l1},
          {1, 1, d2},
          {38, 1, l2},
          {1, 18, l2},
          {2, 2, kBackground}}},
        {3, {{0, 0, l1}, {1, 1, l2}, {2, 2, l3}, {37, 17, d3}, {3, 3, kBackground}}},
    };
    for (const BevelCase& c : cases) {
        DibCanvas canvas(40, 20, kBackground);
        CDC dc(canvas.dc());
        DrawnRect().DrawBevel(dc, canvas.bounds(), c.depth);
        ExpectPixels(canvas, c.pixels, ("depth " + std::to_string(c.depth)).c_str());
    }
}

TEST(DrawnRectBevel, DepthZeroDrawsNothing) {
    DibCanvas canvas(40, 20, kBackground);
    CDC dc(canvas.dc());
    DrawnRect().DrawBevel(dc, canvas.bounds(), 0);
    EXPECT_EQ(CountColour(canvas.Pixels(), kBackground), 40u * 20u);
}

TEST(DrawnRectFillFace, PaintsExactlyTheRectangle) {
    DibCanvas canvas(40, 20, kBackground);
    CDC dc(canvas.dc());
    DrawnRect().FillFace(dc, {5, 4, 15, 10}, kFace);
    EXPECT_EQ(CountColour(canvas.Pixels(), kFace), 10u * 6u);
    ExpectPixels(canvas,
                 {{5, 4, kFace},
                  {14, 9, kFace},
                  {4, 4, kBackground},
                  {15, 9, kBackground},
                  {5, 10, kBackground}},
                 "face");
}

TEST(DrawnRectFillFace, EmptyRectanglePaintsNothing) {
    for (RECT empty : {RECT{10, 5, 10, 15}, RECT{10, 5, 20, 5}, RECT{20, 5, 10, 15}}) {
        DibCanvas canvas(40, 20, kBackground);
        CDC dc(canvas.dc());
        DrawnRect().FillFace(dc, empty, kFace);
        EXPECT_EQ(CountColour(canvas.Pixels(), kBackground), 40u * 20u);
    }
}

std::vector<COLORREF> PaintRect(UINT state) {
    DibCanvas canvas(40, 20, kBackground);
    CDC dc(canvas.dc());
    DrawnRect().Draw(dc, canvas.bounds(), state, kFace);
    return canvas.Pixels();
}

TEST(DrawnRectDraw, PlainFaceIsRaisedTwoRingBevel) {
    DibCanvas canvas(40, 20, kBackground);
    CDC dc(canvas.dc());
    DrawnRect().Draw(dc, canvas.bounds(), 0, kFace);
    ExpectPixels(canvas,
                 {{0, 0, kWhite},
                  {39, 19, Plain(0x027F7F7F)},
                  {1, 1, Plain(0x02DFDFDF)},
                  {38, 18, Plain(0x02555555)},
                  {2, 2, kFace},
                  {37, 17, kFace},
                  {20, 10, kFace}},
                 "plain");
    // Face inside the two rings: 36 x 16 pixels.
    EXPECT_EQ(CountColour(canvas.Pixels(), kFace), 36u * 16u);
}

TEST(DrawnRectDraw, PressedLookOnlyWithFocus) {
    const std::vector<COLORREF> plain = PaintRect(0);
    EXPECT_EQ(PaintRect(ODS_SELECTED), plain);

    DibCanvas canvas(40, 20, kBackground);
    CDC dc(canvas.dc());
    DrawnRect().Draw(dc, canvas.bounds(), ODS_SELECTED | ODS_FOCUS, kFace);
    // Outer ring sunken (grey top-left, white bottom-right), inner ring still raised.
    ExpectPixels(canvas,
                 {{0, 0, kGrey},
                  {38, 0, kGrey},
                  {0, 18, kGrey},
                  {39, 0, kWhite},
                  {39, 19, kWhite},
                  {0, 19, kWhite},
                  {1, 1, Plain(0x02DFDFDF)},
                  {38, 18, Plain(0x02555555)},
                  {20, 10, kFace}},
                 "pressed");
}

TEST(DrawnRectDraw, FocusFrameInvertsTheOutlineTwoInside) {
    const std::vector<COLORREF> plain = PaintRect(0);
    DibCanvas canvas(40, 20, kBackground);
    CDC dc(canvas.dc());
    DrawnRect().Draw(dc, canvas.bounds(), ODS_FOCUS, kFace);
    const std::vector<COLORREF> focused = canvas.Pixels();
    const RECT frame{2, 2, 38, 18};
    size_t inverted = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            const size_t i = static_cast<size_t>(y) * 40 + x;
            const bool onFrame = (x == frame.left || x == frame.right - 1 || y == frame.top ||
                                  y == frame.bottom - 1) &&
                                 x >= frame.left && x < frame.right && y >= frame.top &&
                                 y < frame.bottom;
            if (focused[i] != plain[i]) {
                EXPECT_TRUE(onFrame) << "changed off the frame at " << x << "," << y;
                EXPECT_EQ(focused[i], plain[i] ^ 0xFFFFFF) << "not inverted at " << x << "," << y;
                ++inverted;
            }
        }
    }
    EXPECT_GT(inverted, 20u);
    // Drawing the frame again removes it: it was made by inversion.
    RECT again = frame;
    ::DrawFocusRect(canvas.dc(), &again);
    EXPECT_EQ(canvas.Pixels(), plain);
}

TEST(DrawnRectDraw, FocusColourIsIgnored) {
    DibCanvas a(40, 20, kBackground), b(40, 20, kBackground);
    CDC dcA(a.dc()), dcB(b.dc());
    DrawnRect().DrawFocus(dcA, {2, 2, 38, 18}, RGB(255, 0, 0));
    DrawnRect().DrawFocus(dcB, {2, 2, 38, 18}, RGB(0, 0, 255));
    EXPECT_EQ(a.Pixels(), b.Pixels());
}

}  // namespace
