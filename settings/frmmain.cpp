#include "frmmain.h"

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName("frmMain");
    setWindowTitle("Settings");
    resize(240, 80);
}
