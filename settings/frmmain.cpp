#include "frmmain.h"

#include "conversions.h"
#include "keys.h"
#include "keysignal.h"
#include "seams.h"
#include "store.h"
#include "twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

// The resource of a static library must be registered by name, from outside
// any namespace.
static void initResources() {
    Q_INIT_RESOURCE(dmsettings);
}

namespace {

namespace K = Keys::Settings;
const QString Section = QLatin1String(Keys::Section::Settings);

QComboBox* formatBox(QWidget* parent, const char* name, const QRect& rect,
                     const QStringList& items) {
    auto* box = placeWidget(new QComboBox(parent), name, rect);
    box->setEditable(true);
    // The list only suggests: what the user types is stored, never added.
    box->setInsertPolicy(QComboBox::NoInsert);
    // Nor may a listed format complete what is typed: "hh:mm" would silently
    // become "hh:mm:ss", and Enter would accept that instead of pressing OK.
    box->setCompleter(nullptr);
    box->addItems(items);
    return box;
}

// A check box with its box to the right of its caption.
QCheckBox* rightBox(QWidget* parent, const char* name, const QString& caption, const QRect& rect) {
    auto* box = placeWidget(new QCheckBox(caption, parent), name, rect);
    box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

// The classic size of dialog text, for which the places above were made.
constexpr qreal DialogPointSize = 8.0;
constexpr qreal SmallestPointSize = 6.5;

// Shrinks the font of a caption that the desktop's font draws wider than its
// place, so the whole caption shows; `room` is the width the text may take.
void fitCaption(QWidget* widget, const QString& caption, int room) {
    QFont font = widget->font();
    const QString text = QString(caption).remove(u'&');
    while (QFontMetrics(font).horizontalAdvance(text) > room &&
           font.pointSizeF() - 0.5 >= SmallestPointSize)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != widget->font())
        widget->setFont(font);
}

void fitLabel(QLabel* label) {
    fitCaption(label, label->text(), label->width());
}

void fitCheckBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QStyle* style = box->style();
    const int indicator = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, box) +
                          style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, box);
    fitCaption(box, box->text(), box->width() - indicator - 2);
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_write(&Store::save),
      m_signal([](int key, bool wait) { return KeySignal::send(key, wait, SignalWaitMs); }) {
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Settings"));
    setWindowIcon(QIcon(QStringLiteral(":/dmsettings/dialmere.png")));
    resize(twipsRect(0, 0, 4680, 3645).size());
    QFont dialogFont = font();
    dialogFont.setPointSizeF(DialogPointSize);
    setFont(dialogFont);

    fraFormat = placeWidget(new QGroupBox(QStringLiteral("Format"), this), "fraFormat",
                            twipsRect(60, 15, 4575, 1185));
    lblTimeFormat = placeWidget(new QLabel(QStringLiteral("Time"), fraFormat), "lblTimeFormat",
                                twipsRect(330, 330, 600, 195));
    cboTimeFormat = formatBox(fraFormat, "cboTimeFormat", twipsRect(2250, 270, 2220, 315),
                              {QStringLiteral("hh:mm:ss"), QStringLiteral("hh:mm:ss ampm"),
                               QStringLiteral("h:mm:ss"), QStringLiteral("h:mm:ss ampm")});
    lblDateFormat = placeWidget(new QLabel(QStringLiteral("Date"), fraFormat), "lblDateFormat",
                                twipsRect(345, 780, 1080, 195));
    cboDateFormat = formatBox(fraFormat, "cboDateFormat", twipsRect(2250, 720, 2220, 315),
                              {QStringLiteral("yy/mm/dd"), QStringLiteral("yyyy/mm/dd"),
                               QStringLiteral("mmm d, yyyy"), QStringLiteral("mmm dd/yyyy")});

    chkDateToolTip = rightBox(this, "chkDateToolTip", QStringLiteral("Date ToolTip"),
                              twipsRect(225, 1350, 2310, 210));
    chkDock =
        rightBox(this, "chkDock", QStringLiteral("Dock to Edges"), twipsRect(225, 1755, 2310, 255));
    lblDockDistance = placeWidget(new QLabel(QStringLiteral("Distance (pixels)"), this),
                                  "lblDockDistance", twipsRect(2805, 1770, 1200, 210));
    txtDockDistance =
        placeWidget(new QLineEdit(this), "txtDockDistance", twipsRect(4035, 1740, 405, 285));
    chkOnTop = rightBox(this, "chkOnTop", QStringLiteral("Always on top"),
                        twipsRect(225, 2205, 2310, 210));
    chkQuickShow = rightBox(this, "chkQuickShow", QStringLiteral("QuickShow"),
                            twipsRect(240, 2655, 2295, 240));
    lblShowTime = placeWidget(new QLabel(QStringLiteral("Duration (sec)"), this), "lblShowTime",
                              twipsRect(2805, 2655, 1125, 225));
    txtShowTime = placeWidget(new QLineEdit(this), "txtShowTime", twipsRect(4020, 2610, 435, 285));

    cmdOK = placeWidget(new QPushButton(QStringLiteral("&OK"), this), "cmdOK",
                        twipsRect(1605, 3240, 960, 390));
    cmdCancel = placeWidget(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel",
                            twipsRect(2640, 3240, 975, 390));
    cmdApply = placeWidget(new QPushButton(QStringLiteral("&Apply"), this), "cmdApply",
                           twipsRect(3690, 3240, 930, 375));
    cmdOK->setDefault(true);
    for (QLabel* label : {lblTimeFormat, lblDateFormat, lblDockDistance, lblShowTime})
        fitLabel(label);
    for (QCheckBox* box : {chkDateToolTip, chkDock, chkOnTop, chkQuickShow})
        fitCheckBox(box);

    // Tab order follows the window from top to bottom.
    QWidget* order[] = {cboTimeFormat,   cboDateFormat, chkDateToolTip, chkDock,
                        txtDockDistance, chkOnTop,      chkQuickShow,   txtShowTime,
                        cmdOK,           cmdCancel,     cmdApply};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmdOK, &QPushButton::clicked, this, &frmMain::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmMain::cmdApply_Click);

    readSettings();
}

