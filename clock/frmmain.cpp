#include "frmmain.h"

#include "keysignal.h"

#include <QCoreApplication>
#include <QKeyEvent>

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName("frmMain");
    setWindowTitle("Dialmere");
    resize(240, 80);
    m_keySignals = new KeySignalReceiver(
        this, [this](int keyCode) { keyDown(keyCode); }, this);
}

void frmMain::keyDown(int keyCode) {
    switch (keyCode) {
    case KeySignal::F2: // reload the skin: comes with the skin engine
        break;
    case KeySignal::F5: // reload the settings: comes with the settings
        break;
    case KeySignal::F10:
        // Ends the program also when the window is hidden, where closing it
        // would not count as closing the last window.
        if (close())
            QCoreApplication::quit();
        break;
    default: // any other key does nothing
        break;
    }
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    const int keyCode = KeySignal::keyCodeFromQt(event->key());
    if (keyCode)
        keyDown(keyCode);
    else
        QWidget::keyPressEvent(event);
}
