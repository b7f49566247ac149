#include "canvas.h"

#include <stdexcept>

DibCanvas::DibCanvas(int width, int height, COLORREF background)
    : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (m_dc == nullptr || m_bitmap == nullptr) {
        throw std::runtime_error("cannot create a DIB canvas");
    }
    m_bits = static_cast<const DWORD*>(bits);
    m_previousBitmap = ::SelectObject(m_dc, m_bitmap);
    Clear(background);
}

DibCanvas::~DibCanvas() {
    ::SelectObject(m_dc, m_previousBitmap);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

void DibCanvas::Clear(COLORREF color) {
    HBRUSH brush = ::CreateSolidBrush(color);
    RECT all = bounds();
    ::FillRect(m_dc, &all, brush);
    ::DeleteObject(brush);
}

COLORREF DibCanvas::Pixel(int x, int y) const {
    ::GdiFlush();
    const DWORD bgrx = m_bits[y * m_width + x];  // 0x00RRGGBB in memory order B,G,R,X
    return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
}

std::vector<COLORREF> DibCanvas::Pixels() const {
    std::vector<COLORREF> all;
    all.reserve(static_cast<size_t>(m_width) * m_height);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            all.push_back(Pixel(x, y));
        }
    }
    return all;
}

size_t MetafileRecording::Count(DWORD type) const {
    size_t n = 0;
    for (DWORD t : types) {
        n += t == type ? 1 : 0;
    }
    return n;
}

size_t MetafileRecording::DrawingRecords() const {
    size_t n = 0;
    for (DWORD t : types) {
        switch (t) {
            case EMR_HEADER:
            case EMR_EOF:
            case EMR_SELECTOBJECT:
            case EMR_DELETEOBJECT:
            case EMR_CREATEPEN:
            case EMR_EXTCREATEPEN:
            case EMR_CREATEBRUSHINDIRECT:
            case EMR_SETTEXTCOLOR:
            case EMR_SETBKCOLOR:
            case EMR_SETBKMODE:
                break;
            default:
                ++n;
        }
    }
    return n;
}

MetafileCanvas::MetafileCanvas(int width, int height) {
    HDC screen = ::GetDC(nullptr);
    // The frame is in 0.01 mm; make it generous, the records keep device pixels anyway.
    const int mmX = ::GetDeviceCaps(screen, HORZSIZE) * 100 / ::GetDeviceCaps(screen, HORZRES);
    const int mmY = ::GetDeviceCaps(screen, VERTSIZE) * 100 / ::GetDeviceCaps(screen, VERTRES);
    RECT frame{0, 0, (width + 1) * (mmX + 1), (height + 1) * (mmY + 1)};
    m_dc = ::CreateEnhMetaFileW(screen, nullptr, &frame, nullptr);
    ::ReleaseDC(nullptr, screen);
    if (m_dc == nullptr) {
        throw std::runtime_error("cannot create a metafile DC");
    }
}

MetafileCanvas::~MetafileCanvas() {
    if (m_dc != nullptr) {
        ::DeleteEnhMetaFile(::CloseEnhMetaFile(m_dc));
    }
}

namespace {

int CALLBACK Collect(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    auto* out = reinterpret_cast<MetafileRecording*>(data);
    out->types.push_back(record->iType);
    if (record->iType == EMR_ELLIPSE) {
        const auto* ellipse = reinterpret_cast<const EMRELLIPSE*>(record);
        out->ellipses.push_back(ellipse->rclBox);
    } else if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                             text->emrtext.offString);
        if (text->emrtext.nChars > 0) {  // an opaque fill without text records nothing here
            out->texts.emplace_back(chars, text->emrtext.nChars);
        }
    }
    return 1;
}

}  // namespace

MetafileRecording MetafileCanvas::Finish() {
    HENHMETAFILE metafile = ::CloseEnhMetaFile(m_dc);
    m_dc = nullptr;
    MetafileRecording recording;
    ::EnumEnhMetaFile(nullptr, metafile, Collect, &recording, nullptr);
    ::DeleteEnhMetaFile(metafile);
    return recording;
}
