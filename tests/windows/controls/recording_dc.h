// A device context that notes the drawing calls made through it and passes each on to
// the real DC underneath.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/dc.h"

class RecordingDC : public CDC {
  public:
    explicit RecordingDC(HDC dc) : CDC(dc) {}

    std::vector<RECT> ellipses;
    std::vector<std::wstring> texts;   // exactly the characters handed to DrawText
    std::vector<RECT> filled;          // FillRect calls
    std::vector<COLORREF> textColors;  // SetTextColor calls

    BOOL Ellipse(const RECT& rect) override {
        ellipses.push_back(rect);
        return CDC::Ellipse(rect);
    }
    void FillRect(const RECT& rect, HBRUSH brush) override {
        filled.push_back(rect);
        CDC::FillRect(rect, brush);
    }
    COLORREF SetTextColor(COLORREF color) override {
        textColors.push_back(color);
        return CDC::SetTextColor(color);
    }
    int DrawText(const wchar_t* text, int count, RECT& rect, UINT format) override {
        texts.push_back(count < 0 ? std::wstring(text) : std::wstring(text, count));
        return CDC::DrawText(text, count, rect, format);
    }
    using CDC::DrawText;
};
