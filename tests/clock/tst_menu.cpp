// The popup menu: its tree, its commands, the user's modules in it, and the
// date and time settings lookup.
#include "filecommondialog.h"
#include "frmmain.h"
#include "frmmenu.h"
#include "frmmodule.h"
#include "keys.h"
#include "menucommands.h"
#include "seams.h"
#include "store.h"
#include "testenv.h"

#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

static TestEnv testEnv;

namespace {

class FakeProcesses : public Seams::Processes {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started << (QStringList{program} + arguments).join(' ');
        return !program.isEmpty() && !failing.contains(program);
    }
    QStringList started;
    QStringList failing;
};

class FakeMessages : public Seams::Messages {
public:
    QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons) override {
        shown << title + ": " + text;
        return QMessageBox::Ok;
    }
    void tell(QWidget*, QMessageBox::Icon, const QString& title, const QString& text) override {
        shown << title + ": " + text;
    }
    void beep() override {}
    QStringList shown;
};

// The open-file dialog answers with the next of `answers` (empty: cancel).
class FakeDialog : public FileDialogBackend {
public:
    QStringList getOpenFileNames(const QString& title, const QString& directory,
                                 const QString& filter, bool multiselect) override {
        asked << QStringList{title, directory, filter, multiselect ? "multi" : "single"};
        const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
        return answer.isEmpty() ? QStringList() : QStringList{answer};
    }
    QStringList answers;
    QList<QStringList> asked;
};

// The menu as lines "name|caption|flags", submenus indented; flags: h hidden,
// c checkable, x checked, d disabled (when shown).
QStringList tree(const QMenu* menu, const QString& indent = QString()) {
    QStringList lines;
    for (const QAction* a : menu->actions()) {
        QString flags;
        if (!a->isVisible())
            flags += 'h';
        if (a->isCheckable())
            flags += a->isChecked() ? "cx" : "c";
        if (a->isVisible() && !a->isEnabled()) // hidden actions count as disabled
            flags += 'd';
        lines << indent + a->objectName() + '|' + (a->isSeparator() ? "-" : a->text()) + '|' +
                     flags;
        if (a->menu())
            lines << tree(a->menu(), indent + "  ");
    }
    return lines;
}

} // namespace

class TestMenu : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startProgram_data();
    void startProgram();
    void dateTimeTool_data();
    void dateTimeTool();
    void setTimeUsesPathOrSaysNone();

    void menuTreeAtStart();
    void companionsStartFromModulesFolder();
    void onTopTwiceIsAsBefore();
    void minimizeRestoreFlips();
    void skinCommands();
    void loadAddsModules();
    void unloadWindowRemovesFromMenu();
    void moduleItemStartsItsProgram();
    void restoredModulesShowAtLoad();
    void unstorableListIsReported();

private:
    FakeProcesses processes;
    FakeMessages messages;
    FakeDialog dialog;
    frmMain* clock = nullptr;
    frmMenu* menu = nullptr;
};

void TestMenu::init() {
    testEnv.clearStore();
    processes = FakeProcesses();
    messages = FakeMessages();
    dialog = FakeDialog();
    Seams::setProcesses(&processes);
    Seams::setMessages(&messages);
    FileCommonDialog::setBackend(&dialog);
    clock = new frmMain;
    menu = clock->menu();
}

void TestMenu::cleanup() {
    delete clock;
    clock = nullptr;
    FileCommonDialog::setBackend(nullptr);
    Seams::setProcesses(nullptr);
    Seams::setMessages(nullptr);
}

void TestMenu::startProgram_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QString>("message"); // a part of the message, empty: none
    QTest::newRow("starts") << MenuCommands::modulePath("DMSettings") << false << "";
    QTest::newRow("missing") << MenuCommands::modulePath("DMAlarm") << true
                             << "DMAlarm cannot be started.\n\nThe program \"" +
                                    QCoreApplication::applicationDirPath() +
                                    "/modules/DMAlarm\" is missing";
    QTest::newRow("no path stored") << "" << true << "No program file is stored";
}

