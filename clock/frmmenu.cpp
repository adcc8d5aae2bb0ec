#include "frmmenu.h"

#include "frmmain.h"

#include <QMenu>

frmMenu::frmMenu(frmMain* clock) : QWidget(nullptr), m_clock(clock) {
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Dialmere menu")); // never shown; not the clock's caption
    mnuPopup = new QMenu(QStringLiteral("popup"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuOnTop = mnuPopup->addAction(QStringLiteral("Always on top"));
    mnuOnTop->setObjectName(QStringLiteral("mnuOnTop"));
    mnuOnTop->setCheckable(true);
    connect(mnuOnTop, &QAction::triggered, this, [this] { mnuOnTop_Click(); });
    mnuPopup->addSeparator();
    mnuQuit = mnuPopup->addAction(QStringLiteral("Quit"));
    mnuQuit->setObjectName(QStringLiteral("mnuQuit"));
    connect(mnuQuit, &QAction::triggered, m_clock, &frmMain::quitProgram);

    m_modules.restore();
}

frmMenu::~frmMenu() = default;

void frmMenu::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_modules.store();
}

void frmMenu::mnuOnTop_Click() {
    // QAction has flipped its check mark already.
    m_clock->OnTop = mnuOnTop->isChecked();
    m_clock->setOnTop();
}
