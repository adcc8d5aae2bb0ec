// Small skins written into a temporary folder for the skin browser's tests,
// and fakes for the message boxes and the link opener.
#pragma once

#include "links.h"
#include "seams.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPair>
#include <QStringList>
#include <QUrl>

namespace Fixture {

// Writes `text` to `path`, making its folder first.
inline void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
}

// A picture of `size` on magenta with an opaque ellipse of `colour` in it: its
// outline is the ellipse.
inline QImage picture(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRect(QPoint(0, 0), size).adjusted(1, 1, -1, -1));
    return image;
}

inline void writePicture(const QString& path, const QImage& image) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    image.save(path, "PNG");
}

// A skin INI from "section/key=value" lines, in the order given.
inline QByteArray skinText(const QStringList& entries) {
    QByteArray text;
    QString section;
    for (const QString& entry : entries) {
        const int slash = entry.indexOf(QLatin1Char('/'));
        const QString s = entry.left(slash);
        if (s != section) {
            text += "[" + s.toUtf8() + "]\n";
            section = s;
        }
        text += entry.mid(slash + 1).toUtf8() + "\n";
    }
    return text;
}

// A complete skin named `name` (file <name>.ini) in `folder`, with a shown
// picture <name>.png and a hidden picture <name>-small.png.
inline void writeFullSkin(const QString& folder, const QString& name, QSize shown = {90, 40},
                          QSize hidden = {30, 30}) {
    writePicture(folder + "/" + name + ".png", picture(shown, Qt::darkBlue));
    writePicture(folder + "/" + name + "-small.png", picture(hidden, Qt::darkRed));
    writeFile(
        folder + "/" + name + ".ini",
        skinText({"skin/name=" + name + " Skin", "skin/author=" + name + " Author",
                  "skin/email=" + name + "@example.org", "skin/www=https://example.org/" + name,
                  "skin/about=About " + name, "background/image=" + name + ".png",
                  "background/hideimage=" + name + "-small.png"}));
}

struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

class FakeMessages : public Seams::Messages {
public:
    FakeMessages() { Seams::setMessages(this); }
    ~FakeMessages() override { Seams::setMessages(nullptr); }
    QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons) override {
        shown.append({icon, title, text});
        if (onAsk)
            onAsk();
        return QMessageBox::Ok;
    }
    void tell(QWidget*, QMessageBox::Icon icon, const QString& title,
              const QString& text) override {
        shown.append({icon, title, text});
    }
    void beep() override {}

    QList<Message> shown;
    std::function<void()> onAsk; // runs while the "box" is up
};

class FakeOpener : public Links::Opener {
public:
    FakeOpener() { Links::setOpener(this); }
    ~FakeOpener() override { Links::setOpener(nullptr); }
    bool open(const QUrl& url) override {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};

} // namespace Fixture
