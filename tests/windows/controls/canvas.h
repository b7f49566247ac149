// Test drawing surfaces over real GDI: a memory DC on a 32-bit DIB section whose pixels
// can be read back, and an enhanced-metafile DC whose GDI calls can be listed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A width x height memory DC with a top-down 32-bit DIB selected, cleared to a colour.
class DibCanvas {
  public:
    DibCanvas(int width, int height, COLORREF background = RGB(0x12, 0x34, 0x56));
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    RECT bounds() const { return {0, 0, m_width, m_height}; }
    void Clear(COLORREF color);
    // The pixel as a plain 0x00BBGGRR colour.
    COLORREF Pixel(int x, int y) const;
    // Every pixel, row by row.
    std::vector<COLORREF> Pixels() const;

  private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previousBitmap = nullptr;
    const DWORD* m_bits = nullptr;
};

// What an enhanced metafile recorded: the records and some of their contents.
struct MetafileRecording {
    std::vector<DWORD> types;         // EMR_* of every record, in order
    std::vector<RECTL> ellipses;      // the box of every EMR_ELLIPSE
    std::vector<std::wstring> texts;  // every EMR_EXTTEXTOUTW that has text
    size_t Count(DWORD type) const;
    // Records that draw (not header, end-of-file, selection or state records).
    size_t DrawingRecords() const;
};

// An enhanced-metafile DC; Finish() closes it and lists what was drawn.
class MetafileCanvas {
  public:
    MetafileCanvas(int width, int height);
    ~MetafileCanvas();
    MetafileCanvas(const MetafileCanvas&) = delete;
    MetafileCanvas& operator=(const MetafileCanvas&) = delete;

    HDC dc() const { return m_dc; }
    MetafileRecording Finish();

  private:
    HDC m_dc = nullptr;
};

// A plain colour from any COLORREF form (palette-relative 0x02...... included).
inline COLORREF Plain(COLORREF color) {
    return color & 0x00FFFFFF;
}
