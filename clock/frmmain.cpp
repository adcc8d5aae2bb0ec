#include "frmmain.h"

#include "conversions.h"
#include "csystrayicon.h"
#include "frmmenu.h"
#include "keys.h"
#include "keysignal.h"
#include "placement.h"
#include "seams.h"
#include "skin.h"
#include "store.h"
#include "timeformat.h"
#include "twips.h"
#include "windowhints.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cmath>

namespace {

const QString kVersion = QStringLiteral("%1.%2.%3")
                             .arg(DIALMERE_VERSION_MAJOR)
                             .arg(DIALMERE_VERSION_MINOR)
                             .arg(DIALMERE_VERSION_PATCH);

// Twips to whole logical pixels, kept within what a window can be.
int toPixels(double twips, double twipsPerPixel) {
    const double px = std::nearbyint(twips / twipsPerPixel);
    return int(qBound(-1000000.0, px, 1000000.0));
}

} // namespace

// The icon lives in this static library: make sure it is linked in.
static void initResources() {
    Q_INIT_RESOURCE(dialmere);
}

ImageHolder::ImageHolder(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setVisible(false);
}

void ImageHolder::setPicture(const QImage& picture) {
    m_picture = picture;
    resize(picture.size());
}

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Dialmere"));
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    initResources();
    setWindowIcon(QIcon(QStringLiteral(":/dialmere/dialmere.png")));
    // Magenta, the skins' transparent colour, shows where no face is drawn.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(255, 0, 255));
    setPalette(pal);
    setAutoFillBackground(true);
    resize(Skin::DefaultWidthTwips / 15, Skin::DefaultHeightTwips / 15);

    lblClock = new QLabel(this);
    lblClock->setObjectName(QStringLiteral("lblClock"));
    lblClock->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblClock->move(0, 0);
    lblClock->installEventFilter(this);
    // Moves without a button pressed start the quick-show.
    setMouseTracking(true);
    imgShow = new ImageHolder(QStringLiteral("imgShow"), this);
    imgHide = new ImageHolder(QStringLiteral("imgHide"), this);

    timTimer = new QTimer(this);
    timTimer->setObjectName(QStringLiteral("timTimer"));
    timTimer->setSingleShot(true);
    timTimer->setTimerType(Qt::PreciseTimer);
    connect(timTimer, &QTimer::timeout, this, [this] {
        tick();
        scheduleTick();
    });

    m_keySignals = new KeySignalReceiver(
        this, [this](int keyCode) { keyDown(keyCode); }, this);
}

frmMain::~frmMain() {
    delete m_skin;
    delete m_menu;
}

bool frmMain::start() {
    SysIcon = new CSystrayIcon(nullptr, this);
    SysIcon->Initialize(this, windowIcon(), QStringLiteral("Dialmere"), 512);
    connect(SysIcon, &CSystrayIcon::trayEvent, this, &frmMain::trayEvent);
    SysIcon->ShowIcon();
    loadSettings(true);
    // The tick runs from now on, also while the skin load below waits.
    tick();
    scheduleTick();
    return skin()->InitSkin();
}

frmMenu* frmMain::menu() {
    if (!m_menu)
        m_menu = new frmMenu(this);
    return m_menu;
}

Skin* frmMain::skin() {
    if (!m_skin)
        m_skin = new Skin(this);
    return m_skin;
}

void frmMain::loadSettings(bool moveWindow) {
    using namespace Keys;
    const QString S = QLatin1String(Section::Settings);
    if (moveWindow) {
        const qint16 left = Store::getInteger(S, Settings::LeftStart, QStringLiteral("100"));
        const qint16 top = Store::getInteger(S, Settings::TopStart, QStringLiteral("100"));
        const QRect want(toPixels(left, twipsPerPixelX()), toPixels(top, twipsPerPixelY()), width(),
                         height());
        QList<QRect> screens;
        for (const QScreen* s : QGuiApplication::screens())
            screens << s->geometry();
        move(placeOnScreens(want, screens));
    }
    dateToolTip = Store::getFlag(S, Settings::DateToolTip, QStringLiteral("True"));
    timeFormat = Store::get(S, Settings::TimeFormat, QStringLiteral("hh:mm:ss"));
    dateFormat = Store::get(S, Settings::DateFormat, QStringLiteral("mmm d, yyyy"));
    dock = Store::getFlag(S, Settings::Dock, QStringLiteral("False"));
    OnTop = Store::getFlag(S, Settings::OnTop, QStringLiteral("False"));
    menu()->mnuOnTop->setChecked(OnTop);
    setOnTop();
    quickShow = Store::getInteger(S, Settings::QuickShow, QStringLiteral("1"));
    Store::save(S, Settings::Version, kVersion);
}

