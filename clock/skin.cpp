#include "skin.h"

#include "skinfiles.h"

#include "filecommondialog.h"
#include "frmmain.h"
#include "inireader.h"
#include "keys.h"
#include "modskin.h"
#include "region.h"
#include "seams.h"
#include "store.h"
#include "twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>

namespace {

const QString kAbsent = QLatin1String(kIniAbsent);
const QString kTransparent = QStringLiteral("-1");

struct KeyTable {
    std::array<const char*, 3> sections;
    std::array<const char*, 22> keys;
};

// Sections S1..S3 and key slots 1..22 of each format; "" where the format has
// no such key.
const KeyTable kOwnTable = {{"skin", "background", "clock"},
                            {"name",      "author",    "email",      "www",       "about", "image",
                             "hideimage", "width",     "height",     "offset",    "",      "width",
                             "height",    "backcolor", "fontfamily", "fontcolor", "",      "",
                             "",          "fontsize",  "fontbold",   "align"}};
const KeyTable kPendrixTable = {
    {"", "window settings", "clock settings"},
    {"", "", "", "",     "", "SKIN",   "SKINUP", "WIDTH",  "HEIGHT",    "x", "y",
     "", "", "", "FONT", "", "ColorR", "ColorG", "ColorB", "FONT SIZE", "",  ""}};
const KeyTable kOlvoTable = {
    {"Info", "", "Font"},
    {"SkinName",  "author",   "email", "url", "description", "",          "", "", "", "Offset",
     "TopOffset", "",         "",      "",    "font",        "fontcolor", "", "", "", "fontsize",
     "bold",      "alignment"}};

// Font sizes the caption takes, in points; others keep the earlier size.
constexpr double kMinFontSize = 0.5;
constexpr double kMaxFontSize = 1000.0;

qint32 round32(double v) {
    return qint32(roundToRange(v, INT32_MIN, INT32_MAX));
}
qint16 round16(double v) {
    return qint16(roundToRange(v, INT16_MIN, INT16_MAX));
}

QString appDir() {
    return QCoreApplication::applicationDirPath();
}

} // namespace

Skin::Skin(frmMain* form) : m_form(form) {}

Skin::~Skin() {
    delete m_dialog;
}

void Skin::setSkinType(QString& t) {
    if (t.isEmpty())
        t = QLatin1String(Keys::Skin::TypeOwn);
    skinType = t;
    const KeyTable& table = t == QLatin1String(Keys::Skin::TypePendrix) ? kPendrixTable
                            : t == QLatin1String(Keys::Skin::TypeOlvo)  ? kOlvoTable
                                                                        : kOwnTable;
    for (int i = 0; i < 3; ++i)
        sectionNames[i] = QLatin1String(table.sections[i]);
    for (int i = 0; i < 22; ++i)
        keyNames[i] = QLatin1String(table.keys[i]);
}

QString Skin::slot(const QString& path, int n) const {
    const int section = n <= 5 ? 0 : n <= 9 ? 1 : 2;
    const QString& key = keyNames[n - 1];
    if (key.isEmpty() || sectionNames[section].isEmpty())
        return kAbsent;
    return readIniValue(path, sectionNames[section], key);
}

bool Skin::InitSkin() {
    if (m_loading)
        return true;
    m_loading = true;
    // The window keeps its place across loads; taken before it is hidden.
    m_place = m_form->screenPlace();
    m_form->hide();
    QString dir, name;
    if (locateSkin(dir, name) == Located::Quit) {
        m_loading = false;
        m_form->quitProgram();
        return false;
    }
    const QString path = dir + name;
    readSkinInfo(path);
    loadSkinImages(dir, name);
    applyClockStyle(path);
    Store::save(Keys::Section::Skin, Keys::Skin::Dir, dir);
    Store::save(Keys::Section::Skin, Keys::Skin::Name, name);

    transColor = 0xFF00FF;
    if (skinType == QLatin1String(Keys::Skin::TypeOlvo)) {
        const QString t = readIniValue(path, QStringLiteral("skin"), QStringLiteral("transcolor"));
        if (t != kAbsent)
            transColor = parseTransColour(t);
    }
    m_form->hideMode = false;
    setHide(false);
    m_loading = false;
    if (m_form->isQuitting())
        return false;
    m_form->show();
    return true;
}

Skin::Located Skin::locateSkin(QString& dir, QString& name) {
    using namespace Keys;
    dir = Store::get(Section::Skin, Keys::Skin::Dir, QString());
    name = Store::get(Section::Skin, Keys::Skin::Name, QString());
    QString type = Store::get(Section::Skin, Keys::Skin::Type, QLatin1String(Keys::Skin::TypeOwn));
    setSkinType(type);
    if (dir == QLatin1String(Keys::Skin::CancelMarker))
        Store::save(Section::Skin, Keys::Skin::Dir, QString());
    if (isValidSkin(dir, name))
        return Located::Found;
    if (skinType == QLatin1String(Keys::Skin::TypeOwn))
        return waitForSkinLoad(dir, name);
    return askForSkinFile(dir, name);
}

