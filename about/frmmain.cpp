#include "frmmain.h"

#include "aboutpicture.h"
#include "keys.h"
#include "store.h"
#include "twips.h"
#include "windowhints.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

// The resource of a static library must be registered by name, from outside
// any namespace.
static void initResources() {
    Q_INIT_RESOURCE(dmabout);
}

namespace {

const QColor Ink(64, 64, 64); // texts and line, &H00404040&

// A label drawn on the picture: transparent, dark grey, in a small font made
// smaller still where the desktop's fonts would not fit the label's place.
QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& rect,
              Qt::Alignment align, bool wrap = false) {
    auto* l = placeWidget(new QLabel(text, parent), name, rect);
    l->setAlignment(align | Qt::AlignTop);
    l->setWordWrap(wrap);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Ink);
    l->setPalette(pal);
    QFont font = l->font();
    for (qreal pt = 8.0; pt >= 5.0; pt -= 0.5) {
        font.setPointSizeF(pt);
        const QFontMetrics fm(font);
        const bool fits =
            wrap ? fm.boundingRect(QRect(0, 0, rect.width(), 10000), Qt::TextWordWrap, text)
                           .height() <= rect.height()
                 : fm.horizontalAdvance(text) <= rect.width() && fm.height() <= rect.height() + 2;
        if (fits)
            break;
    }
    l->setFont(font);
    return l;
}

// The horizontal line; it takes no presses.
class Line : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(QRect(0, 0, width(), 1), Ink);
    }
};

// An invisible spot that reacts to a left click, as the close mark's.
class HotSpot : public QWidget {
public:
    HotSpot(QWidget* parent, std::function<void()> onClick)
        : QWidget(parent), m_onClick(std::move(onClick)) {}

protected:
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        e->accept();
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            m_onClick();
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

frmMain::frmMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("About Dialmere"));
    setWindowIcon(QIcon(QStringLiteral(":/dmabout/dialmere.png")));
    setFixedSize(twipsRect(0, 0, 4140, 3510).size());
    setAttribute(Qt::WA_OpaquePaintEvent);

    const QString version = Store::get(QLatin1String(Keys::Section::Settings),
                                       QLatin1String(Keys::Settings::Version), QStringLiteral("0"));
    lblVersion = label(this, "lblVersion", QStringLiteral("Version ") + version,
                       twipsRect(2100, 600, 1290, 225), Qt::AlignLeft);
    Label1 = label(this, "Label1",
                   QStringLiteral("Dialmere is a simple clock, easy to skin and easy to use, "
                                  "with an alarm and many ways to make it your own. Its modular "
                                  "build lets you update it by fetching only the module that "
                                  "changed."),
                   twipsRect(585, 1020, 3060, 1215), Qt::AlignLeft, true);
    Label3 = label(this, "Label3", QStringLiteral("by the Dialmere team"),
                   twipsRect(1290, 2655, 1800, 195), Qt::AlignRight);
    Label4 = label(this, "Label4", QStringLiteral("dialmere@example.org"),
                   twipsRect(2190, 2850, 1635, 210), Qt::AlignRight);
    // From (225, 3105) to (3915, 3105).
    const QRect lineFrom = twipsRect(225, 3105, 3915 - 225, 15);
    Line1 =
        placeWidget(new Line(this), "Line1", QRect(lineFrom.topLeft(), QSize(lineFrom.width(), 1)));
    Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label2 = label(this, "Label2", QStringLiteral("Copyright \u00A9 2026 the Dialmere team"),
                   twipsRect(255, 3150, 3675, 210), Qt::AlignHCenter);
    Image1 = placeWidget(new HotSpot(this, [this] { close(); }), "Image1",
                         twipsRect(3735, 105, 330, 285));
    Image1->setToolTip(QStringLiteral("Close"));

    // Presses on a label are the label's: they start no drag.
    for (QLabel* l : {lblVersion, Label1, Label3, Label4, Label2})
        l->installEventFilter(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    keepOffTaskbarAndPager(this);
}

void frmMain::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.deviceIndependentSize().toSize() != size() ||
        m_picture.devicePixelRatio() != dpr)
        m_picture = AboutPicture::draw(size(), dpr);
    QPainter(this).drawImage(0, 0, m_picture);
}

void frmMain::mousePressEvent(QMouseEvent* event) {
    const double fx = twipsPerPixelX();
    const double fy = twipsPerPixelY();
    m_drag.press(event->button(), float(x() * fx), float(y() * fy),
                 float(event->position().x() * fx), float(event->position().y() * fy));
}

void frmMain::mouseMoveEvent(QMouseEvent* event) {
    const double fx = twipsPerPixelX();
    const double fy = twipsPerPixelY();
    const std::optional<QPointF> to =
        m_drag.move(float(x() * fx), float(y() * fy), float(event->position().x() * fx),
                    float(event->position().y() * fy));
    if (to)
        move(qRound(to->x() / fx), qRound(to->y() / fy));
}

void frmMain::mouseReleaseEvent(QMouseEvent*) {
    m_drag.release();
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    // Without a frame, Escape is the keyboard's way out.
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