void frmMain::setOnTop() {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, OnTop);
    if (flags == windowFlags())
        return;
    if (QWindow* window = windowHandle()) {
        // The native window takes the new layer as it is: QWidget's own
        // setWindowFlags() would hide the window and could move it.
        const QPoint place = screenPlace();
        overrideWindowFlags(flags);
        window->setFlags(flags);
        // Qt may now believe the window stands at the origin of the window
        // manager's frame; tell it the real place again, so a later showing
        // does not move the clock.
        if (isVisible() && pos() != place)
            move(place);
    } else {
        const bool wasVisible = isVisible();
        const QRect place = geometry();
        setWindowFlags(flags);
        setGeometry(place);
        if (wasVisible)
            show();
    }
}

int frmMain::leftTwips() const {
    return int(std::lround(x() * twipsPerPixelX()));
}
int frmMain::topTwips() const {
    return int(std::lround(y() * twipsPerPixelY()));
}

void frmMain::setGeometryTwips(int left, int top, int widthTwips, int heightTwips) {
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    // A window is at least one pixel and at most what X11 can map.
    const int w = qBound(1, toPixels(widthTwips, tx), 16384);
    const int h = qBound(1, toPixels(heightTwips, ty), 16384);
    setGeometry(toPixels(left, tx), toPixels(top, ty), w, h);
}

QPoint frmMain::screenPlace() const {
    // Just after the window manager has taken a shown window, Qt's idea of its
    // position can be the window's place in the manager's frame (0, 0) for a
    // while; the window system's own answer is always right.
    if (isVisible()) {
        if (const auto place = windowSystemPlace(const_cast<frmMain*>(this)))
            return *place;
    }
    return pos();
}

void frmMain::saveWindowSettings() {
    using namespace Keys;
    const QString S = QLatin1String(Section::Settings);
    const QPoint place = screenPlace();
    Store::save(S, Settings::LeftStart, Conv::numberText(place.x() * twipsPerPixelX()));
    Store::save(S, Settings::TopStart, Conv::numberText(place.y() * twipsPerPixelY()));
    Store::save(S, Settings::OnTop, Conv::flagText(OnTop));
}

void frmMain::loadSkin(const QString& t) {
    if (skin()->isLoading())
        return;
    using namespace Keys;
    Store::save(Section::Skin, Keys::Skin::Type, t);
    if (t == QLatin1String(Keys::Skin::TypeOwn)) {
        startSkinLoad(nullptr);
        return;
    }
    Store::save(Section::Skin, Keys::Skin::Dir, QString());
    Store::save(Section::Skin, Keys::Skin::Name, QString());
    skin()->InitSkin();
}

bool frmMain::startSkinLoad(qint64* pid) {
    QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/modules/DMSkinLoad");
#ifdef Q_OS_WIN
    program += QStringLiteral(".exe");
#endif
    qint64 started = 0;
    if (Seams::processes().startDetachedWithPid(program, {}, &started)) {
        if (pid)
            *pid = started;
        return true;
    }
    Seams::messages().ask(this, QMessageBox::Warning, QStringLiteral("Dialmere"),
                          QStringLiteral("The skin browser could not be started:\n%1")
                              .arg(QDir::toNativeSeparators(program)),
                          QMessageBox::Ok);
    return false;
}

void frmMain::aboutSkin() {
    skin()->aboutSkin();
}

void frmMain::keyDown(int keyCode) {
    switch (keyCode) {
    case KeySignal::F2:
        // A load that is running (waiting for DMSkinLoad) picks the choice up
        // itself.
        if (!skin()->isLoading())
            skin()->InitSkin();
        break;
    case KeySignal::F5:
        lblClock->setToolTip(QString());
        loadSettings(false);
        break;
    case KeySignal::F10:
        quitProgram();
        break;
    default: // any other key does nothing
        break;
    }
}

void frmMain::quitProgram() {
    if (m_quitting)
        return;
    m_quitting = true;
    timTimer->stop();
    // The menu form first (module list), then the window (place, on-top),
    // then the tray icon.
    if (m_menu)
        m_menu->unload();
    saveWindowSettings();
    if (SysIcon)
        SysIcon->HideIcon();
    hide();
    emit programEnding();
    QCoreApplication::quit();
}

void frmMain::tick() {
    m_tick.tick(Seams::clock().now(), *this, *this);
}

void frmMain::scheduleTick() {
    if (!m_quitting)
        timTimer->start(TickLogic::msUntilNextTick(Seams::clock().now()));
}

void frmMain::setFace(const QImage& face) {
    m_face = face;
    // Drawn as a pixmap: a picture in its file's format would be converted
    // at every repaint of the caption.
    m_facePixmap = QPixmap::fromImage(face);
    update();
}

void frmMain::setCaptionAutoSize(bool on) {
    m_captionAutoSize = on;
    if (on)
        lblClock->adjustSize();
}

