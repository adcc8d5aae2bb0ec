// DMAlarm: the window that edits the clock's single daily alarm. OK and Apply
// store the time, message, program and type; the clock reads them afresh at
// every minute check, so no key signal is sent. Cancel and the close box
// store nothing.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class frmMain : public QDialog {
    Q_OBJECT
public:
    // How a value reaches the store; tests watch the order of the writes.
    using Writer =
        std::function<bool(const QString& section, const QString& key, const QString& text)>;

    explicit frmMain(QWidget* parent = nullptr);

    // Fills the controls from the store: Time, Message, Program, Type.
    void loadAlarm();
    // Reformats the typed time, then writes Time, Message, Program and Type.
    // False when the store refused one of them (the others are still written).
    bool saveAlarm();

    void setWriter(Writer writer) { m_write = std::move(writer); }

    QLabel* lblAlarmTime;
    QLineEdit* txtAlarmTime;
    QLabel* lblAlarmType;
    QComboBox* cboAlarmType;
    QGroupBox* fraMessage;
    QPlainTextEdit* txtMessage;
    QGroupBox* fraProgram;
    QLineEdit* txtProgram;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdApply;

private:
    void cboAlarmType_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();
    bool store();

    Writer m_write;
};
