// Small skins written into a temporary folder for the clock tests.
#pragma once

#include "keys.h"
#include "store.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

class SkinFixture {
public:
    // A picture of `size` in `fill` with `corner` squares of 4x4 at its corners.
    static QImage picture(QSize size, QColor fill, QColor corner = QColor(255, 0, 255)) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(fill);
        QPainter p(&img);
        const int w = size.width(), h = size.height();
        for (const QPoint& at :
             {QPoint(0, 0), QPoint(w - 4, 0), QPoint(0, h - 4), QPoint(w - 4, h - 4)})
            p.fillRect(QRect(at, QSize(4, 4)), corner);
        return img;
    }

    // Folder of the skin `name` (created), with a trailing "/".
    QString folder(const QString& name) const {
        const QString dir = m_root.path() + "/" + name + "/";
        QDir().mkpath(dir);
        return dir;
    }
    // Writes `ini` as <folder>/<file> and returns the folder.
    QString write(const QString& name, const QString& file, const QString& ini) const {
        const QString dir = folder(name);
        QFile f(dir + file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(ini.toUtf8());
        return dir;
    }
    void save(const QString& name, const QString& file, const QImage& img) const {
        img.save(folder(name) + file);
    }
    // Stores the skin as the current one.
    static void select(const QString& dir, const QString& file, const QString& type) {
        Store::save(Keys::Section::Skin, Keys::Skin::Dir, dir);
        Store::save(Keys::Section::Skin, Keys::Skin::Name, file);
        Store::save(Keys::Section::Skin, Keys::Skin::Type, type);
    }
    QString root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};
