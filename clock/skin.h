// The current skin of the clock window: finds it (asking for an imported skin
// file, or starting DMSkinLoad and waiting for its choice), reads its texts,
// pictures, window size and caption style through the key table of its
// format, applies them to the window, and switches the window's two faces.
#pragma once

#include "skinfiles.h"

#include <QPoint>
#include <QString>
#include <QtGlobal>
#include <array>

class frmMain;
class FileCommonDialog;

class Skin {
public:
    explicit Skin(frmMain* form);
    ~Skin();

    // Chooses the key table for `t`; an empty `t` becomes "dm" (the caller's
    // variable too). Every type but "px" and "ol" gets the "dm" table.
    void setSkinType(QString& t);
    // Loads the current skin and applies it. False when the program must end
    // (the user gave up choosing a skin, or the program is quitting); the
    // window has then stored everything.
    bool InitSkin();
    // The skin information box.
    void aboutSkin();
    // Puts up the hidden (true) or shown (false) face and cuts the window to
    // its outline.
    void setHide(bool bHide);

    // The text of the information box.
    QString aboutText() const;
    bool isLoading() const { return m_loading; }

    // Between two reads of the store while DMSkinLoad is open.
    static constexpr int WaitPollMs = 200;
    // The window size of a skin that gives none, in twips.
    static constexpr int DefaultWidthTwips = 3015;
    static constexpr int DefaultHeightTwips = 465;

    QString skinType;
    std::array<QString, 3> sectionNames; // S1..S3 at 0..2
    std::array<QString, 22> keyNames;    // slots 1..22 at 0..21
    QString infoName, infoAuthor, infoEmail, infoWeb, infoAbout;
    qint32 transColor = 0xFF00FF;

private:
    enum class Located { Found, Quit };
    Located locateSkin(QString& dir, QString& name);
    Located waitForSkinLoad(QString& dir, QString& name);
    Located askForSkinFile(QString& dir, QString& name);
    void readSkinInfo(const QString& path);
    void loadSkinImages(const QString& dir, const QString& name);
    void applyClockStyle(const QString& path);
    // The value of key slot `n` (1..22) in the skin file; "ERROR" for an
    // unnamed slot.
    QString slot(const QString& path, int n) const;

    frmMain* m_form;
    FileCommonDialog* m_dialog = nullptr;
    bool m_loading = false;
    QPoint m_place; // the window's place when the load began
};
