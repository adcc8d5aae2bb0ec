#include "frmmenu.h"

#include "csystrayicon.h"
#include "filecommondialog.h"
#include "frmmain.h"
#include "frmmodule.h"
#include "menucommands.h"
#include "seams.h"
#include "store.h"

#include <QCoreApplication>
#include <QDir>
#include <QMenu>

namespace {
const QString kMinimize = QStringLiteral("Minimize");
const QString kRestore = QStringLiteral("Restore");
} // namespace

QAction* frmMenu::item(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QAction* frmMenu::separator(QMenu* menu, const char* name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* frmMenu::submenu(QMenu* menu, const char* name, const QString& caption) {
    QMenu* sub = new QMenu(caption, menu);
    sub->setObjectName(QLatin1String(name));
    sub->menuAction()->setObjectName(QLatin1String(name));
    menu->addMenu(sub);
    return sub;
}

frmMenu::frmMenu(frmMain* clock) : QWidget(nullptr), m_clock(clock) {
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Dialmere menu")); // never shown; not the clock's caption

    mnuPopup = new QMenu(QStringLiteral("popup"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));

    mnuAlarm = item(mnuPopup, "mnuAlarm", QStringLiteral("Alarm..."));
    mnuSettings = item(mnuPopup, "mnuSettings", QStringLiteral("Settings..."));
    mnuSetTime = item(mnuPopup, "mnuSetTime", QStringLiteral("Set Time..."));
    mnuOnTop = item(mnuPopup, "mnuOnTop", QStringLiteral("Always on top"));
    mnuOnTop->setCheckable(true);
    mnuBar2 = separator(mnuPopup, "mnuBar2");

    mnuModuleList = submenu(mnuPopup, "mnuModuleList", QStringLiteral("Modules"));
    mnuModuleLoad = item(mnuModuleList, "mnuModuleLoad", QStringLiteral("Load..."));
    mnuModuleUnload = item(mnuModuleList, "mnuModuleUnload", QStringLiteral("Unload..."));
    mnuBar3 = separator(mnuModuleList, "mnuBar3");
    // Element 0 is there from the start, hidden and without a caption.
    mnuModule << item(mnuModuleList, "mnuModule", QString());

    mnuSkin = submenu(mnuPopup, "mnuSkin", QStringLiteral("Skin"));
    mnuSkinLoad = item(mnuSkin, "mnuSkinLoad", QStringLiteral("Load..."));
    mnuSkinAbout = item(mnuSkin, "mnuSkinAbout", QStringLiteral("About..."));
    mnuImport = submenu(mnuPopup, "mnuImport", QStringLiteral("Import"));
    mnuImportPX = item(mnuImport, "mnuImportPX", QStringLiteral("Pendrix Skin..."));
    mnuImportOLVO = item(mnuImport, "mnuImportOLVO", QStringLiteral("Olvo Skin..."));
    mnuBar1 = separator(mnuPopup, "mnuBar1");
    mnuAbout = item(mnuPopup, "mnuAbout", QStringLiteral("About..."));
    mnuMin = item(mnuPopup, "mnuMin", kMinimize);
    mnuQuit = item(mnuPopup, "mnuQuit", QStringLiteral("Quit"));

    connect(mnuAlarm, &QAction::triggered, this, [this] { startCompanion("DMAlarm"); });
    connect(mnuSettings, &QAction::triggered, this, [this] { startCompanion("DMSettings"); });
    connect(mnuSetTime, &QAction::triggered, this,
            [this] { MenuCommands::openDateTimeSettings(m_clock); });
    connect(mnuOnTop, &QAction::triggered, this, [this] { mnuOnTop_Click(); });
    connect(mnuModuleLoad, &QAction::triggered, this, [this] { mnuModuleLoad_Click(); });
    connect(mnuModuleUnload, &QAction::triggered, this, [this] { mnuModuleUnload_Click(); });
    connect(mnuSkinLoad, &QAction::triggered, this, [this] { m_clock->loadSkin("dm"); });
    connect(mnuSkinAbout, &QAction::triggered, this, [this] { m_clock->aboutSkin(); });
    connect(mnuImportPX, &QAction::triggered, this, [this] { m_clock->loadSkin("px"); });
    connect(mnuImportOLVO, &QAction::triggered, this, [this] { m_clock->loadSkin("ol"); });
    connect(mnuAbout, &QAction::triggered, this, [this] { startCompanion("DMAbout"); });
    connect(mnuMin, &QAction::triggered, this, [this] { mnuMin_Click(); });
    connect(mnuQuit, &QAction::triggered, m_clock, &frmMain::quitProgram);

    m_modules.restore();
    syncModules();
}

frmMenu::~frmMenu() = default;

void frmMenu::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (!m_modules.store()) {
        // The list would be lost silently at the next start: say so while
        // the user can still note it.
        Seams::messages().ask(m_clock, QMessageBox::Warning, QStringLiteral("Dialmere"),
                              QStringLiteral("Your module list could not be stored in\n%1")
                                  .arg(QDir::toNativeSeparators(Store::filePath())),
                              QMessageBox::Ok);
    }
}

void frmMenu::popup(const QPoint& pos) {
    // "Restore" is the only record that Minimize hid the clock; a skin load
    // (F2) shows it again, and then the item must offer Minimize again.
    if (mnuMin->text() == kRestore && m_clock->isVisible())
        mnuMin->setText(kMinimize);
    // Without a tray icon nothing would bring a hidden clock back.
    const bool trayShown = m_clock->SysIcon && m_clock->SysIcon->Visible();
    mnuMin->setEnabled(trayShown || mnuMin->text() == kRestore);
    mnuPopup->exec(pos);
}

void frmMenu::startCompanion(const QString& program) {
    MenuCommands::startProgram(m_clock, MenuCommands::modulePath(program), program);
}

void frmMenu::mnuOnTop_Click() {
    // QAction has flipped its check mark already.
    m_clock->OnTop = mnuOnTop->isChecked();
    m_clock->setOnTop();
}

void frmMenu::mnuMin_Click() {
    if (mnuMin->text() == kMinimize) {
        m_clock->setVisible(false);
        mnuMin->setText(kRestore);
    } else {
        m_clock->setVisible(true);
        mnuMin->setText(kMinimize);
    }
}

void frmMenu::mnuModuleLoad_Click() {
    FileCommonDialog dialog;
    dialog.setInitialDirectory(QCoreApplication::applicationDirPath() + QStringLiteral("/modules"));
    dialog.setFilter(QStringLiteral("Modules|*"));
    dialog.setExecutablesOnly(true);
    QString result = dialog.GetFileOpenName(false);
    result.chop(1);
    if (result.isEmpty())
        return; // cancelled
    const QString path = result.left(result.indexOf(QChar(0)));
    if (path.isEmpty())
        return;
    m_modules.add(path);
    syncModules();
}

void frmMenu::mnuModuleUnload_Click() {
    frmModule form(m_modules, m_clock);
    connect(&form, &frmModule::listChanged, this, &frmMenu::syncModules);
    form.exec();
}

void frmMenu::mnuModule_Click(int index) {
    if (index < 0 || index >= m_modules.count())
        return;
    const ModuleEntry& entry = m_modules.entry(index);
    MenuCommands::startProgram(m_clock, entry.path, entry.caption);
}

void frmMenu::syncModules() {
    const QList<ModuleEntry>& elements = m_modules.elements();
    while (mnuModule.size() > elements.size())
        delete mnuModule.takeLast();
    while (mnuModule.size() < elements.size()) {
        QAction* action = item(mnuModuleList, "mnuModule", QString());
        mnuModule << action;
    }
    const bool holding = m_modules.holdsEntries();
    for (int i = 0; i < mnuModule.size(); ++i) {
        QAction* action = mnuModule[i];
        action->setText(elements[i].caption);
        action->setData(elements[i].path);
        action->setVisible(holding);
        // One connection per item, to its own index.
        action->disconnect(this);
        connect(action, &QAction::triggered, this, [this, i] { mnuModule_Click(i); });
    }
    mnuModuleUnload->setVisible(holding);
    mnuBar3->setVisible(holding);
}
