#include "frmmain.h"
#include "keysignal.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    frmMain window;
    // A second clock finds the first one listening and runs without signals.
    window.keySignals()->listen();
    window.show();
    return app.exec();
}
