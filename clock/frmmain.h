// The clock window: a frameless, shaped window out of the taskbar, with the
// time caption lblClock on the skin's face. It owns the tray icon, the skin
// and the tick; every way of ending the program (Quit, F10, the close box, a
// skin load that gives up) goes through quitProgram().
#pragma once

#include "docking.h"
#include "ticklogic.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class CSystrayIcon;
class KeySignalReceiver;
class QLabel;
class QTimer;
class Skin;
class frmMenu;

// An invisible picture holder (imgShow, imgHide): it takes the size of the
// picture put into it.
class ImageHolder : public QWidget {
    Q_OBJECT
public:
    explicit ImageHolder(const QString& name, QWidget* parent);
    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture);

private:
    QImage m_picture;
};

class frmMain : public QWidget, public ClockState, private TickHost {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: the tray icon, the settings (window moved to its stored
    // place), then the skin. False when the program must end at once (the
    // user gave up choosing a skin); everything is stored by then.
    bool start();

    // Reads the Settings section into the window; moves the window to its
    // stored place when `moveWindow` (start-up only).
    void loadSettings(bool moveWindow);
    // Applies OnTop to the window without moving, resizing or hiding it.
    void setOnTop();
    // The window's top-left corner on the screen, in logical pixels, as the
    // window system has it.
    QPoint screenPlace() const;
    // Stores LeftStart, TopStart (twips) and OnTop.
    void saveWindowSettings();

    // The menu's skin commands: "dm" starts DMSkinLoad, "px"/"ol" ask for a
    // skin file. Ignored while a skin load runs.
    void loadSkin(const QString& t);
    void aboutSkin();

    // The one key-down handler: real key presses and the modules' key signals
    // both end here, with the key's code (113 F2, 116 F5, 121 F10).
    void keyDown(int keyCode);

    // Ends the program as Quit does: the menu form stores the module list, the
    // window stores its place and on-top state, the tray icon goes. Safe to
    // call more than once and from inside a skin load.
    void quitProgram();
    bool isQuitting() const { return m_quitting; }

    // Snaps the window to the edges of the screen it stands on, by the
    // stored docking distance.
    void dockToEdges();
    // Opens the popup menu at `pos` on the screen; returns when it closes.
    void openMenu(const QPoint& pos);
    // Inverts hideMode and puts up the face it asks for.
    void toggleHide();
    // Mouse activity over the tray icon: 513 left press, 515 left
    // double-click, 516 right press; other codes do nothing.
    void trayEvent(int code);
    const Docking::DragState& dragState() const { return m_drag; }

    // One tick now (the timer calls it just after each whole second).
    void tick();

    // Receives the modules' key signals; main() starts it listening.
    KeySignalReceiver* keySignals() const { return m_keySignals; }
    // The hidden menu form, loaded on first use (which restores the module list).
    frmMenu* menu();
    Skin* skin();
    // The face on display (the window's background picture).
    const QImage& face() const { return m_face; }
    void setFace(const QImage& face);
    // Caption: whether it takes the size of its text.
    bool captionAutoSize() const { return m_captionAutoSize; }
    void setCaptionAutoSize(bool on);
    // Position and size in twips (logical pixels times the screen's factor).
    int leftTwips() const;
    int topTwips() const;
    // Moves to `left`, `top` and resizes to `width` x `height`, all in twips.
    void setGeometryTwips(int left, int top, int width, int height);
    const TickLogic& tickLogic() const { return m_tick; }

    QLabel* lblClock = nullptr;
    QTimer* timTimer = nullptr;
    ImageHolder* imgShow = nullptr;
    ImageHolder* imgHide = nullptr;
    CSystrayIcon* SysIcon = nullptr;

signals:
    // Emitted once, when quitProgram() has stored everything.
    void programEnding();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The caption's mouse events come here, to the same handlers.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // TickHost
    void setCaption(const QString& text) override;
    QString captionToolTip() const override;
    void setCaptionToolTip(const QString& text) override;
    void setHide(bool hide) override;
    void focusIfVisible() override;
    QWidget* messageParent() override { return this; }

    void scheduleTick();
    // The window's and the caption's mouse handlers.
    void buttonDown(QMouseEvent* event);
    void drag(QMouseEvent* event);
    void buttonUp();
    void doubleClick(QMouseEvent* event);
    // Starts DMSkinLoad; says so when it cannot be started. Its process id
    // goes to `pid` when asked for.
    bool startSkinLoad(qint64* pid);

    friend class Skin;

    KeySignalReceiver* m_keySignals = nullptr;
    frmMenu* m_menu = nullptr;
    Skin* m_skin = nullptr;
    TickLogic m_tick;
    Docking::DragState m_drag;
    QImage m_face;
    QPixmap m_facePixmap;
    bool m_captionAutoSize = true;
    bool m_quitting = false;
};
