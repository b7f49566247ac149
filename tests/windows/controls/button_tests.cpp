// CAdvancedButton on a real button control: attaching, painting through DrawItem into
// GDI surfaces, repainting on screen inside the setters, mouse handling.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "canvas.h"
#include "controls/advanced_button.h"
#include "indicator_window.h"

namespace {

constexpr COLORREF kBackground = RGB(0x12, 0x34, 0x56);
constexpr COLORREF kFace = RGB(255, 0, 255);

class CountingButton : public CAdvancedButton {
  public:
    int paints = 0;
    void DrawItem(DRAWITEMSTRUCT* item) override {
        ++paints;
        CAdvancedButton::DrawItem(item);
    }
};

// The paint request DrawItem gets for a DC and a state.
DRAWITEMSTRUCT PaintRequest(const CAdvancedButton& button, HDC dc, RECT rect, UINT state) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = IndicatorWindow::kControlId;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button.m_hWnd;
    item.hDC = dc;
    item.rcItem = rect;
    return item;
}

size_t CountColour(const std::vector<COLORREF>& pixels, COLORREF color) {
    size_t n = 0;
    for (COLORREF p : pixels) {
        n += p == color ? 1 : 0;
    }
    return n;
}

TEST(AdvancedButton, RunTimeClassIsCAdvancedButtonBasedOnCButton) {
    CAdvancedButton button;
    EXPECT_STREQ(button.GetRuntimeClass()->m_lpszClassName, "CAdvancedButton");
    EXPECT_EQ(button.GetRuntimeClass()->m_pBaseClass, &CButton::classCButton);
    EXPECT_EQ(button.m_shapeKind, 0);
}

TEST(AdvancedButton, AttachingOrsOwnerDrawIntoTheStyle) {
    const struct {
        DWORD style;
        DWORD expectedKind;
    } cases[] = {
        {BS_AUTOCHECKBOX, 0xB}, {BS_PUSHBUTTON, 0xB}, {BS_CHECKBOX, 0xB}, {BS_OWNERDRAW, 0xB}};
    for (const auto& c : cases) {
        IndicatorWindow window(L"Fldigi not load !", c.style);
        const DWORD before = static_cast<DWORD>(::GetWindowLongPtrW(window.control(), GWL_STYLE));
        CAdvancedButton button;
        ASSERT_TRUE(button.SubclassDlgItem(IndicatorWindow::kControlId, &window.parent()));
        const DWORD after = static_cast<DWORD>(::GetWindowLongPtrW(window.control(), GWL_STYLE));
        EXPECT_EQ(after, before | BS_OWNERDRAW) << "style " << c.style;
        EXPECT_EQ(after & BS_TYPEMASK, c.expectedKind) << "style " << c.style;
    }
}

TEST(AdvancedButton, AttachingToAMissingControlFailsAndSettersStayHarmless) {
    IndicatorWindow window(L"x");
    CAdvancedButton button;
    EXPECT_FALSE(button.SubclassDlgItem(4242, &window.parent()));
    EXPECT_TRUE(button.SetFaceColor(RGB(1, 2, 3)));
    EXPECT_TRUE(button.SetCaptionColor(RGB(4, 5, 6)));
    button.Redraw();
    EXPECT_EQ(button.m_faceColor, RGB(1, 2, 3));
    EXPECT_EQ(button.m_captionColor, RGB(4, 5, 6));
}

TEST(AdvancedButton, ShapeKindOneIsTheOnlyEllipse) {
    // The rectangle's bevel lights the top-left corner; the ellipse leaves it alone.
    const struct {
        int shapeKind;
        bool ellipse;
    } cases[] = {{0, false}, {2, false}, {-1, false}, {1, true}};
    IndicatorWindow window(L"");
    CAdvancedButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IndicatorWindow::kControlId, &window.parent()));
    button.m_faceColor = kFace;
    for (const auto& c : cases) {
        button.m_shapeKind = c.shapeKind;
        DibCanvas canvas(80, 30, kBackground);
        DRAWITEMSTRUCT item = PaintRequest(button, canvas.dc(), canvas.bounds(), 0);
        button.DrawItem(&item);
        EXPECT_EQ(canvas.Pixel(0, 0), c.ellipse ? kBackground : RGB(255, 255, 255))
            << "shape " << c.shapeKind;
        EXPECT_EQ(canvas.Pixel(40, 15), kFace) << "shape " << c.shapeKind;
    }
}

