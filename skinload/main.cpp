#include "frmmain.h"
#include "windowhints.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    frmMain window;
    keepOffTaskbar(&window);
    window.show();
    return app.exec();
}
