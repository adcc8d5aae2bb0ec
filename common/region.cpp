#include "region.h"

#include <QRect>
#include <QtAlgorithms>

#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define DIALMERE_REGION_SSE2 1
#endif

namespace {

constexpr QRgb RgbMask = 0x00ffffffu;

// Whether a pixel is cut away, one rule per pixel layout: `cut` for one pixel,
// `cutBits4` for four at once (bit i set: pixel i is cut). The four-pixel form
// is what makes the scan cheap; it must agree with `cut`.
struct OpaqueRule { // RGB32 and everything converted to it: alpha is not data
    QRgb key;
    bool cut(QRgb p) const { return (p & RgbMask) == key; }
#ifdef DIALMERE_REGION_SSE2
    unsigned cutBits4(const QRgb* p) const {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i c = _mm_cmpeq_epi32(_mm_and_si128(v, _mm_set1_epi32(int(RgbMask))),
                                          _mm_set1_epi32(int(key)));
        return unsigned(_mm_movemask_ps(_mm_castsi128_ps(c)));
    }
#endif
};

struct AlphaRule { // ARGB32: fully transparent pixels go too
    QRgb key;
    bool cut(QRgb p) const { return (p >> 24) == 0 || (p & RgbMask) == key; }
#ifdef DIALMERE_REGION_SSE2
    unsigned cutBits4(const QRgb* p) const {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(v, _mm_set1_epi32(int(RgbMask))),
                                              _mm_set1_epi32(int(key)));
        const __m128i clear = _mm_cmpeq_epi32(_mm_srli_epi32(v, 24), _mm_setzero_si128());
        return unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(keyed, clear))));
    }
#endif
};

struct PremultipliedRule { // ARGB32_Premultiplied: compare the colour as painted
    QRgb key;
    bool cut(QRgb p) const {
        const QRgb a = p >> 24;
        if (a == 0)
            return true;
        if (a != 0xff)
            p = qUnpremultiply(p);
        return (p & RgbMask) == key;
    }
#ifdef DIALMERE_REGION_SSE2
    unsigned cutBits4(const QRgb* p) const {
        // Opaque and clear pixels in one go; partly transparent ones are rare
        // in a window picture and take the exact path.
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i a = _mm_srli_epi32(v, 24);
        const __m128i clear = _mm_cmpeq_epi32(a, _mm_setzero_si128());
        const __m128i opaque = _mm_cmpeq_epi32(a, _mm_set1_epi32(0xff));
        const __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(v, _mm_set1_epi32(int(RgbMask))),
                                              _mm_set1_epi32(int(key)));
        unsigned bits = unsigned(
            _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(clear, _mm_and_si128(opaque, keyed)))));
        unsigned partial =
            ~unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(clear, opaque)))) & 0xfu;
        while (partial) {
            const unsigned i = qCountTrailingZeroBits(partial);
            bits |= unsigned(cut(p[i])) << i;
            partial &= partial - 1;
        }
        return bits;
    }
#endif
};

// Turns scanline runs into the region band by band. Vertically neighbouring
// scanlines with the same runs become one band of one rectangle per run, in
// the form QRegion keeps: sorted by top then left, no overlaps, one height per
// band, no two rectangles of a band touching side by side.
//
// Rectangles gather in a small buffer of whole bands that becomes a region in
// one setRects call; for a window shape that is all. A bigger shape goes over
// in batches of whole bands, each appended below the last: Qt grows the region
// in place, so no second copy of all the rectangles is made. (Whole bands
// matter: handing Qt one rectangle at a time lets it merge a band's first
// rectangle into the one above and then fall back to a full region union for
// the rest of the band, which is quadratic.)
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
                m_bandTop = m_bandBottom = y;
            }
        }
        row.clear();
    }

    QRegion finish() {
        closeBand();
        flush();
        return std::move(m_region);
    }

private:
    static constexpr std::size_t BatchRects = 4096; // 64 KiB

    void closeBand() {
        const int height = m_bandBottom - m_bandTop + 1;
        for (std::size_t i = 0; i < m_band.size(); i += 2)
            m_rects.emplace_back(m_band[i], m_bandTop, m_band[i + 1] - m_band[i], height);
        m_band.clear();
        m_bandBottom = -2;
        if (m_rects.size() >= BatchRects)
            flush();
    }

    void flush() {
        if (m_rects.empty())
            return;
        if (m_region.isEmpty()) {
            m_region.setRects(m_rects.data(), int(m_rects.size()));
        } else {
            QRegion batch;
            batch.setRects(m_rects.data(), int(m_rects.size()));
            m_region += batch;
        }
        m_rects.clear();
    }

    QRegion m_region;
    std::vector<QRect> m_rects; // closed bands not yet in the region
    std::vector<int> m_band;    // runs of the open band
    int m_bandTop = 0;
    int m_bandBottom = -2; // last scanline of the open band; -2: none open
};

// Kept pixels of p[0..n), n <= 64, as bits.
template <typename Rule> inline quint64 keptBits(const QRgb* p, int n, const Rule& rule) {
    quint64 cut = 0;
    int i = 0;
#ifdef DIALMERE_REGION_SSE2
    for (; i + 4 <= n; i += 4)
        cut |= quint64(rule.cutBits4(p + i)) << i;
#endif
    for (; i < n; ++i)
        cut |= quint64(rule.cut(p[i])) << i;
    return ~cut & (n == 64 ? ~quint64(0) : (quint64(1) << n) - 1);
}

// One pass over the pixels, 64 at a time as a bit mask; run edges come from
// the mask's transitions, so the work is the pixels plus the runs.
template <typename Rule> QRegion scan(const QImage& image, Rule rule) {
    const int w = image.width();
    const int h = image.height();
    BandBuilder bands;
    for (int y = 0; y < h; ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        bool inside = false; // within a run of kept pixels
        int left = 0;
        for (int base = 0; base < w; base += 64) {
            const quint64 kept = keptBits(p + base, qMin(64, w - base), rule);
            // Bit i set: pixel base+i differs from the one before it (a run
            // ends just after the row's last pixel when it is kept).
            quint64 edges = kept ^ ((kept << 1) | quint64(inside));
            while (edges) {
                const int x = base + int(qCountTrailingZeroBits(edges));
                if (inside) {
                    bands.row.push_back(left);
                    bands.row.push_back(x);
                } else {
                    left = x;
                }
                inside = !inside;
                edges &= edges - 1;
            }
        }
        if (inside) { // the row's last word was full and ended kept
            bands.row.push_back(left);
            bands.row.push_back(w);
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
