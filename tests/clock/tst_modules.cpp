// The user's module list: restoring from and storing to the store, adding,
// removing, the captions, and the "Modules" removal window.
#include "frmmodule.h"
#include "keys.h"
#include "modulelist.h"
#include "store.h"
#include "testenv.h"

#include <QtTest>

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

static TestEnv testEnv;

namespace {

const QString modules = QString::fromLatin1(Keys::Section::Modules);

// "key=value;key=value" into the Modules section.
void storeModules(const QString& pairs) {
    for (const QString& pair : pairs.split(';', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf('=');
        QVERIFY(Store::save(modules, pair.left(eq), pair.mid(eq + 1)));
    }
}

QString stored(const QString& key) {
    return Store::get(modules, key, QStringLiteral("<absent>"));
}

// The shown entries as "caption=path" joined by "|".
QString shown(const ModuleList& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.entry(i).caption + '=' + list.entry(i).path;
    return out.join('|');
}

ModuleList listOf(const QStringList& paths) {
    ModuleList list;
    for (const QString& p : paths)
        list.add(p);
    return list;
}

} // namespace

class TestModules : public QObject {
    Q_OBJECT

private slots:
    void init() { testEnv.clearStore(); }

    void restore_data();
    void restore();
    void storeWritesEntriesAndEndPair_data();
    void storeWritesEntriesAndEndPair();
    void addReusesElementZeroWhileEmpty();
    void remove_data();
    void remove();
    void removeTheOnlyEntryThenRestart();
    void caption_data();
    void caption();

    void windowShowsCaptionsAndControls();
    void windowRemovesSelectedRow();
    void windowRemovingTheLastEntryCloses();
};

void TestModules::restore_data() {
    QTest::addColumn<QString>("store");
    QTest::addColumn<QString>("entries");
    QTest::newRow("empty store") << ""
                                 << "";
    QTest::newRow("one entry, Name1 empty") << "Name0=Alpha;Exe0=/opt/alpha;Name1=;Exe1="
                                            << "Alpha=/opt/alpha";
    QTest::newRow("Name0 empty, Name1 set") << "Name0=;Exe0=/x;Name1=Beta;Exe1=/b"
                                            << "";
    QTest::newRow("Exe absent") << "Name0=Alpha"
                                << "Alpha=";
    QTest::newRow("three, then end pair, then leftovers")
        << "Name0=A;Exe0=/a;Name1=B;Exe1=/b;Name2=C;Exe2=/c;Name3=;Exe3=;Name4=D;Exe4=/d"
        << "A=/a|B=/b|C=/c";
    QTest::newRow("list ends at an absent name") << "Name0=A;Exe0=/a;Name2=C;Exe2=/c"
                                                 << "A=/a";
    QTest::newRow("blanks are a name") << "Name0= ;Exe0=/s"
                                       << " =/s";
}

void TestModules::restore() {
    QFETCH(QString, store);
    QFETCH(QString, entries);
    storeModules(store);
    ModuleList list;
    list.restore();
    QCOMPARE(shown(list), entries);
    QCOMPARE(list.holdsEntries(), !entries.isEmpty());
    QCOMPARE(list.elements().size(), qMax(1, list.count()));
}

void TestModules::storeWritesEntriesAndEndPair_data() {
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<int>("removeRow"); // -1: none
    QTest::addColumn<QStringList>("names");
    QTest::newRow("empty list") << QStringList() << -1 << QStringList();
    QTest::newRow("three") << QStringList{"/a/A", "/b/B", "/c/C"} << -1
                           << QStringList{"A", "B", "C"};
    QTest::newRow("B removed from A, B, C")
        << QStringList{"/a/A", "/b/B", "/c/C"} << 1 << QStringList{"A", "C"};
    QTest::newRow("only entry removed") << QStringList{"/a/A"} << 0 << QStringList();
}

void TestModules::storeWritesEntriesAndEndPair() {
    QFETCH(QStringList, paths);
    QFETCH(int, removeRow);
    QFETCH(QStringList, names);
    // A longer list from an earlier run stays beyond the end pair.
    storeModules("Name0=o0;Exe0=/o0;Name1=o1;Exe1=/o1;Name2=o2;Exe2=/o2;Name3=o3;Exe3=/o3;"
                 "Name4=o4;Exe4=/o4");
    ModuleList list = listOf(paths);
    if (removeRow >= 0)
        QVERIFY(list.remove(removeRow));
    QVERIFY(list.store());

    const int n = int(names.size());
    for (int i = 0; i < n; ++i) {
        QCOMPARE(stored(Keys::Modules::nameKey(i)), names[i]);
        QCOMPARE(stored(Keys::Modules::exeKey(i)), '/' + names[i].toLower() + '/' + names[i]);
    }
    QCOMPARE(stored(Keys::Modules::nameKey(n)), QString());
    QCOMPARE(stored(Keys::Modules::exeKey(n)), QString());
    QCOMPARE(stored(QStringLiteral("Name4")), QStringLiteral("o4"));

    ModuleList again;
    again.restore();
    QCOMPARE(again.count(), n);
}

void TestModules::addReusesElementZeroWhileEmpty() {
    ModuleList list;
    QVERIFY(!list.holdsEntries());
    QCOMPARE(list.add("/opt/tools/clock.exe"), 0);
    QVERIFY(list.holdsEntries());
    QCOMPARE(shown(list), QStringLiteral("clock=/opt/tools/clock.exe"));
    QCOMPARE(list.add("/usr/bin/xterm"), 1);
    QCOMPARE(list.add("/usr/bin/xterm"), 2); // duplicates are allowed
    QCOMPARE(list.count(), 3);
}

void TestModules::remove_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("removed");
    QTest::newRow("first") << 0 << "B|C" << true;
    QTest::newRow("middle") << 1 << "A|C" << true;
    QTest::newRow("last") << 2 << "A|B" << true;
    QTest::newRow("no row selected") << -1 << "A|B|C" << false;
    QTest::newRow("beyond the list") << 3 << "A|B|C" << false;
}

