// What the painter tests share: the colours they paint with and checks over the pixels of a
// DIB canvas.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <vector>

#include "canvas.h"

namespace painter_test {

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

inline void ExpectPixels(const DibCanvas& canvas, const std::vector<PixelCase>& cases,
                         const char* what) {
    for (const PixelCase& c : cases) {
        EXPECT_EQ(canvas.Pixel(c.x, c.y), c.expected)
            << what << " at (" << c.x << ", " << c.y << ")";
    }
}

inline size_t CountColour(const std::vector<COLORREF>& pixels, COLORREF color) {
    size_t n = 0;
    for (COLORREF p : pixels) {
        n += p == color ? 1 : 0;
    }
    return n;
}

}  // namespace painter_test
