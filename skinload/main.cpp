#include "frmmain.h"
#include "windowhints.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    frmMain window;
    keepOffTaskbarAndPager(&window);
    window.show();
    return app.exec();
}
