#include "frmmodule.h"

#include "modulelist.h"
#include "twips.h"

#include <QListWidget>
#include <QPushButton>
#include <cmath>

namespace {
// A rectangle in twips as pixels of this screen.
QRect pixels(int left, int top, int width, int height) {
    const double x = twipsPerPixelX(), y = twipsPerPixelY();
    return QRect(int(std::lround(left / x)), int(std::lround(top / y)), int(std::lround(width / x)),
                 int(std::lround(height / y)));
}
} // namespace

frmModule::frmModule(ModuleList& list, QWidget* parent) : QDialog(parent), m_list(list) {
    setObjectName(QStringLiteral("frmModule"));
    setWindowTitle(QStringLiteral("Modules"));
    // A fixed tool window: title and close box only, no taskbar button.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(pixels(0, 0, ClientWidth, ClientHeight).size());

    lstModules = new QListWidget(this);
    lstModules->setObjectName(QStringLiteral("lstModules"));
    lstModules->setSortingEnabled(false);
    lstModules->setGeometry(pixels(0, 0, 2430, 2400));

    cmdUnload = new QPushButton(QStringLiteral("Unload"), this);
    cmdUnload->setObjectName(QStringLiteral("cmdUnload"));
    cmdUnload->setGeometry(pixels(15, 2430, 1200, 285));
    cmdUnload->setAutoDefault(false);

    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(pixels(1215, 2430, 1200, 285));
    cmdClose->setAutoDefault(false);

    for (int i = 0; i < m_list.count(); ++i)
        lstModules->addItem(m_list.entry(i).caption);

    connect(cmdUnload, &QPushButton::clicked, this, &frmModule::removeSelected);
    connect(lstModules, &QListWidget::itemDoubleClicked, this, &frmModule::removeSelected);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void frmModule::removeSelected() {
    const QList<QListWidgetItem*> selected = lstModules->selectedItems();
    if (selected.isEmpty())
        return;
    const int s = lstModules->row(selected.first());
    if (!m_list.remove(s))
        return;
    // The rows follow the elements: later captions move up, the last row goes.
    const int rows = lstModules->count();
    for (int i = s; i <= rows - 2; ++i)
        lstModules->item(i)->setText(lstModules->item(i + 1)->text());
    delete lstModules->takeItem(rows - 1);
    // The selection stays on the same row, now the next entry; it is gone
    // when the last row was removed.
    if (s < lstModules->count()) {
        lstModules->setCurrentRow(s);
    } else {
        lstModules->clearSelection();
        lstModules->setCurrentRow(-1);
    }
    emit listChanged();
    if (lstModules->count() == 0)
        accept();
}