void frmMain::setCaption(const QString& text) {
    if (lblClock->text() == text)
        return;
    lblClock->setText(text);
    if (m_captionAutoSize)
        lblClock->adjustSize();
}

QString frmMain::captionToolTip() const {
    return lblClock->toolTip();
}
void frmMain::setCaptionToolTip(const QString& text) {
    lblClock->setToolTip(text);
}
void frmMain::setHide(bool hide) {
    skin()->setHide(hide);
}

void frmMain::focusIfVisible() {
    if (isVisible()) {
        activateWindow();
        setFocus();
    }
}

void frmMain::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_facePixmap); // one picture pixel per logical pixel
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    const int keyCode = KeySignal::keyCodeFromQt(event->key());
    if (keyCode)
        keyDown(keyCode);
    else
        QWidget::keyPressEvent(event);
}

void frmMain::mousePressEvent(QMouseEvent* event) {
    buttonDown(event);
}

void frmMain::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag.dragging) {
        drag(event);
    } else if (quickShow == 1 && hideMode) {
        // The shown face for a while; the tick puts the hidden one back.
        quickShow = 2;
        skin()->setHide(false);
    }
    // Tray events arrive through trayEvent(), never as moves of the window.
}

void frmMain::mouseReleaseEvent(QMouseEvent*) {
    buttonUp();
}

void frmMain::mouseDoubleClickEvent(QMouseEvent* event) {
    doubleClick(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lblClock)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        buttonDown(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseMove: // the caption only drags
        if (m_drag.dragging)
            drag(static_cast<QMouseEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
        buttonUp();
        return true;
    case QEvent::MouseButtonDblClick:
        doubleClick(static_cast<QMouseEvent*>(event));
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

// The pointer's position in the window, in twips, from its place on the
// screen: positions relative to a window that is being moved can lag behind
// the move, the screen position never does. For the caption the offset of
// the caption in the window cancels out, as it does for the press point.
void frmMain::buttonDown(QMouseEvent* event) {
    switch (event->button()) {
    case Qt::LeftButton: {
        // The window's place as the window system has it: Qt's can lag just
        // after the window was shown or moved.
        const QPoint place = screenPlace();
        const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
        const float left = float(place.x() * tx), top = float(place.y() * ty);
        const QPointF pointer = event->globalPosition();
        m_drag = Docking::pressAt(left, top, float(pointer.x() * tx) - left,
                                  float(pointer.y() * ty) - top);
        break;
    }
    case Qt::RightButton:
        openMenu(event->globalPosition().toPoint());
        break;
    default: // the middle button only snaps at its release
        break;
    }
}

void frmMain::drag(QMouseEvent* event) {
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    const QPointF pointer = event->globalPosition();
    const QPointF to = Docking::dragTo(m_drag, float(leftTwips()), float(topTwips()),
                                       float(pointer.x() * tx - leftTwips()),
                                       float(pointer.y() * ty - topTwips()));
    move(toPixels(to.x(), tx), toPixels(to.y(), ty));
}

void frmMain::buttonUp() {
    m_drag.dragging = false;
    if (dock)
        dockToEdges();
}

// Qt delivers a double-click as press, release, double-click, release: the
// double-click stands for the second press, so it toggles once and starts no
// drag. Another button's double-click is that button's press.
void frmMain::doubleClick(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        toggleHide();
    else
        buttonDown(event);
}

void frmMain::toggleHide() {
    hideMode = !hideMode;
    skin()->setHide(hideMode);
}

void frmMain::dockToEdges() {
    const qint16 distance = Store::getInteger(QLatin1String(Keys::Section::Settings),
                                              Keys::Settings::DockDistance, QStringLiteral("20"));
    // The edges of the monitor the window stands on.
    const QRect window(screenPlace(), size());
    const QScreen* on = QGuiApplication::screenAt(window.center());
    if (!on)
        on = screen();
    if (!on)
        return;
    const QPoint to = Docking::dockToEdgesPixels(window, on->geometry(), distance, twipsPerPixelX(),
                                                 twipsPerPixelY());
    if (to != window.topLeft())
        move(to);
}

void frmMain::openMenu(const QPoint& pos) {
    menu()->popup(pos);
}

void frmMain::trayEvent(int code) {
    switch (code) {
    case CSystrayIcon::LeftDown:
        if (isVisible()) {
            raise();
            activateWindow();
            setFocus();
        }
        break;
    case CSystrayIcon::LeftDoubleClick:
        if (isVisible())
            toggleHide();
        break;
    case CSystrayIcon::RightDown:
        // After the tray icon has finished with its own press.
        QTimer::singleShot(0, this, [this] {
            if (!m_quitting)
                openMenu(QCursor::pos());
        });
        break;
    default:
        break;
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closed by the window system: end as Quit does, everything stored.
    quitProgram();
    event->accept();
}

void frmMain::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        keepOffTaskbarAndPager(this);
    QWidget::showEvent(event);
}