Skin::Located Skin::waitForSkinLoad(QString& dir, QString& name) {
    using namespace Keys;
    qint64 pid = 0;
    if (!m_form->startSkinLoad(&pid))
        return Located::Quit; // the user has been told which program is missing

    // Let events run (the tick, the tray icon, key signals) and read the store
    // a few times a second, until DMSkinLoad has stored a skin or given up.
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(WaitPollMs);
    Located result = Located::Quit;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (m_form->isQuitting()) {
            loop.quit();
            return;
        }
        // Asked before the store is read: whatever it stored before it
        // ended is then in the store.
        const bool running = Seams::processes().isRunning(pid);
        dir = Store::get(Section::Skin, Keys::Skin::Dir, QString());
        name = Store::get(Section::Skin, Keys::Skin::Name, QString());
        skinType = Store::get(Section::Skin, Keys::Skin::Type, QLatin1String(Keys::Skin::TypeOwn));
        if (isValidSkin(dir, name)) {
            result = Located::Found;
            loop.quit();
        } else if (dir == QLatin1String(Keys::Skin::CancelMarker) || !running) {
            // Given up, or closed without a word: either way no skin comes.
            loop.quit();
        }
    });
    poll.start();
    loop.exec();
    return result;
}

Skin::Located Skin::askForSkinFile(QString& dir, QString& name) {
    if (!m_dialog)
        m_dialog = new FileCommonDialog;
    for (;;) {
        m_dialog->setFilter(QStringLiteral("Skins|*.ini"));
        m_dialog->setInitialDirectory(appDir() + QStringLiteral("/skins"));
        m_dialog->setWindowTitle(QStringLiteral("Load Skin"));
        const QString result = m_dialog->GetFileOpenName(false);
        const QString chosen = result.left(result.indexOf(QChar(0)));
        const int slash = chosen.lastIndexOf(QLatin1Char('/'));
        if (slash >= 0) {
            dir = chosen.left(slash + 1);
            name = chosen.mid(slash + 1);
        } else {
            dir = chosen; // names no folder: the skin is not valid
        }
        if (isValidSkin(dir, name))
            return Located::Found;
        if (m_form->isQuitting())
            return Located::Quit;
        const auto button = Seams::messages().ask(
            m_form, QMessageBox::NoIcon, QStringLiteral("Error"),
            QStringLiteral("You have not chosen a skin. Press OK to try again or Cancel to quit."),
            QMessageBox::Ok | QMessageBox::Cancel);
        if (button != QMessageBox::Ok)
            return Located::Quit;
    }
}

void Skin::readSkinInfo(const QString& path) {
    if (skinType != QLatin1String(Keys::Skin::TypeOwn) &&
        skinType != QLatin1String(Keys::Skin::TypeOlvo))
        return;
    infoName = slot(path, 1);
    infoAuthor = slot(path, 2);
    infoEmail = slot(path, 3);
    infoWeb = slot(path, 4);
    infoAbout = slot(path, 5);
}

void Skin::loadSkinImages(const QString& dir, const QString& name) {
    const QString path = dir + name;
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    // A picture that cannot be read leaves the earlier one in place.
    auto load = [](ImageHolder* holder, const QString& file) {
        const QImage picture(file);
        if (!picture.isNull())
            holder->setPicture(picture);
    };
    qint32 width = DefaultWidthTwips;
    qint32 height = DefaultHeightTwips;
    if (skinType != QLatin1String(Keys::Skin::TypeOlvo)) {
        const QString shown = slot(path, 6);
        if (shown != kAbsent)
            load(m_form->imgShow, picturePath(dir, shown));
        const QString hidden = slot(path, 7);
        if (hidden != kAbsent)
            load(m_form->imgHide, picturePath(dir, hidden));
        const QString w = slot(path, 8);
        if (w != kAbsent)
            width = round32(leadingNumber(w) * tx);
        const QString h = slot(path, 9);
        if (h != kAbsent)
            height = round32(leadingNumber(h) * ty);
    } else {
        load(m_form->imgShow, picturePath(dir, QStringLiteral("main.bmp")));
        // The window takes the size of the shown picture; without any picture
        // it keeps the default size rather than shrinking to nothing.
        const QImage& shown = m_form->imgShow->picture();
        if (!shown.isNull()) {
            width = round32(shown.width() * tx);
            height = round32(shown.height() * ty);
        }
        load(m_form->imgHide, picturePath(dir, QStringLiteral("shade.bmp")));
    }
    m_form->setGeometryTwips(int(std::lround(m_place.x() * tx)), int(std::lround(m_place.y() * ty)),
                             width, height);
}

