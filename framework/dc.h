// Device contexts: CDC borrows an HDC that somebody else releases; CPaintDC opens and
// closes a paint cycle (BeginPaint/EndPaint). The drawing operations the painters' tests watch
// (FillRect, Ellipse, SetTextColor, DrawText) are virtual, so that a recording DC can note the
// calls and still pass them on to GDI.
#pragma once

#include <windows.h>

class CDC {
  public:
    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = default;
    CDC& operator=(const CDC&) = default;

    // A borrowed wrapper for a DC handed in by the system (a paint request, WM_CTLCOLOR).
    static CDC FromHandle(HDC dc) { return CDC(dc); }

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    virtual COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }

    // Paints every pixel of the rectangle with the brush.
    virtual void FillRect(const RECT& rect, HBRUSH brush) { ::FillRect(m_hDC, &rect, brush); }
    // Paints every pixel of the rectangle in the colour; the background colour is kept.
    void FillSolidRect(const RECT& rect, COLORREF color);
    // One-pixel frame on the rectangle's outermost pixels: top row (without its last
    // pixel) and left column (without its last pixel) in topLeft, the whole right column
    // and bottom row in bottomRight.
    void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
    // The dotted focus frame, drawn by inverting pixels: a second call removes it.
    void DrawFocusRect(const RECT& rect) { ::DrawFocusRect(m_hDC, &rect); }
    // The ellipse inscribed in the rectangle: outline with the current pen, interior with
    // the current brush.
    virtual BOOL Ellipse(const RECT& rect) {
        return ::Ellipse(m_hDC, rect.left, rect.top, rect.right, rect.bottom);
    }
    // Text in the current font, colour and background mode; count -1: up to the terminator.
    virtual int DrawText(const wchar_t* text, int count, RECT& rect, UINT format) {
        return ::DrawTextW(m_hDC, text, count, &rect, format);
    }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

  protected:
    HDC m_hDC = nullptr;
};

class CPaintDC : public CDC {
  public:
    explicit CPaintDC(HWND window) : m_hWnd(window) { m_hDC = ::BeginPaint(window, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

  private:
    PAINTSTRUCT m_ps{};
    HWND m_hWnd;
};
