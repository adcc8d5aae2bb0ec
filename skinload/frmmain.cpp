#include "frmmain.h"

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName("frmMain");
    setWindowTitle("Load Skin");
    resize(240, 80);
}