TEST(AdvancedButton, CaptionColourFollowsOnlyTheDisabledFlag) {
    constexpr COLORREF kCaption = RGB(0, 0, 255);
    constexpr COLORREF kDisabled = RGB(255, 0, 0);
    const struct {
        UINT state;
        COLORREF expected;
    } cases[] = {
        {0, kCaption},
        {ODS_FOCUS, kCaption},
        {ODS_SELECTED | ODS_FOCUS, kCaption},
        {ODS_DISABLED, kDisabled},
        {ODS_DISABLED | ODS_FOCUS, kDisabled},
        {ODS_DISABLED | ODS_SELECTED | ODS_FOCUS, kDisabled},
        {ODS_DISABLED | ODS_CHECKED | ODS_GRAYED, kDisabled},
    };
    IndicatorWindow window(L"HHHH");
    CAdvancedButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IndicatorWindow::kControlId, &window.parent()));
    button.m_faceColor = kFace;
    button.m_captionColor = kCaption;
    button.m_disabledCaptionColor = kDisabled;
    for (int shape : {0, 1}) {
        button.m_shapeKind = shape;
        for (const auto& c : cases) {
            DibCanvas canvas(120, 40, kBackground);
            DRAWITEMSTRUCT item = PaintRequest(button, canvas.dc(), canvas.bounds(), c.state);
            button.DrawItem(&item);
            const std::vector<COLORREF> pixels = canvas.Pixels();
            const COLORREF other = c.expected == kCaption ? kDisabled : kCaption;
            EXPECT_GT(CountColour(pixels, c.expected), 10u) << "state " << c.state;
            EXPECT_EQ(CountColour(pixels, other), 0u) << "state " << c.state;
            EXPECT_EQ(canvas.Pixel(0, 0) != kBackground, shape == 0);
        }
    }
}

TEST(AdvancedButton, CaptionIsTheWindowTextUpTo511Characters) {
    std::wstring digits;
    for (int i = 0; i < 600; ++i) {
        digits += static_cast<wchar_t>(L'0' + i % 10);
    }
    const struct {
        size_t length;
        size_t drawn;
    } cases[] = {{0, 0}, {17, 17}, {510, 510}, {511, 511}, {512, 511}, {600, 511}};
    for (const auto& c : cases) {
        const std::wstring text = digits.substr(0, c.length);
        IndicatorWindow window(text.c_str());
        CAdvancedButton button;
        ASSERT_TRUE(button.SubclassDlgItem(IndicatorWindow::kControlId, &window.parent()));
        MetafileCanvas canvas(200, 40);
        DRAWITEMSTRUCT item = PaintRequest(button, canvas.dc(), {0, 0, 200, 40}, 0);
        button.DrawItem(&item);
        const MetafileRecording recorded = canvas.Finish();
        if (c.drawn == 0) {
            EXPECT_TRUE(recorded.texts.empty());
            continue;
        }
        ASSERT_EQ(recorded.texts.size(), 1u) << "length " << c.length;
        EXPECT_EQ(recorded.texts[0], digits.substr(0, c.drawn)) << "length " << c.length;
    }
}

TEST(AdvancedButton, SettersRepaintBeforeReturning) {
    IndicatorWindow window(L"Fldigi not load !");
    CountingButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IndicatorWindow::kControlId, &window.parent()));
    button.m_faceColor = kFace;
    button.m_captionColor = RGB(1, 1, 1);
    button.Redraw();
    EXPECT_EQ(window.WindowPixel(10, 6), kFace);
    EXPECT_TRUE(window.ScreenShows(10, 6, kFace));

    // The same colour twice: a setter repaints even when nothing changed.
    for (COLORREF face : {RGB(0, 255, 0), RGB(0, 255, 0), RGB(255, 0, 255)}) {
        // Scribble over the control so that only a real repaint brings the face back.
        {
            HDC dc = ::GetDC(window.control());
            RECT all{0, 0, IndicatorWindow::kWidth, IndicatorWindow::kHeight};
            ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            ::ReleaseDC(window.control(), dc);
        }
        const int paintsBefore = button.paints;
        EXPECT_TRUE(button.SetFaceColor(face));
        // No message pumped since the call: the paint happened inside it. The window's
        // pixels are final now; the display shows them once Wine hands them on.
        EXPECT_EQ(button.paints, paintsBefore + 1);
        EXPECT_EQ(window.WindowPixel(10, 6), face);
        EXPECT_EQ(window.WindowPixel(0, 0), RGB(255, 255, 255));
        EXPECT_TRUE(window.ScreenShows(10, 6, face));
    }
    const int paintsBefore = button.paints;
    EXPECT_TRUE(button.SetCaptionColor(RGB(1, 1, 1)));
    EXPECT_EQ(button.paints, paintsBefore + 1);
    EXPECT_EQ(button.m_captionColor, RGB(1, 1, 1));
}

TEST(AdvancedButton, LeftButtonUpBehavesAsOnAnOwnerDrawnButton) {
    for (bool attached : {true, false}) {
        IndicatorWindow window(L"Kebrin not load !", attached ? BS_AUTOCHECKBOX : BS_OWNERDRAW);
        CAdvancedButton button;
        if (attached) {
            ASSERT_TRUE(button.SubclassDlgItem(IndicatorWindow::kControlId, &window.parent()));
        }
        const LPARAM centre = MAKELPARAM(IndicatorWindow::kWidth / 2, IndicatorWindow::kHeight / 2);
        ::SendMessageW(window.control(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
        ::SendMessageW(window.control(), WM_LBUTTONUP, 0, centre);
        IndicatorWindow::Pump();
        EXPECT_EQ(window.clicks, 1) << (attached ? "indicator" : "plain owner-drawn button");
        EXPECT_EQ(::SendMessageW(window.control(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(::GetCapture(), nullptr);
    }
}

}  // namespace
