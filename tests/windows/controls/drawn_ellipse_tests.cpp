// DrawnEllipse drawing into real GDI surfaces: pixels of a 32-bit DIB section, and the
// records of an enhanced metafile where the number of GDI calls matters.
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

}  // namespace
