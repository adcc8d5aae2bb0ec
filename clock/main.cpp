#include "frmmain.h"
#include "keysignal.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The clock ends only through its quit path (Quit, F10, the close box, a
    // skin load given up), never because its window is hidden while a
    // message box closes.
    QApplication::setQuitOnLastWindowClosed(false);
    frmMain window;
    QApplication::setWindowIcon(window.windowIcon());
    // Listening before the skin load: an F2 from DMSkinLoad during the
    // first-start wait reaches a clock that is already loading (and ignores it).
    window.keySignals()->listen();
    if (!window.start())
        return 0;
    return app.exec();
}
