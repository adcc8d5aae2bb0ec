// bitmapToRegion against Qt's own mask path on the pictures a clock meets and
// on the ones that hurt: noise, and rows that alternate between one run and
// many runs. The *_Series benchmarks report their complexity in runs.
#include "region.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr QRgb Magenta = 0xff00ff;

QRegion qtReference(const QImage& image, QRgb key) {
    return QRegion(
        QBitmap::fromImage(image.createMaskFromColor(key | 0xff000000u, Qt::MaskInColor)));
}

// The runs of the key's complement, counted the slow way; for the counters.
long countRuns(const QImage& image) {
    long runs = 0;
    for (int y = 0; y < image.height(); ++y) {
        bool inside = false;
        for (int x = 0; x < image.width(); ++x) {
            const bool kept = (image.pixel(x, y) & 0xffffff) != Magenta;
            runs += kept && !inside;
            inside = kept;
        }
    }
    return runs;
}

// A clock face as a skin has it: a rounded plate with a knob, a window for
// the time, hard edges and magenta around.
QImage skin() {
    QImage img(200, 60, QImage::Format_RGB32);
    img.fill(0xffff00ff);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    QLinearGradient g(0, 0, 0, 60);
    g.setColorAt(0, QColor(70, 90, 120));
    g.setColorAt(1, QColor(20, 30, 50));
    p.setBrush(g);
    p.drawRoundedRect(QRect(4, 4, 180, 52), 16, 16);
    p.drawEllipse(QRect(176, 18, 22, 22));
    p.setBrush(QColor(200, 220, 190));
    p.drawRoundedRect(QRect(20, 14, 140, 32), 6, 6);
    p.setPen(Qt::black);
    p.drawText(QRect(20, 14, 140, 32), Qt::AlignCenter, "12:34:56");
    // Two screw holes the desktop shows through.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0x00, 0xff));
    p.drawEllipse(QRect(8, 26, 7, 7));
    p.drawEllipse(QRect(165, 26, 7, 7));
    return img;
}

// A full-screen picture with a wavy star outline and scattered holes.
QImage bigOutline() {
    QImage img(1920, 1080, QImage::Format_RGB32);
    img.fill(0xffff00ff);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    QPolygonF star;
    const QPointF c(960, 540);
    for (int i = 0; i < 720; ++i) {
        const double a = i * M_PI / 360;
        const double r = 420 + 90 * std::sin(17 * a) + 25 * std::sin(71 * a);
        star << c + QPointF(r * 1.6 * std::cos(a), r * std::sin(a));
    }
    QRadialGradient g(c, 700);
    g.setColorAt(0, QColor(240, 200, 90));
    g.setColorAt(1, QColor(60, 40, 120));
    p.setBrush(g);
    p.drawPolygon(star);
    QRandomGenerator rng(5);
    p.setBrush(QColor(0xff, 0x00, 0xff));
    for (int i = 0; i < 60; ++i)
        p.drawEllipse(QPointF(500 + rng.bounded(920), 250 + rng.bounded(580)), 5 + rng.bounded(40),
                      5 + rng.bounded(40));
    return img;
}

QImage noise(int w, int h) {
    QRandomGenerator rng(7);
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = rng.bounded(2) ? 0xffff00ff : 0xff000000 | rng.generate();
    }
    return img;
}

// Even rows one run over the left quarter; odd rows the same run and then a
// run every fourth pixel. Qt's path merges each odd row's first run into the
// rectangle above and then can no longer append the rest of that row, so it
// falls back to a full region union per row: quadratic in the rows.
QImage alternating(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    const int quarter = w / 4;
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const bool kept = x < quarter || (y % 2 == 1 && x >= quarter + 2 && x % 4 < 2);
            line[x] = kept ? 0xff304050 : 0xffff00ff;
        }
    }
    return img;
}

template <bool Ours> void run(benchmark::State& state, const QImage& image) {
    long rects = 0;
    for (auto _ : state) {
        const QRegion r = Ours ? bitmapToRegion(image, Magenta) : qtReference(image, Magenta);
        rects = r.rectCount();
        benchmark::DoNotOptimize(rects);
    }
    state.counters["rects"] = double(rects);
    state.counters["px/s"] = benchmark::Counter(double(image.width()) * image.height(),
                                                benchmark::Counter::kIsIterationInvariantRate);
}

template <bool Ours> void runSeries(benchmark::State& state, const QImage& image) {
    run<Ours>(state, image);
    const long runs = countRuns(image);
    state.counters["runs"] = double(runs);
    state.SetComplexityN(runs);
}

const QImage& cached(int which, int a = 0, int b = 0) {
    // Pictures are made once per size, outside the timing.
    static QHash<QString, QImage> cache;
    const QString k = QString("%1:%2:%3").arg(which).arg(a).arg(b);
    auto it = cache.find(k);
    if (it == cache.end()) {
        QImage img = which == 0   ? skin()
                     : which == 1 ? bigOutline()
                     : which == 2 ? noise(a, b)
                                  : alternating(a, b);
        it = cache.insert(k, img);
    }
    return *it;
}

template <bool Ours> void Skin200x60(benchmark::State& s) {
    run<Ours>(s, cached(0));
}
template <bool Ours> void Outline1920x1080(benchmark::State& s) {
    run<Ours>(s, cached(1));
}
template <bool Ours> void Noise(benchmark::State& s) {
    run<Ours>(s, cached(2, int(s.range(0)), int(s.range(1))));
}
template <bool Ours> void Alternating(benchmark::State& s) {
    run<Ours>(s, cached(3, int(s.range(0)), int(s.range(1))));
}
// Height grows, width stays: runs grow linearly with the picture.
template <bool Ours> void AlternatingSeries(benchmark::State& s) {
    runSeries<Ours>(s, cached(3, 256, int(s.range(0))));
}
template <bool Ours> void NoiseSeries(benchmark::State& s) {
    runSeries<Ours>(s, cached(2, 256, int(s.range(0))));
}

} // namespace

BENCHMARK(Skin200x60<true>)->Name("Skin200x60/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(Skin200x60<false>)->Name("Skin200x60/qt")->Unit(benchmark::kMicrosecond);
BENCHMARK(Outline1920x1080<true>)->Name("Outline1920x1080/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Outline1920x1080<false>)->Name("Outline1920x1080/qt")->Unit(benchmark::kMillisecond);
BENCHMARK(Noise<true>)
    ->Name("Noise/ours")
    ->Args({200, 60})
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Noise<false>)
    ->Name("Noise/qt")
    ->Args({200, 60})
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Alternating<true>)
    ->Name("Alternating/ours")
    ->Args({200, 60})
    ->Args({640, 480})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Alternating<false>)
    ->Name("Alternating/qt")
    ->Args({200, 60})
    ->Args({640, 480})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(AlternatingSeries<true>)
    ->Name("AlternatingSeries/ours")
    ->RangeMultiplier(2)
    ->Range(64, 2048)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(AlternatingSeries<false>)
    ->Name("AlternatingSeries/qt")
    ->RangeMultiplier(2)
    ->Range(64, 2048)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(NoiseSeries<true>)
    ->Name("NoiseSeries/ours")
    ->RangeMultiplier(2)
    ->Range(64, 2048)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(NoiseSeries<false>)
    ->Name("NoiseSeries/qt")
    ->RangeMultiplier(2)
    ->Range(64, 2048)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    // QBitmap needs a GUI application; no display is wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
