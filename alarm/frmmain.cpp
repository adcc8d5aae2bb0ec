#include "frmmain.h"

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName("frmMain");
    setWindowTitle("Alarm");
    resize(240, 80);
}