void TestMenu::startProgram() {
    QFETCH(QString, path);
    QFETCH(bool, fails);
    QFETCH(QString, message);
    if (fails)
        processes.failing << path;
    const QString name = path.isEmpty() ? QStringLiteral("Alpha") : path.section('/', -1);
    QCOMPARE(MenuCommands::startProgram(nullptr, path, name), !fails);
    QCOMPARE(processes.started, QStringList{path});
    if (message.isEmpty()) {
        QVERIFY(messages.shown.isEmpty());
    } else {
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].contains(message), qPrintable(messages.shown[0]));
    }
}

void TestMenu::dateTimeTool_data() {
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("expected"); // program and arguments, empty: none
    QTest::newRow("nothing installed") << "GNOME" << QStringList() << "";
    QTest::newRow("GNOME") << "ubuntu:GNOME" << QStringList{"gnome-control-center", "kcmshell5"}
                           << "/usr/bin/gnome-control-center datetime";
    QTest::newRow("KDE prefers its own")
        << "KDE" << QStringList{"gnome-control-center", "kcmshell5"} << "/usr/bin/kcmshell5 clock";
    QTest::newRow("Plasma 6 before 5")
        << "KDE" << QStringList{"kcmshell5", "kcmshell6"} << "/usr/bin/kcmshell6 kcm_clock";
    QTest::newRow("XFCE, letter case")
        << "xfce" << QStringList{"gnome-control-center", "time-admin"} << "/usr/bin/time-admin";
    QTest::newRow("unknown desktop: first found")
        << "openbox" << QStringList{"kcmshell5", "time-admin"} << "/usr/bin/kcmshell5 clock";
    QTest::newRow("no desktop named")
        << "" << QStringList{"xfce4-datetime-settings"} << "/usr/bin/xfce4-datetime-settings";
}

void TestMenu::dateTimeTool() {
    QFETCH(QString, desktop);
    QFETCH(QStringList, installed);
    QFETCH(QString, expected);
    const MenuCommands::Tool tool =
        MenuCommands::findDateTimeTool(desktop, [&installed](const QString& p) {
            return installed.contains(p) ? "/usr/bin/" + p : QString();
        });
    QCOMPARE((QStringList{tool.program} + tool.arguments).join(' ').trimmed(), expected);
}

// The real lookup searches PATH: an empty one finds nothing and says so; a
// tool placed on it is started with its arguments.
void TestMenu::setTimeUsesPathOrSaysNone() {
    const QByteArray oldPath = qgetenv("PATH");
    const QByteArray oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
    QTemporaryDir bin;
    qputenv("PATH", QFile::encodeName(bin.path()));
    qputenv("XDG_CURRENT_DESKTOP", "KDE");

    QVERIFY(!MenuCommands::openDateTimeSettings(nullptr));
    QVERIFY(processes.started.isEmpty());
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown[0].startsWith("Set Time: No date and time settings"));

    QFile tool(bin.path() + "/kcmshell6");
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\n");
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(MenuCommands::openDateTimeSettings(nullptr));
    QCOMPARE(processes.started, QStringList{bin.path() + "/kcmshell6 kcm_clock"});

    qputenv("PATH", oldPath);
    qputenv("XDG_CURRENT_DESKTOP", oldDesktop);
}