void Skin::applyClockStyle(const QString& path) {
    using namespace Keys;
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    const bool own = skinType == QLatin1String(Keys::Skin::TypeOwn);
    const bool olvo = skinType == QLatin1String(Keys::Skin::TypeOlvo);
    const bool pendrix = skinType == QLatin1String(Keys::Skin::TypePendrix);
    QLabel* caption = m_form->lblClock;

    // 1. Position, in twips.
    qint32 x = 0, y = 0;
    if (own) {
        const QString offset = slot(path, 10);
        x = parseOffsetX(offset, tx);
        y = parseOffsetY(offset, ty);
    } else if (pendrix || olvo) {
        x = round32(leadingNumber(slot(path, 10)) * tx);
        y = round32(leadingNumber(slot(path, 11)) * ty);
    }

    // 2. Size and alignment.
    bool autoSize = true;
    qint32 width = 0, height = 0;
    int alignment = caption->property("captionAlignment").toInt();
    if (own) {
        const QString w = slot(path, 12);
        if (w != kAbsent && w != kTransparent) {
            width = round32(leadingNumber(w) * tx);
            autoSize = false;
        }
        const QString h = slot(path, 13);
        if (h != kAbsent && h != kTransparent && !autoSize)
            height = round32(leadingNumber(h) * ty);
        else
            autoSize = true;
        const QString a = slot(path, 22);
        alignment = a == kAbsent ? 0 : round16(leadingNumber(a));
    } else if (olvo) {
        const QString a = slot(path, 22);
        const QString lower = a.toLower();
        alignment = (a == kAbsent || lower == QLatin1String("left")) ? 0
                    : lower == QLatin1String("right")                ? 1
                                                                     : 2;
        if (alignment != 0) {
            autoSize = false;
            width = round32(m_form->width() * tx);
            height = round32(m_form->height() * ty);
            x = 0;
        }
    }
    caption->setProperty("captionAlignment", alignment);
    // An alignment outside 0..2 counts as left.
    const Qt::Alignment horizontal = alignment == 1   ? Qt::AlignRight
                                     : alignment == 2 ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
    caption->setAlignment(horizontal | Qt::AlignTop);

    // 4. Background: opaque only where an own-format skin gives a colour.
    const QString back = own ? slot(path, 14) : kAbsent;
    QPalette pal = caption->palette();
    if (back != kAbsent && back != kTransparent) {
        pal.setColor(QPalette::Window, QColor::fromRgb(colourValueToRgb(parseRgbTriple(back))));
        caption->setAutoFillBackground(true);
    } else {
        caption->setAutoFillBackground(false);
    }

    // 5. Font face, 7. size, 8. weight.
    QFont font = caption->font();
    const QString face = slot(path, 15);
    if (face != kAbsent)
        font.setFamily(face);
    const QString size = slot(path, 20);
    if (size != kAbsent) {
        const double points = leadingNumber(size);
        if (points >= kMinFontSize && points <= kMaxFontSize)
            font.setPointSizeF(points);
    }
    const QString bold = slot(path, 21);
    if (bold != kAbsent) {
        if (own)
            font.setBold(leadingNumber(bold) != 0);
        else if (olvo)
            font.setBold(bold.toLower() == QLatin1String("true"));
    }
    caption->setFont(font);

    // 6. Text colour.
    if (own) {
        const QString c = slot(path, 16);
        pal.setColor(QPalette::WindowText,
                     QColor::fromRgb(colourValueToRgb(c == kAbsent ? 0 : parseRgbTriple(c))));
    } else if (olvo) {
        const QString c = slot(path, 16);
        if (c != kAbsent)
            pal.setColor(QPalette::WindowText,
                         QColor::fromRgb(colourValueToRgb(parseHexColour(c))));
    } else {
        // A part below 0 counts as 0, above 255 as 255.
        auto part = [&](int n) {
            return qBound<qint32>(0, round16(leadingNumber(slot(path, n))), 255);
        };
        pal.setColor(QPalette::WindowText, QColor::fromRgb(colourValueToRgb(
                                               part(17) + 256 * part(18) + 65536 * part(19))));
    }
    caption->setPalette(pal);

    // 3. Place the caption (after the font, so an automatic size fits the text).
    caption->move(int(std::nearbyint(x / tx)), int(std::nearbyint(y / ty)));
    if (!autoSize)
        caption->resize(qMax(0, int(std::nearbyint(width / tx))),
                        qMax(0, int(std::nearbyint(height / ty))));
    m_form->setCaptionAutoSize(autoSize);
}

QString Skin::aboutText() const {
    if (skinType == QLatin1String(Keys::Skin::TypePendrix))
        return QStringLiteral("No info available for this skin.");
    const QChar lf(10);
    return infoName + lf + infoAuthor + lf + infoEmail + lf + infoWeb + lf + lf + infoAbout;
}

void Skin::aboutSkin() {
    Seams::messages().ask(m_form, QMessageBox::Information, QStringLiteral("About Skin"),
                          aboutText(), QMessageBox::Ok);
}

void Skin::setHide(bool bHide) {
    const QImage& picture = bHide ? m_form->imgHide->picture() : m_form->imgShow->picture();
    m_form->setFace(picture);
    m_form->lblClock->setVisible(!bHide);
    // A face without a picture, or one that is all transparent, leaves the
    // window a plain rectangle: an empty shape would make the clock invisible
    // and unreachable.
    QRegion shape;
    if (!picture.isNull())
        shape = bitmapToRegion(picture, colourValueToRgb(transColor));
    if (shape.isEmpty())
        shape = QRegion(m_form->rect());
    m_form->setMask(shape);
}
