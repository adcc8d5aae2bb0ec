#include "frmmain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    frmMain window;
    window.show();
    return app.exec();
}
