// DMSettings: the window that edits the clock's display and behaviour
// settings. OK and Apply store all eight keys and tell a running clock to
// reload them (F5); Cancel and the close box store nothing.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmMain : public QDialog {
    Q_OBJECT
public:
    // How a value reaches the store; tests watch the order of the writes.
    using Writer =
        std::function<bool(const QString& section, const QString& key, const QString& text)>;
    // How the F5 key signal is sent; the real one is KeySignal::send.
    using Signaller = std::function<bool(int keyCode, bool wait)>;

    explicit frmMain(QWidget* parent = nullptr);

    // Fills the controls from the store.
    void readSettings();
    // Writes all eight keys, changed or not. False when the store refused one
    // of them (the others are still written).
    bool saveSettings();

    void setWriter(Writer writer) { m_write = std::move(writer); }
    void setSignaller(Signaller signaller) { m_signal = std::move(signaller); }

    // How long OK waits for the clock to take the key.
    static constexpr int SignalWaitMs = 3000;

    QGroupBox* fraFormat;
    QLabel* lblTimeFormat;
    QComboBox* cboTimeFormat;
    QLabel* lblDateFormat;
    QComboBox* cboDateFormat;
    QCheckBox* chkDateToolTip;
    QCheckBox* chkDock;
    QLabel* lblDockDistance;
    QLineEdit* txtDockDistance;
    QCheckBox* chkOnTop;
    QCheckBox* chkQuickShow;
    QLabel* lblShowTime;
    QLineEdit* txtShowTime;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdApply;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdApply_Click();
    bool store();

    Writer m_write;
    Signaller m_signal;
};
