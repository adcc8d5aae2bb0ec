// The hidden menu form: owns the popup menu and the user's module list. It is
// never shown. Loading it restores the module list; unloading stores it.
#pragma once

#include "modulelist.h"

#include <QWidget>

class QAction;
class QMenu;
class frmMain;

class frmMenu : public QWidget {
    Q_OBJECT
public:
    // Loads the form: builds the menu and restores the module list.
    explicit frmMenu(frmMain* clock);
    ~frmMenu() override;

    // Stores the module list (the form's unload). Once only.
    void unload();

    QMenu* mnuPopup = nullptr;
    QAction* mnuOnTop = nullptr;
    QAction* mnuQuit = nullptr;

    ModuleList& modules() { return m_modules; }

private:
    void mnuOnTop_Click();

    frmMain* m_clock;
    ModuleList m_modules;
    bool m_unloaded = false;
};
