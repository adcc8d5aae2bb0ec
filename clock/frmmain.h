#pragma once

#include <QWidget>

class KeySignalReceiver;

class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // The one key-down handler: real key presses and the modules' key signals
    // both end here, with the key's code (113 F2, 116 F5, 121 F10).
    void keyDown(int keyCode);

    // Receives the modules' key signals; main() starts it listening.
    KeySignalReceiver* keySignals() const { return m_keySignals; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    KeySignalReceiver* m_keySignals = nullptr;
};
