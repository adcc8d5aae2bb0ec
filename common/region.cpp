#include "region.h"

#include <QRect>

#include <vector>

namespace {

constexpr QRgb RgbMask = 0x00ffffffu;

// Whether a pixel is cut away, per pixel layout. Each one is small enough to
// be inlined into the scan loop.
struct OpaqueRule { // RGB32 and everything converted to it: alpha is not data
    QRgb key;
    bool operator()(QRgb p) const { return (p & RgbMask) == key; }
};
struct AlphaRule { // ARGB32: fully transparent pixels go too
    QRgb key;
    bool operator()(QRgb p) const { return (p >> 24) == 0 || (p & RgbMask) == key; }
};
struct PremultipliedRule { // ARGB32_Premultiplied: compare the colour as painted
    QRgb key;
    bool operator()(QRgb p) const {
        const QRgb a = p >> 24;
        if (a == 0)
            return true;
        if (a != 0xff)
            p = qUnpremultiply(p);
        return (p & RgbMask) == key;
    }
};

// Collects the rectangles in the order and form QRegion::setRects requires:
// sorted by top then left, no overlaps, one height per band, no two
// rectangles of a band touching side by side, and vertically neighbouring
// scanlines with the same runs merged into one band.
class BandBuilder {
public:
    // Runs of the scanline being scanned, as [left, right) pairs.
    std::vector<int> row;

    // Takes `row` as scanline `y`; rows arrive top to bottom.
    void endRow(int y) {
        if (!row.empty() && y == m_bandBottom + 1 && row == m_band) {
            m_bandBottom = y;
        } else {
            closeBand();
            if (!row.empty()) {
                m_band.swap(row);
                m_bandStart = m_rects.size();
                m_bandBottom = y;
                for (std::size_t i = 0; i < m_band.size(); i += 2)
                    m_rects.emplace_back(QPoint(m_band[i], y), QPoint(m_band[i + 1] - 1, y));
            }
        }
        row.clear();
    }

    QRegion finish() {
        closeBand();
        QRegion region;
        if (!m_rects.empty())
            region.setRects(m_rects.data(), int(m_rects.size()));
        return region;
    }

private:
    // The band's rectangles were made one scanline high; give them its height.
    void closeBand() {
        for (std::size_t i = m_bandStart; i < m_rects.size(); ++i)
            m_rects[i].setBottom(m_bandBottom);
        m_bandStart = m_rects.size();
        m_band.clear();
        m_bandBottom = -2;
    }

    std::vector<QRect> m_rects;
    std::vector<int> m_band; // runs of the open band
    std::size_t m_bandStart = 0;
    int m_bandBottom = -2; // last scanline of the open band; -2: none open
};

template <typename Rule> QRegion scan(const QImage& image, Rule isCut) {
    const int w = image.width();
    const int h = image.height();
    BandBuilder bands;
    for (int y = 0; y < h; ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        for (;;) {
            while (x < w && isCut(p[x]))
                ++x;
            if (x == w)
                break;
            const int left = x;
            while (x < w && !isCut(p[x]))
                ++x;
            bands.row.push_back(left);
            bands.row.push_back(x);
        }
        bands.endRow(y);
    }
    return bands.finish();
}

} // namespace

QRegion bitmapToRegion(const QImage& image, QRgb transparent) {
    if (image.isNull())
        return QRegion();
    const QRgb key = transparent & RgbMask;
    switch (image.format()) {
    case QImage::Format_RGB32:
        return scan(image, OpaqueRule{key});
    case QImage::Format_ARGB32:
        return scan(image, AlphaRule{key});
    case QImage::Format_ARGB32_Premultiplied:
        return scan(image, PremultipliedRule{key});
    default:
        // Indexed, 16-bit, 24-bit, 64-bit and the rest: one conversion, then
        // the direct scan.
        if (image.hasAlphaChannel())
            return scan(image.convertToFormat(QImage::Format_ARGB32), AlphaRule{key});
        return scan(image.convertToFormat(QImage::Format_RGB32), OpaqueRule{key});
    }
}
