// Ten thousand paints leave no pen or brush behind: counted by the system's per-process
// GDI object count where it has one, and by counting this program's own GDI calls.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "canvas.h"
#include "controls/advanced_button.h"
#include "gdi_counter.h"
#include "indicator_window.h"

namespace {

DWORD GdiObjects() {
    return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
}

TEST(IndicatorGdi, TenThousandPaintsLeakNothing) {
    IndicatorWindow window(L"Fldigi not load !");
    CAdvancedButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IndicatorWindow::kControlId, &window.parent()));
    button.m_faceColor = RGB(255, 0, 255);
    button.m_captionColor = RGB(255, 255, 0);
    DibCanvas canvas(IndicatorWindow::kWidth, IndicatorWindow::kHeight);
    const UINT states[] = {0, ODS_FOCUS, ODS_SELECTED | ODS_FOCUS, ODS_DISABLED};

    // One round first: whatever GDI and the button set up once is not a leak.
    button.Redraw();
    IndicatorWindow::Pump();

    const DWORD before = GdiObjects();
    GdiCounter counter;
    ASSERT_TRUE(counter.Installed());
    constexpr int kPaints = 10000;
    for (int i = 0; i < kPaints; ++i) {
        button.m_shapeKind = i % 2;  // rectangle and ellipse in turn
        if (i % 20 == 0) {
            // A real paint cycle through WM_PAINT and the reflected WM_DRAWITEM.
            button.SetFaceColor(i % 40 == 0 ? RGB(0, 255, 0) : RGB(255, 0, 255));
        } else {
            DRAWITEMSTRUCT item{};
            item.CtlType = ODT_BUTTON;
            item.hwndItem = button.m_hWnd;
            item.hDC = canvas.dc();
            item.rcItem = canvas.bounds();
            item.itemState = states[i % 4];
            button.DrawItem(&item);
        }
    }
    IndicatorWindow::Pump();
    const DWORD after = GdiObjects();
    std::printf(
        "GDI objects before %lu, after %d paints %lu; pens and brushes made %zu, "
        "still alive %zu\n",
        before, kPaints, after, counter.Created(), counter.Alive());
    EXPECT_GT(counter.Created(), static_cast<size_t>(kPaints));
    EXPECT_EQ(counter.Alive(), 0u);
    if (before != 0) {  // the system keeps a count (Windows; not every Wine)
        EXPECT_LE(after, before + 5);
    }
}

TEST(IndicatorGdi, CounterSeesAPenLeftBehind) {
    GdiCounter counter;
    ASSERT_TRUE(counter.Installed());
    HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(counter.Alive(), 2u);
    ::DeleteObject(brush);
    EXPECT_EQ(counter.Alive(), 1u);
    ::DeleteObject(pen);
    EXPECT_EQ(counter.Alive(), 0u);
    EXPECT_EQ(counter.Created(), 2u);
}

}  // namespace
