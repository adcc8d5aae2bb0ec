// Helpers for the skin browser's system tests: start the built programs, find
// their windows with xdotool, drive them with real input and read the screen.
#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QThread>

namespace X {

inline QString binDir() {
    return QString::fromLocal8Bit(qgetenv("DIALMERE_BIN_DIR"));
}

// Runs a helper tool to its end and gives its standard output.
inline QString run(const QString& program, const QStringList& args, int timeoutMs = 10000) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

inline QString xdo(const QStringList& args) {
    return run(QStringLiteral("xdotool"), args);
}

// The first visible top-level window whose name is exactly `name`, waiting up
// to `timeoutMs` for it; empty when none came.
inline QString waitForWindow(const QString& name, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    do {
        const QString ids = xdo(
            {"search", "--onlyvisible", "--name", "^" + QRegularExpression::escape(name) + "$"});
        if (!ids.isEmpty())
            return ids.split('\n').first();
        QTest::qWait(100);
    } while (!deadline.hasExpired());
    return QString();
}

// Whether a visible window named exactly `name` is there now.
inline bool windowShown(const QString& name) {
    return !xdo({"search", "--onlyvisible", "--name", "^" + QRegularExpression::escape(name) + "$"})
                .isEmpty();
}

// Waits until no visible window named `name` is left.
inline bool waitForWindowGone(const QString& name, int timeoutMs = 10000) {
    QDeadlineTimer deadline(timeoutMs);
    while (windowShown(name)) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(100);
    }
    return true;
}

// The window's client area on the screen (xwininfo's absolute place; the
// one xdotool reports is that of the window manager's frame).
inline QRect geometry(const QString& id) {
    QRect r;
    const QStringList lines = run("xwininfo", {"-id", id}).split('\n');
    for (const QString& line : lines) {
        const QString key = line.section(':', 0, 0).trimmed();
        const int value = line.section(':', 1).trimmed().toInt();
        if (key == "Absolute upper-left X")
            r.moveLeft(value);
        else if (key == "Absolute upper-left Y")
            r.moveTop(value);
        else if (key == "Width")
            r.setWidth(value);
        else if (key == "Height")
            r.setHeight(value);
    }
    return r;
}

// Clicks at `pos` inside the window with a real pointer.
inline void click(const QString& id, QPoint pos, int button = 1) {
    xdo({"mousemove", "--window", id, QString::number(pos.x()), QString::number(pos.y())});
    QTest::qWait(100);
    xdo({"click", QString::number(button)});
}

// Gives the window the focus and types keys into it ("Tab", "Down", "alt+o").
inline void keys(const QString& id, const QStringList& keyNames) {
    xdo({"windowactivate", "--sync", id});
    QTest::qWait(300); // a window just mapped takes its input a moment later
    for (const QString& k : keyNames) {
        xdo({"key", "--clearmodifiers", k});
        QTest::qWait(150);
    }
}

// What the screen shows in `rect`.
inline QImage grab(const QRect& rect) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// How a shaped picture shows on the screen: `screen` is the grab of the place
// where `picture` is drawn. Counts the picture's magenta pixels that show as
// magenta (should be none: cut away) and its opaque pixels that show as they
// are (all but those under a caption).
struct ShapeCheck {
    int cutAway = 0, magentaShown = 0, opaque = 0, opaqueShown = 0;
};
inline ShapeCheck checkShape(const QImage& picture, const QImage& screen) {
    ShapeCheck c;
    const QImage pic = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pic.height() && y < screen.height(); ++y) {
        for (int x = 0; x < pic.width() && x < screen.width(); ++x) {
            const QRgb p = pic.pixel(x, y);
            const QRgb s = screen.pixel(x, y) & 0xFFFFFF;
            if ((p & 0xFFFFFF) == 0xFF00FF || qAlpha(p) == 0) {
                ++c.cutAway;
                if (s == 0xFF00FF)
                    ++c.magentaShown;
            } else if (qAlpha(p) == 255) {
                ++c.opaque;
                if (s == (p & 0xFFFFFF))
                    ++c.opaqueShown;
            }
        }
    }
    return c;
}

} // namespace X