void TestMenu::menuTreeAtStart() {
    QCOMPARE(menu->mnuPopup->objectName(), QStringLiteral("mnuPopup"));
    QCOMPARE(menu->mnuPopup->title(), QStringLiteral("popup"));
    QCOMPARE(menu->isVisible(), false);
    const QStringList expected{
        "mnuAlarm|Alarm...|",
        "mnuSettings|Settings...|",
        "mnuSetTime|Set Time...|",
        "mnuOnTop|Always on top|c",
        "mnuBar2|-|",
        "mnuModuleList|Modules|",
        "  mnuModuleLoad|Load...|",
        "  mnuModuleUnload|Unload...|h",
        "  mnuBar3|-|h",
        "  mnuModule||h",
        "mnuSkin|Skin|",
        "  mnuSkinLoad|Load...|",
        "  mnuSkinAbout|About...|",
        "mnuImport|Import|",
        "  mnuImportPX|Pendrix Skin...|",
        "  mnuImportOLVO|Olvo Skin...|",
        "mnuBar1|-|",
        "mnuAbout|About...|",
        "mnuMin|Minimize|",
        "mnuQuit|Quit|",
    };
    QCOMPARE(tree(menu->mnuPopup), expected);
    // Tests and the other Parts find the items by name.
    QCOMPARE(menu->findChild<QMenu*>("mnuModuleList"), menu->mnuModuleList);
    QCOMPARE(menu->mnuModule.size(), 1);
}

void TestMenu::companionsStartFromModulesFolder() {
    const QString dir = QCoreApplication::applicationDirPath() + "/modules/";
    menu->mnuAlarm->trigger();
    menu->mnuSettings->trigger();
    menu->mnuSettings->trigger(); // a second copy is not prevented
    menu->mnuAbout->trigger();
    QCOMPARE(processes.started, (QStringList{dir + "DMAlarm", dir + "DMSettings",
                                             dir + "DMSettings", dir + "DMAbout"}));
    QVERIFY(messages.shown.isEmpty());
    processes.failing << dir + "DMAbout";
    menu->mnuAbout->trigger();
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown[0].contains("DMAbout cannot be started"));
}

void TestMenu::onTopTwiceIsAsBefore() {
    QVERIFY(!clock->OnTop);
    menu->mnuOnTop->trigger();
    QVERIFY(clock->OnTop);
    QVERIFY(menu->mnuOnTop->isChecked());
    QVERIFY(clock->windowFlags() & Qt::WindowStaysOnTopHint);
    menu->mnuOnTop->trigger();
    QVERIFY(!clock->OnTop);
    QVERIFY(!menu->mnuOnTop->isChecked());
    QVERIFY(!(clock->windowFlags() & Qt::WindowStaysOnTopHint));
    // Not stored until the clock closes.
    QCOMPARE(Store::get("Settings", "OnTop", "absent"), QStringLiteral("absent"));
}

void TestMenu::minimizeRestoreFlips() {
    clock->show();
    menu->mnuMin->trigger();
    QVERIFY(!clock->isVisible());
    QCOMPARE(menu->mnuMin->text(), QStringLiteral("Restore"));
    menu->mnuMin->trigger();
    QVERIFY(clock->isVisible());
    QCOMPARE(menu->mnuMin->text(), QStringLiteral("Minimize"));
}

void TestMenu::skinCommands() {
    menu->mnuSkinLoad->trigger();
    QCOMPARE(Store::get("Skin", "Type", "?"), QStringLiteral("dm"));
    QCOMPARE(processes.started,
             QStringList{QCoreApplication::applicationDirPath() + "/modules/DMSkinLoad"});
    menu->mnuSkinAbout->trigger();
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown[0].startsWith("About Skin: "));
}

void TestMenu::loadAddsModules() {
    // Cancelled: nothing changes.
    menu->mnuModuleLoad->trigger();
    QCOMPARE(dialog.asked.size(), 1);
    QCOMPARE(dialog.asked[0], (QStringList{"", QCoreApplication::applicationDirPath() + "/modules",
                                           "Modules (*)", "single"}));
    QVERIFY(!menu->mnuModule[0]->isVisible());

    dialog.answers << "/opt/tools/clock.exe"
                   << "/usr/bin/xterm";
    menu->mnuModuleLoad->trigger();
    const QStringList one{"  mnuModuleLoad|Load...|", "  mnuModuleUnload|Unload...|",
                          "  mnuBar3|-|", "  mnuModule|clock|"};
    QCOMPARE(tree(menu->mnuPopup).mid(6, 4), one);
    QCOMPARE(menu->mnuModule[0]->data().toString(), QStringLiteral("/opt/tools/clock.exe"));
    menu->mnuModuleLoad->trigger();
    QCOMPARE(menu->mnuModule.size(), 2);
    QCOMPARE(tree(menu->mnuPopup).at(10), QStringLiteral("  mnuModule|xterm|"));
    QCOMPARE(tree(menu->mnuPopup).at(11), QStringLiteral("mnuSkin|Skin|"));
}

