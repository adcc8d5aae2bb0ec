#include "frmmain.h"

#include "alarmtime.h"
#include "keys.h"
#include "seams.h"
#include "store.h"
#include "twips.h"
#include "windowhints.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

// The resource of a static library must be registered by name, from outside
// any namespace.
static void initResources() {
    Q_INIT_RESOURCE(dmalarm);
}

namespace {

namespace K = Keys::Alarm;
const QString Section = QLatin1String(Keys::Section::Alarm);

} // namespace

frmMain::frmMain(QWidget* parent)
    // A fixed dialog frame: title and close box, no minimise or maximise.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_write(&Store::save) {
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Alarm"));
    setWindowIcon(QIcon(QStringLiteral(":/dmalarm/dialmere.png")));
    setFixedSize(twipsRect(0, 0, 4680, 3315).size());
    // The classic size of dialog text, for which the places below were made.
    QFont dialogFont = font();
    dialogFont.setPointSizeF(8.0);
    setFont(dialogFont);

    lblAlarmTime = placeWidget(new QLabel(QStringLiteral("Alarm Time:"), this), "lblAlarmTime",
                               twipsRect(120, 150, 1650, 195));
    txtAlarmTime =
        placeWidget(new QLineEdit(this), "txtAlarmTime", twipsRect(2430, 105, 2175, 285));
    lblAlarmType = placeWidget(new QLabel(QStringLiteral("Alarm Type:"), this), "lblAlarmType",
                               twipsRect(120, 630, 1620, 225));
    cboAlarmType =
        placeWidget(new QComboBox(this), "cboAlarmType", twipsRect(2430, 600, 2205, 315));
    // List positions are the stored Type values.
    cboAlarmType->addItems({QStringLiteral("Message Box"), QStringLiteral("Default Sound"),
                            QStringLiteral("Start Program")});

    fraMessage = placeWidget(new QGroupBox(QStringLiteral("Message"), this), "fraMessage",
                             twipsRect(60, 975, 4575, 1080));
    txtMessage =
        placeWidget(new QPlainTextEdit(fraMessage), "txtMessage", twipsRect(495, 300, 3960, 630));
    txtMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMessage->setTabChangesFocus(true);
    txtMessage->setPlainText(QStringLiteral("Your message goes here!"));

    fraProgram = placeWidget(new QGroupBox(QStringLiteral("Program"), this), "fraProgram",
                             twipsRect(60, 2085, 4575, 735));
    txtProgram =
        placeWidget(new QLineEdit(fraProgram), "txtProgram", twipsRect(495, 240, 3960, 330));
    txtProgram->setText(QStringLiteral("calc.exe"));

    cmdOK = placeWidget(new QPushButton(QStringLiteral("&OK"), this), "cmdOK",
                        twipsRect(1470, 2850, 1005, 420));
    cmdCancel = placeWidget(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel",
                            twipsRect(2550, 2850, 1005, 420));
    cmdApply = placeWidget(new QPushButton(QStringLiteral("&Apply"), this), "cmdApply",
                           twipsRect(3615, 2850, 1005, 420));
    cmdOK->setDefault(true);

    QWidget* order[] = {txtAlarmTime, cboAlarmType, txtMessage, txtProgram,
                        cmdOK,        cmdCancel,    cmdApply};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cboAlarmType, &QComboBox::currentIndexChanged, this, &frmMain::cboAlarmType_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmMain::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmMain::cmdApply_Click);

    loadAlarm();

    // Centred on the screen, and no taskbar button.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    keepOffTaskbarAndPager(this);
}

void frmMain::loadAlarm() {
    txtAlarmTime->setText(Store::get(Section, K::Time, QString()));
    txtMessage->setPlainText(
        Store::get(Section, K::Message, QStringLiteral("Your message goes here!")));
    txtProgram->setText(Store::get(Section, K::Program, QStringLiteral("calc.exe")));
    // A Type this dialog never writes selects the first entry.
    int type = Store::getInteger(Section, K::Type, QStringLiteral("0"));
    if (type < K::TypeMessage || type > K::TypeProgram)
        type = K::TypeMessage;
    const QSignalBlocker quiet(cboAlarmType);
    cboAlarmType->setCurrentIndex(type);
    // Loading the type counts as a change, also when the index stays the same.
    cboAlarmType_Click();
}

void frmMain::cboAlarmType_Click() {
    const int type = cboAlarmType->currentIndex();
    txtMessage->setEnabled(type == K::TypeMessage);
    txtProgram->setEnabled(type != K::TypeMessage && type != K::TypeSound);
}

bool frmMain::saveAlarm() {
    QString time;
    if (txtAlarmTime->text().trimmed().isEmpty()) {
        // An empty box switches the alarm off and stays empty.
        txtAlarmTime->clear();
        time = QLatin1String(K::NoAlarm);
    } else {
        // Shown as stored, so what the box says is what will ring.
        time = alarmTimeText(txtAlarmTime->text());
        txtAlarmTime->setText(time);
    }
    const std::pair<const char*, QString> values[] = {
        {K::Time, time},
        {K::Message, txtMessage->toPlainText()},
        {K::Program, txtProgram->text()},
        {K::Type, QString::number(cboAlarmType->currentIndex())},
    };
    bool all = true;
    for (const auto& [key, text] : values)
        all = m_write(Section, QLatin1String(key), text) && all;
    return all;
}

// Saves, or tells the user that the alarm may not be set. A refused save must
// not look like success: the dialog stays open with what was typed.
bool frmMain::store() {
    if (saveAlarm())
        return true;
    Seams::messages().ask(this, QMessageBox::Warning, QStringLiteral("Alarm"),
                          QStringLiteral("The alarm could not be stored in\n%1\n\n"
                                         "Check that this file and its folder may be written.")
                              .arg(Store::filePath()),
                          QMessageBox::Ok);
    return false;
}

void frmMain::cmdOK_Click() {
    if (store())
        close();
}

void frmMain::cmdCancel_Click() {
    close();
}

void frmMain::cmdApply_Click() {
    store();
}
