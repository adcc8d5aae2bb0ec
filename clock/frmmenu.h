// The hidden menu form: owns the popup menu and the user's module list. It is
// never shown. Loading it restores the module list; unloading stores it.
#pragma once

#include "modulelist.h"

#include <QList>
#include <QPoint>
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

    // Shows mnuPopup at `pos` and returns when it closes. "Minimize" is
    // offered only while the tray icon is there to bring the clock back.
    void popup(const QPoint& pos);

    // The menu tree, in display order.
    QMenu* mnuPopup = nullptr;
    QAction* mnuAlarm = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuSetTime = nullptr;
    QAction* mnuOnTop = nullptr;
    QAction* mnuBar2 = nullptr;
    QMenu* mnuModuleList = nullptr;
    QAction* mnuModuleLoad = nullptr;
    QAction* mnuModuleUnload = nullptr;
    QAction* mnuBar3 = nullptr;
    QList<QAction*> mnuModule; // element i starts entry i of the module list
    QMenu* mnuSkin = nullptr;
    QAction* mnuSkinLoad = nullptr;
    QAction* mnuSkinAbout = nullptr;
    QMenu* mnuImport = nullptr;
    QAction* mnuImportPX = nullptr;
    QAction* mnuImportOLVO = nullptr;
    QAction* mnuBar1 = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuMin = nullptr;
    QAction* mnuQuit = nullptr;

    ModuleList& modules() { return m_modules; }

    // The commands, as the items run them.
    void mnuOnTop_Click();
    void mnuMin_Click();
    void mnuModuleLoad_Click();
    void mnuModuleUnload_Click();
    void mnuModule_Click(int index);

    // Brings the mnuModule items in step with the module list.
    void syncModules();

private:
    QAction* item(QMenu* menu, const char* name, const QString& caption);
    QAction* separator(QMenu* menu, const char* name);
    QMenu* submenu(QMenu* menu, const char* name, const QString& caption);
    void startCompanion(const QString& program);

    frmMain* m_clock;
    ModuleList m_modules;
    bool m_unloaded = false;
};
