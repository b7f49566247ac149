// The main window's two small rules: which system commands open the About box, and where a
// minimised window draws its icon.
#include "app/varnock_dlg.h"

#include <gtest/gtest.h>

namespace {

TEST(VarnockDlg, AboutCommandIgnoresTheLowFourBits) {
    const struct {
        UINT commandId;
        bool about;
    } rows[] = {
        {16, true}, {16 | 5, true},    {31, true},           {15, false},      {32, false},
        {0, false}, {SC_CLOSE, false}, {SC_MOVE | 2, false}, {0x10010, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsAboutCommand(row.commandId), row.about) << row.commandId;
    }
}

TEST(VarnockDlg, MinimisedIconIsCentredWithTruncatingDivision) {
    const struct {
        RECT client;
        int iconSize;
        LONG x;
        LONG y;
    } rows[] =
        {
            {{0, 0, 32, 32}, 32, 0, 0},     {{0, 0, 33, 33}, 32, 1, 1},
            {{0, 0, 34, 35}, 32, 1, 2},     {{0, 0, 160, 31}, 32, 64, 0},
            {{10, 20, 110, 70}, 32, 34, 9},  // only the size of the client area counts
            {{0, 0, 20, 0}, 32, -5, -15},    // smaller than the icon: truncated towards zero
        };
    for (const auto& row : rows) {
        const POINT origin = MinimizedIconOrigin(row.client, row.iconSize, row.iconSize);
        EXPECT_EQ(origin.x, row.x) << row.client.right << "x" << row.client.bottom;
        EXPECT_EQ(origin.y, row.y) << row.client.right << "x" << row.client.bottom;
    }
}

}  // namespace