void frmMain::readSettings() {
    cboTimeFormat->setEditText(Store::get(Section, K::TimeFormat, QStringLiteral("hh:mm:ss")));
    cboDateFormat->setEditText(Store::get(Section, K::DateFormat, QStringLiteral("mmm d, yyyy")));
    chkDateToolTip->setChecked(Store::getTick(Section, K::DateToolTip, QStringLiteral("1")));
    chkDock->setChecked(Store::getFlag(Section, K::Dock, QStringLiteral("False")));
    txtDockDistance->setText(Store::get(Section, K::DockDistance, QStringLiteral("20")));
    chkOnTop->setChecked(Store::getFlag(Section, K::OnTop, QStringLiteral("False")));
    chkQuickShow->setChecked(Store::getTick(Section, K::QuickShow, QStringLiteral("1")));
    txtShowTime->setText(Store::get(Section, K::ShowTime, QStringLiteral("3")));
}

bool frmMain::saveSettings() {
    const std::pair<const char*, QString> values[] = {
        {K::TimeFormat, cboTimeFormat->currentText()},
        {K::DateFormat, cboDateFormat->currentText()},
        {K::DateToolTip, Conv::tickText(chkDateToolTip->isChecked())},
        {K::Dock, Conv::tickText(chkDock->isChecked())},
        {K::DockDistance, txtDockDistance->text()},
        {K::OnTop, Conv::tickText(chkOnTop->isChecked())},
        {K::QuickShow, Conv::tickText(chkQuickShow->isChecked())},
        {K::ShowTime, txtShowTime->text()},
    };
    bool all = true;
    for (const auto& [key, text] : values)
        all = m_write(Section, QLatin1String(key), text) && all;
    return all;
}

// Saves, or tells the user why nothing can be relied on being saved. A
// refused save must not look like success: the dialog stays open with what
// was typed, so nothing is lost.
bool frmMain::store() {
    if (saveSettings())
        return true;
    Seams::messages().ask(this, QMessageBox::Warning, QStringLiteral("Settings"),
                          QStringLiteral("The settings could not be stored in\n%1\n\n"
                                         "Check that this file and its folder may be written.")
                              .arg(Store::filePath()),
                          QMessageBox::Ok);
    return false;
}

void frmMain::cmdOK_Click() {
    if (!store())
        return;
    // Waits (bounded) until the clock has reloaded, so closing cannot race the
    // clock's reading. No clock running: the values wait for its next start.
    m_signal(KeySignal::F5, true);
    close();
}

void frmMain::cmdCancel_Click() {
    close();
}

void frmMain::cmdApply_Click() {
    if (!store())
        return;
    m_signal(KeySignal::F5, false);
}