void TestModules::remove() {
    QFETCH(int, row);
    QFETCH(QString, left);
    QFETCH(bool, removed);
    ModuleList list = listOf({"/p/A", "/p/B", "/p/C"});
    QCOMPARE(list.remove(row), removed);
    QStringList captions;
    for (int i = 0; i < list.count(); ++i) {
        captions << list.entry(i).caption;
        QCOMPARE(list.entry(i).path, "/p/" + list.entry(i).caption);
    }
    QCOMPARE(captions.join('|'), left);
    QCOMPARE(list.elements().size(), list.count());
}

void TestModules::removeTheOnlyEntryThenRestart() {
    ModuleList list = listOf({"/p/Only"});
    QVERIFY(list.remove(0));
    QVERIFY(!list.holdsEntries());
    QCOMPARE(list.count(), 0);
    // Element 0 keeps what it had, but it is neither shown nor stored.
    QCOMPARE(list.elements().size(), 1);
    QCOMPARE(list.elements()[0].caption, QStringLiteral("Only"));
    QVERIFY(!list.remove(0));
    QVERIFY(list.store());
    QCOMPARE(stored("Name0"), QString());
    QCOMPARE(stored("Exe0"), QString());
    ModuleList next;
    next.restore();
    QCOMPARE(next.count(), 0);

    // Adding again reuses element 0 and shows only the new entry.
    QCOMPARE(list.add("/p/New"), 0);
    QCOMPARE(shown(list), QStringLiteral("New=/p/New"));
}

void TestModules::caption_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("caption");
    QTest::newRow("no suffix on Linux") << "/usr/bin/xterm"
                                        << "xterm";
    QTest::newRow(".exe loses it") << "/opt/tools/clock.exe"
                                   << "clock";
    QTest::newRow("any letter case") << "/opt/CLOCK.EXE"
                                     << "CLOCK";
    QTest::newRow("other suffix stays") << "/opt/run.sh"
                                        << "run.sh";
    QTest::newRow("four characters, no .exe") << "/opt/a.ex"
                                              << "a.ex";
    QTest::newRow("only the suffix") << "/opt/.exe"
                                     << ".exe";
    QTest::newRow("dots in folder") << "/opt/my.tools/tool"
                                    << "tool";
    QTest::newRow("exe inside the name") << "/opt/a.exe.bak"
                                         << "a.exe.bak";
    QTest::newRow("relative") << "clock.exe"
                              << "clock";
    QTest::newRow("spaces kept") << "/opt/My Tool"
                                 << "My Tool";
}

