#include "frmmain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    frmMain window;
    // Closing the window ends the program, also when Escape hides it: a
    // dialog hidden that way does not count as the last window closed.
    QObject::connect(&window, &QDialog::finished, &app, &QCoreApplication::quit);
    window.show();
    return app.exec();
}
