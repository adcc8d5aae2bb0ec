// The open-file dialog wrapper: the filter record and its Qt form, and the
// result texts its callers take apart, against a fake dialog.
#include "filecommondialog.h"
#include "testenv.h"

#include <QFileDialog>
#include <QtTest>

static TestEnv testEnv;

namespace {
class FakeDialog : public FileDialogBackend {
public:
    QStringList getOpenFileNames(const QString& t, const QString& d, const QString& f,
                                 bool m) override {
        title = t;
        directory = d;
        filter = f;
        multiselect = m;
        return result;
    }
    QStringList result;
    QString title, directory, filter;
    bool multiselect = false;
};
const QChar NUL(0);
} // namespace

class TestFileDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { FileCommonDialog::setBackend(&fake); }
    void cleanup() { FileCommonDialog::setBackend(nullptr); }

    void filterRecord_data();
    void filterRecord();
    void result_data();
    void result();
    void propertiesReachTheDialog();
    void realDialogOffersOnlyExecutables_data();
    void realDialogOffersOnlyExecutables();

private:
    FakeDialog fake;
};

void TestFileDialog::filterRecord_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("handedOver"); // the stored record and the final NUL
    QTest::addColumn<QString>("qt");
    QTest::newRow("modules") << "Modules (*.exe)|*.exe"
                             << QString("Modules (*.exe)") + NUL + "*.exe" + NUL + NUL
                             << "Modules (*.exe)";
    QTest::newRow("skins") << "Skins|*.ini" << QString("Skins") + NUL + "*.ini" + NUL + NUL
                           << "Skins (*.ini)";
    QTest::newRow("empty") << "" << QString(NUL) + NUL << "";
    QTest::newRow("two pairs, pattern list")
        << "Pictures|*.png;*.bmp|All|*"
        << QString("Pictures") + NUL + "*.png;*.bmp" + NUL + "All" + NUL + "*" + NUL + NUL
        << "Pictures (*.png *.bmp);;All (*)";
}

void TestFileDialog::filterRecord() {
    QFETCH(QString, filter);
    QFETCH(QString, handedOver);
    QFETCH(QString, qt);
    FileCommonDialog dlg;
    dlg.setFilter(filter);
    QCOMPARE(dlg.filterRecord() + NUL, handedOver);
    QCOMPARE(FileCommonDialog::qtFilter(filter), qt);
}

void TestFileDialog::result_data() {
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<bool>("multi");
    QTest::addColumn<QString>("path"); // the text before the first NUL; empty: cancelled
    QTest::addColumn<int>("length");
    QTest::newRow("cancelled") << QStringList{} << false << "" << 1;
    QTest::newRow("a path") << QStringList{"/opt/tools/clock"} << false << "/opt/tools/clock"
                            << 260;
    QTest::newRow("multi-select, one file")
        << QStringList{"/opt/tools/clock"} << true << "/opt/tools/clock" << 260;
    const QString longPath = "/" + QString(400, 'a') + "/skin.ini";
    QTest::newRow("longer than the classic buffer")
        << QStringList{longPath} << false << longPath << int(longPath.size()) + 2;
}

void TestFileDialog::result() {
    QFETCH(QStringList, chosen);
    QFETCH(bool, multi);
    QFETCH(QString, path);
    QFETCH(int, length);
    fake.result = chosen;
    FileCommonDialog dlg;
    const QString r = dlg.GetFileOpenName(multi);
    QCOMPARE(r.size(), length);
    QCOMPARE(r.left(r.indexOf(NUL)), path);
    QVERIFY(r.endsWith(NUL));
    QCOMPARE(dlg.flags(), multi ? 0x80204u : 0x80004u);
    QCOMPARE(fake.multiselect, multi);
    // What the module command does: drop the last character; empty means cancel.
    const QString kept = r.left(r.size() - 1);
    QCOMPARE(kept.isEmpty(), path.isEmpty());
    if (!path.isEmpty() && path.size() < 258)
        QCOMPARE(r.mid(path.size() + 1, r.size() - path.size() - 2).trimmed(), QString());
}

void TestFileDialog::propertiesReachTheDialog() {
    FileCommonDialog dlg;
    dlg.setFilter("Skins|*.ini");
    dlg.setInitialDirectory("/usr/share/dialmere/skins");
    dlg.setWindowTitle("Load Skin");
    QCOMPARE(dlg.InitialDirectory(), QString("/usr/share/dialmere/skins"));
    QCOMPARE(dlg.WindowTitle(), QString("Load Skin"));
    dlg.GetFileOpenName(false);
    QCOMPARE(fake.title, QString("Load Skin"));
    QCOMPARE(fake.directory, QString("/usr/share/dialmere/skins"));
    QCOMPARE(fake.filter, QString("Skins (*.ini)"));
}

// Qt's own dialog lists only runnable files when asked to (the module list).
void TestFileDialog::realDialogOffersOnlyExecutables_data() {
    QTest::addColumn<bool>("executablesOnly");
    QTest::newRow("modules") << true;
    QTest::newRow("skins") << false;
}

void TestFileDialog::realDialogOffersOnlyExecutables() {
    QFETCH(bool, executablesOnly);
    FileCommonDialog::setBackend(nullptr);
    bool sawDialog = false;
    QDir::Filters filters;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            sawDialog = true;
            filters = dialog->filter();
            dialog->reject();
        }
    });
    FileCommonDialog dialog;
    dialog.setFilter(QStringLiteral("Modules|*"));
    dialog.setInitialDirectory(testEnv.root());
    dialog.setExecutablesOnly(executablesOnly);
    QCOMPARE(dialog.GetFileOpenName(false), QString(NUL));
    QVERIFY(sawDialog);
    QCOMPARE(bool(filters & QDir::Executable), executablesOnly);
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