void TestMenu::unloadWindowRemovesFromMenu() {
    for (const char* p : {"/p/A", "/p/B", "/p/C"})
        menu->modules().add(p);
    menu->syncModules();
    // The window is modal: work it from inside, then let it close.
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<frmModule*>(QApplication::activeModalWidget());
        QVERIFY(form);
        QCOMPARE(form->lstModules->count(), 3);
        form->lstModules->setCurrentRow(1);
        form->cmdUnload->click();
        form->cmdClose->click();
    });
    menu->mnuModuleUnload->trigger();
    QCOMPARE(menu->mnuModule.size(), 2);
    QCOMPARE(menu->mnuModule[0]->text(), QStringLiteral("A"));
    QCOMPARE(menu->mnuModule[1]->text(), QStringLiteral("C"));
    QCOMPARE(menu->mnuModule[1]->data().toString(), QStringLiteral("/p/C"));

    // Removing all closes the window and hides Unload and the separator.
    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<frmModule*>(QApplication::activeModalWidget());
        QVERIFY(form);
        form->lstModules->setCurrentRow(0);
        form->cmdUnload->click();
        form->cmdUnload->click();
    });
    menu->mnuModuleUnload->trigger();
    QCOMPARE(menu->mnuModule.size(), 1);
    QVERIFY(!menu->mnuModule[0]->isVisible());
    QVERIFY(!menu->mnuModuleUnload->isVisible());
    QVERIFY(!menu->mnuBar3->isVisible());
    menu->unload();
    QCOMPARE(Store::get("Modules", "Name0", "?"), QString());
    QCOMPARE(Store::get("Modules", "Exe0", "?"), QString());
}

void TestMenu::moduleItemStartsItsProgram() {
    menu->modules().add("/usr/bin/xterm");
    menu->modules().add("/opt/gone");
    menu->syncModules();
    processes.failing << "/opt/gone";
    menu->mnuModule[0]->trigger();
    menu->mnuModule[1]->trigger();
    QCOMPARE(processes.started, (QStringList{"/usr/bin/xterm", "/opt/gone"}));
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown[0].contains("gone cannot be started"));
    QVERIFY(messages.shown[0].contains("/opt/gone"));
}

// The form restores the list when it loads; the first load happens when the
// clock reads its settings.
void TestMenu::restoredModulesShowAtLoad() {
    delete clock;
    Store::save("Modules", "Name0", "Alpha");
    Store::save("Modules", "Exe0", "/opt/alpha");
    clock = new frmMain;
    clock->loadSettings(false);
    menu = clock->menu();
    QCOMPARE(menu->mnuModule.size(), 1);
    QVERIFY(menu->mnuModule[0]->isVisible());
    QCOMPARE(menu->mnuModule[0]->text(), QStringLiteral("Alpha"));
    QVERIFY(menu->mnuModuleUnload->isVisible());
}

void TestMenu::unstorableListIsReported() {
    menu->modules().add("/usr/bin/xterm");
    // A file where the store's folder should be: nothing can be saved.
    const QString folder = testEnv.configDir() + "/Dialmere";
    QDir(folder).removeRecursively();
    {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    menu->unload();
    QFile::remove(folder);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown[0].contains("module list could not be stored"));
    menu->unload(); // once only
    QCOMPARE(messages.shown.size(), 1);
}

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
