// The popup menu: its commands that start programs, and the date and time
// settings lookup.
#include "menucommands.h"
#include "seams.h"
#include "testenv.h"

#include <QtTest>

#include <QCoreApplication>

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

private:
    FakeProcesses processes;
    FakeMessages messages;
};

void TestMenu::init() {
    processes = FakeProcesses();
    messages = FakeMessages();
    Seams::setProcesses(&processes);
    Seams::setMessages(&messages);
}

void TestMenu::cleanup() {
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

QTEST_MAIN(TestMenu)
#include "tst_menu.moc"
