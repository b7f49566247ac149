// The painters drawing into real GDI surfaces: pixels of a 32-bit DIB section, and the
// records of an enhanced metafile where the number of GDI calls matters.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "canvas.h"
#include "controls/drawn_ellipse.h"
#include "controls/drawn_rect.h"
#include "recording_dc.h"

namespace {

constexpr COLORREF kBackground = RGB(0x12, 0x34, 0x56);
constexpr COLORREF kFace = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kNearBlack = RGB(1, 1, 1);

struct PixelCase {
    int x;
    int y;
    COLORREF expected;
};

void ExpectPixels(const DibCanvas& canvas, const std::vector<PixelCase>& cases, const char* what) {
    for (const PixelCase& c : cases) {
        EXPECT_EQ(canvas.Pixel(c.x, c.y), c.expected)
            << what << " at (" << c.x << ", " << c.y << ")";
    }
}

size_t CountColour(const std::vector<COLORREF>& pixels, COLORREF color) {
    size_t n = 0;
    for (COLORREF p : pixels) {
        n += p == color ? 1 : 0;
    }
    return n;
}

// ---- DrawnRect ----------------------------------------------------------------------

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

// ---- DrawnEllipse -------------------------------------------------------------------

std::vector<COLORREF> PaintEllipse(UINT state, int width = 40, int height = 30) {
    DibCanvas canvas(width, height, kBackground);
    CDC dc(canvas.dc());
    DrawnEllipse().Draw(dc, canvas.bounds(), state, kFace);
    return canvas.Pixels();
}

TEST(DrawnEllipseBevel, GreyForDepthZeroOrMoreNearBlackBelow) {
    auto ring = [](int depth) {
        DibCanvas canvas(40, 30, kBackground);
        CDC dc(canvas.dc());
        // Paint the interior in the face colour first so the ring stands out from it.
        ::SelectObject(canvas.dc(), ::GetStockObject(NULL_BRUSH));
        DrawnEllipse().DrawBevel(dc, {1, 1, 39, 29}, depth);
        return canvas.Pixels();
    };
    const std::vector<COLORREF> grey = ring(2);
    EXPECT_GT(CountColour(grey, kGrey), 60u);
    EXPECT_EQ(CountColour(grey, kGrey) + CountColour(grey, kBackground), grey.size());
    for (int depth : {1, 0}) {
        EXPECT_EQ(ring(depth), grey) << "depth " << depth;
    }
    const std::vector<COLORREF> dark = ring(-1);
    for (int depth : {-2, -7}) {
        EXPECT_EQ(ring(depth), dark) << "depth " << depth;
    }
    // Same pixels, other colour.
    for (size_t i = 0; i < grey.size(); ++i) {
        ASSERT_EQ(grey[i] == kGrey, dark[i] == kNearBlack) << "pixel " << i;
    }
}

TEST(DrawnEllipseFillFace, TenBySixDrawsThreeNestedEllipses) {
    DibCanvas canvas(20, 20, kBackground);
    RecordingDC dc(canvas.dc());
    DrawnEllipse().FillFace(dc, {0, 0, 10, 6}, kFace);
    // Deflated by 1, 2 and 3: the last box is the first empty one.
    ASSERT_EQ(dc.ellipses.size(), 3u);
    const RECT expected[] = {{1, 1, 9, 5}, {2, 2, 8, 4}, {3, 3, 7, 3}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(::EqualRect(&dc.ellipses[i], &expected[i])) << "ellipse " << i;
    }
}

TEST(DrawnEllipseFillFace, EllipseCountByRectangle) {
    const struct {
        RECT rect;
        size_t ellipses;
    } cases[] = {
        {{0, 0, 0, 0}, 0}, {{5, 5, 5, 15}, 0}, {{5, 5, 15, 4}, 0}, {{0, 0, 1, 1}, 1},
        {{0, 0, 2, 9}, 1}, {{0, 0, 3, 3}, 2},  {{0, 0, 10, 6}, 3}, {{0, 0, 40, 30}, 15},
    };
    for (const auto& c : cases) {
        DibCanvas canvas(40, 30, kBackground);
        RecordingDC dc(canvas.dc());
        DrawnEllipse().FillFace(dc, c.rect, kFace);
        EXPECT_EQ(dc.ellipses.size(), c.ellipses)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
        if (c.ellipses == 0) {
            EXPECT_EQ(CountColour(canvas.Pixels(), kBackground), 40u * 30u);
        }
    }
}

TEST(DrawnEllipseFillFace, PaintsTheWholeInscribedEllipse) {
    DibCanvas canvas(40, 30, kBackground);
    CDC dc(canvas.dc());
    DrawnEllipse().FillFace(dc, canvas.bounds(), kFace);
    const std::vector<COLORREF> pixels = canvas.Pixels();
    // The DC's white brush fills each outline's interior; the nested outlines cover it all.
    EXPECT_EQ(CountColour(pixels, kWhite), 0u);
    EXPECT_EQ(CountColour(pixels, kFace) + CountColour(pixels, kBackground), pixels.size());
    ExpectPixels(canvas, {{20, 15, kFace}, {5, 15, kFace}, {0, 0, kBackground}}, "fill");
}

// Colours met going from an edge to the centre (40 x 30 item), repeats and the
// background outside the ring dropped.
std::vector<COLORREF> RunsToCentre(const std::vector<COLORREF>& pixels, bool fromTop) {
    std::vector<COLORREF> runs;
    for (int i = 0; i <= (fromTop ? 15 : 20); ++i) {
        const int x = fromTop ? 20 : i;
        const int y = fromTop ? i : 15;
        const COLORREF c = pixels[static_cast<size_t>(y) * 40 + x];
        if (c != kBackground && (runs.empty() || runs.back() != c)) {
            runs.push_back(c);
        }
    }
    return runs;
}

TEST(DrawnEllipseDraw, GreyRingAroundFace) {
    const std::vector<COLORREF> pixels = PaintEllipse(0);
    for (bool fromTop : {true, false}) {
        EXPECT_EQ(RunsToCentre(pixels, fromTop), (std::vector<COLORREF>{kGrey, kFace}));
    }
    EXPECT_EQ(CountColour(pixels, kNearBlack), 0u);
    EXPECT_EQ(CountColour(pixels, kWhite), 0u);
    EXPECT_EQ(pixels[0], kBackground);
}

TEST(DrawnEllipseDraw, PressedLookOnlyWithFocus) {
    EXPECT_EQ(PaintEllipse(ODS_SELECTED), PaintEllipse(0));
    const std::vector<COLORREF> pressed = PaintEllipse(ODS_SELECTED | ODS_FOCUS);
    // The grey ring is painted over by the near-black rings.
    EXPECT_EQ(CountColour(pressed, kGrey), 0u);
    // From the edge inwards: the near-black rings where the grey one was, then the face.
    for (bool fromTop : {true, false}) {
        const std::vector<COLORREF> runs = RunsToCentre(pressed, fromTop);
        ASSERT_GE(runs.size(), 2u);
        EXPECT_EQ(runs.front(), kNearBlack);
        EXPECT_EQ(runs.back(), kFace);
    }
}

TEST(DrawnEllipseDraw, FocusIsDottedRingFourInside) {
    const std::vector<COLORREF> plain = PaintEllipse(0);
    const std::vector<COLORREF> focused = PaintEllipse(ODS_FOCUS);
    size_t dots = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const size_t i = static_cast<size_t>(y) * 40 + x;
            if (focused[i] == plain[i]) {
                continue;
            }
            // Near-black dots on the ring 4 inside the item. The dotted outline paints its
            // interior with the DC's brush (white here); the face drawn over it afterwards
            // can leave a speck of it between the dots and the face's outer edge.
            EXPECT_TRUE(focused[i] == kNearBlack || focused[i] == kWhite) << x << "," << y;
            EXPECT_TRUE(x >= 3 && x <= 36 && y >= 3 && y <= 26) << x << "," << y;
            EXPECT_FALSE(x >= 10 && x < 30 && y >= 10 && y < 20) << x << "," << y;
            dots += focused[i] == kNearBlack ? 1 : 0;
        }
    }
    EXPECT_GT(dots, 10u);
    EXPECT_EQ(focused[15 * 40 + 20], kFace);
}

TEST(DrawnEllipseFocus, GapsTakeTheGivenColourAndModeStaysOpaque) {
    DibCanvas canvas(40, 30, kBackground);
    CDC dc(canvas.dc());
    ::SelectObject(canvas.dc(), ::GetStockObject(NULL_BRUSH));
    const COLORREF gaps = RGB(0, 200, 0);
    DrawnEllipse().DrawFocus(dc, canvas.bounds(), gaps);
    const std::vector<COLORREF> pixels = canvas.Pixels();
    EXPECT_GT(CountColour(pixels, kNearBlack), 10u);
    EXPECT_GT(CountColour(pixels, gaps), 10u);
    EXPECT_EQ(CountColour(pixels, kNearBlack) + CountColour(pixels, gaps) +
                  CountColour(pixels, kBackground),
              pixels.size());
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetBkColor(), gaps);
}

// ---- DrawCaption (shared) -------------------------------------------------------------

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
