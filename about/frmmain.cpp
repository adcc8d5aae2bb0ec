#include "frmmain.h"

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName("frmMain");
    setWindowTitle("About Dialmere");
    resize(240, 80);
}