void TestModules::caption() {
    QFETCH(QString, path);
    QFETCH(QString, caption);
    QCOMPARE(ModuleList::captionFor(path), caption);
}

void TestModules::windowShowsCaptionsAndControls() {
    ModuleList list = listOf({"/p/A", "/p/B", "/p/C"});
    frmModule form(list);
    QCOMPARE(form.windowTitle(), QStringLiteral("Modules"));
    QCOMPARE(form.findChild<QListWidget*>("lstModules"), form.lstModules);
    QCOMPARE(form.findChild<QPushButton*>("cmdUnload")->text(), QStringLiteral("Unload"));
    QCOMPARE(form.findChild<QPushButton*>("cmdClose")->text(), QStringLiteral("Close"));
    QCOMPARE(form.lstModules->count(), 3);
    QCOMPARE(form.lstModules->item(1)->text(), QStringLiteral("B"));
    // 2445 x 2730 twips at 15 twips per pixel.
    QCOMPARE(form.size(), QSize(163, 182));
    QCOMPARE(form.lstModules->geometry(), QRect(0, 0, 162, 160));
    QCOMPARE(form.cmdUnload->geometry(), QRect(1, 162, 80, 19));
    QCOMPARE(form.cmdClose->geometry(), QRect(81, 162, 80, 19));
    QVERIFY(form.windowFlags() & Qt::Tool);
    QVERIFY(!(form.windowFlags() & Qt::WindowMinMaxButtonsHint));
}

void TestModules::windowRemovesSelectedRow() {
    ModuleList list = listOf({"/p/A", "/p/B", "/p/C"});
    frmModule form(list);
    QSignalSpy changed(&form, &frmModule::listChanged);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // Nothing selected: Unload does nothing and the window stays open.
    form.cmdUnload->click();
    QCOMPARE(form.lstModules->count(), 3);
    QCOMPARE(changed.size(), 0);

    form.lstModules->setCurrentRow(1);
    form.cmdUnload->click();
    QCOMPARE(form.lstModules->count(), 2);
    QCOMPARE(form.lstModules->item(0)->text(), QStringLiteral("A"));
    QCOMPARE(form.lstModules->item(1)->text(), QStringLiteral("C"));
    QCOMPARE(shown(list), QStringLiteral("A=/p/A|C=/p/C"));
    QCOMPARE(changed.size(), 1);
    QVERIFY(form.isVisible());

    // A double-click on a row removes it in the same way.
    QListWidgetItem* first = form.lstModules->item(0);
    const QRect r = form.lstModules->visualItemRect(first);
    QTest::mouseClick(form.lstModules->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(form.lstModules->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(shown(list), QStringLiteral("C=/p/C"));
    QCOMPARE(form.lstModules->count(), 1);
    QVERIFY(form.isVisible());
}

void TestModules::windowRemovingTheLastEntryCloses() {
    ModuleList list = listOf({"/p/A"});
    frmModule form(list);
    form.show();
    form.lstModules->setCurrentRow(0);
    form.cmdUnload->click();
    QVERIFY(!form.isVisible());
    QVERIFY(!list.holdsEntries());
    QCOMPARE(form.result(), int(QDialog::Accepted));

    // Close shuts the window without changing the list.
    ModuleList two = listOf({"/p/A", "/p/B"});
    frmModule other(two);
    other.show();
    other.lstModules->setCurrentRow(0);
    other.cmdClose->click();
    QVERIFY(!other.isVisible());
    QCOMPARE(two.count(), 2);
}

QTEST_MAIN(TestModules)
#include "tst_modules.moc"
