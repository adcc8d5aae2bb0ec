// The settings store: reading, saving, hand-edited files, failures, and
// several programs using the store at once.
#include "keys.h"
#include "store.h"
#include "testenv.h"

#include <QtTest>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static TestEnv testEnv;

namespace {

QString auxPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/aux_store");
}

void writeStoreFile(const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(testEnv.storeFile()).absolutePath());
    QFile f(testEnv.storeFile());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readStoreFile() {
    QFile f(testEnv.storeFile());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The value as a freshly started program reads it.
QString getInOtherProcess(const QString& section, const QString& key, const QString& def) {
    QProcess p;
    p.start(auxPath(), {QStringLiteral("get"), section, key, def});
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return QStringLiteral("<aux_store failed>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT

private slots:
    void init();

    void absentGivesDefault();
    void emptyTextIsStoredNotAbsent();
    void roundTrip_data();
    void roundTrip();
    void handEditedValue_data();
    void handEditedValue();
    void keysAreCaseSensitive();
    void unchangedValueIsNotRewritten();
    void malformedFile_data();
    void malformedFile();
    void saveFailure_data();
    void saveFailure();
    void lockOfKilledWriterIsTakenOver();
    void privateCopyRemovedWhileRunning();
    void convenienceReaders_data();
    void convenienceReaders();

    void concurrentSaversLoseNothing();
    void sameSizeSavesOfOtherProcessAreSeen();
    void sameSizeChangeWithUnchangedStatIsSeen();
};

void TestStore::init() {
    testEnv.clearStore();
    const QString folder = QFileInfo(testEnv.storeFile()).absolutePath();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (QFileInfo(folder).isFile())
        QFile::remove(folder);
}

void TestStore::absentGivesDefault() {
    QCOMPARE(Store::filePath(), testEnv.storeFile());
    QCOMPARE(Store::get("Settings", "TimeFormat", "hh:mm:ss"), QStringLiteral("hh:mm:ss"));

    writeStoreFile("[Skin]\nType=px\n");
    QCOMPARE(Store::get("Settings", "TimeFormat", "hh:mm:ss"), QStringLiteral("hh:mm:ss"));
    QCOMPARE(Store::get("Skin", "Dir", "none"), QStringLiteral("none"));
    QCOMPARE(Store::get("Skin", "Type", "dm"), QStringLiteral("px"));
}

void TestStore::emptyTextIsStoredNotAbsent() {
    QVERIFY(Store::save("Skin", "Dir", ""));
    QCOMPARE(Store::get("Skin", "Dir", "default"), QString());
    QCOMPARE(getInOtherProcess("Skin", "Dir", "default"), QString());

    writeStoreFile("[Modules]\nName0=\n");
    QCOMPARE(Store::get("Modules", "Name0", "default"), QString());
}

void TestStore::roundTrip_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("commas") << "mmm d, yyyy";
    QTest::newRow("only a comma") << ",";
    QTest::newRow("double quotes") << "say \"hi\"";
    QTest::newRow("lone quote") << "\"";
    QTest::newRow("equals signs") << "a=b==c";
    QTest::newRow("leading and trailing blanks") << "  x y  ";
    QTest::newRow("tabs") << "\ta\t";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Zürich – ∑ 日本 😀");
    QTest::newRow("backslashes") << "C:\\dir\\sub\\";
    QTest::newRow("trailing backslash") << "a\\";
    QTest::newRow("semicolons") << "a;b;";
    QTest::newRow("leading semicolon") << "; not a comment";
    QTest::newRow("hash") << "#1 alarm # now";
    QTest::newRow("section look-alike") << "[Settings]";
    QTest::newRow("percent escapes") << "%41%U0042";
    QTest::newRow("at sign forms") << "@Variant(x)";
    QTest::newRow("double at") << "@@";
    QTest::newRow("line breaks") << "a\nb\r\nc";
    QTest::newRow("hex-looking escape") << "\\x41";
    QTest::newRow("command line") << "\"/usr/bin/my app\" --flag=1, 2";
}

void TestStore::roundTrip() {
    QFETCH(QString, text);
    QVERIFY(Store::save("Alarm", "Message", "before"));
    QVERIFY(Store::save("Alarm", "Program", text));
    QVERIFY(Store::save("Alarm", "Time", "12:00:00"));
    QCOMPARE(Store::get("Alarm", "Program", "default"), text);
    QCOMPARE(getInOtherProcess("Alarm", "Program", "default"), text);
    QCOMPARE(Store::get("Alarm", "Message", "default"), QStringLiteral("before"));
    QCOMPARE(Store::get("Alarm", "Time", "default"), QStringLiteral("12:00:00"));
}

// A person editing the file by hand writes values unquoted; what they typed is
// the value, also after another program has rewritten the file.
void TestStore::handEditedValue_data() {
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("date format") << QByteArray("mmm d, yyyy") << "mmm d, yyyy";
    QTest::newRow("three parts") << QByteArray("dddd, mmmm d, yyyy") << "dddd, mmmm d, yyyy";
    QTest::newRow("no blank after comma") << QByteArray("a,b") << "a,b";
    QTest::newRow("blanks around comma") << QByteArray("a , b") << "a , b";
    QTest::newRow("blanks around value") << QByteArray("  mmm d, yyyy  ") << "mmm d, yyyy";
    QTest::newRow("trailing comma") << QByteArray("a,") << "a,";
    QTest::newRow("quoted part") << QByteArray("\"x, y\", z") << "x, y, z";
    QTest::newRow("escape in list") << QByteArray("a\\\\b, c") << "a\\b, c";
    QTest::newRow("carriage return") << QByteArray("mmm d, yyyy\r") << "mmm d, yyyy";
    QTest::newRow("non-ASCII") << QByteArray("d. MMMM, yyyy \xC3\xA4")
                               << QString::fromUtf8("d. MMMM, yyyy ä");
    QTest::newRow("no comma") << QByteArray("hh:mm") << "hh:mm";
    QTest::newRow("quoted blanks") << QByteArray("\"  q  \"") << "  q  ";
}

void TestStore::handEditedValue() {
    QFETCH(QByteArray, typed);
    QFETCH(QString, expected);
    writeStoreFile("[Settings]\nTimeFormat=hh:mm\nDateFormat=" + typed + "\nDock=1\n");
    QCOMPARE(Store::get("Settings", "DateFormat", "default"), expected);

    QVERIFY(Store::save("Settings", "OnTop", "True"));
    QCOMPARE(Store::get("Settings", "DateFormat", "default"), expected);
    QCOMPARE(getInOtherProcess("Settings", "DateFormat", "default"), expected);
    QCOMPARE(Store::get("Settings", "TimeFormat", "default"), QStringLiteral("hh:mm"));
    QCOMPARE(Store::get("Settings", "Dock", "default"), QStringLiteral("1"));
}

void TestStore::keysAreCaseSensitive() {
    QVERIFY(Store::save("Settings", "OnTop", "True"));
    QVERIFY(Store::save("Settings", "ontop", "0"));
    QCOMPARE(Store::get("Settings", "OnTop", "x"), QStringLiteral("True"));
    QCOMPARE(Store::get("Settings", "ontop", "x"), QStringLiteral("0"));
    QCOMPARE(Store::get("Settings", "ONTOP", "x"), QStringLiteral("x"));
    QCOMPARE(Store::get("settings", "OnTop", "x"), QStringLiteral("x"));
}

// Saving what is already stored costs no disk write; any change does.
void TestStore::unchangedValueIsNotRewritten() {
    QVERIFY(Store::save("Settings", "Version", "1.1.0"));
    const auto inode = [] {
        struct stat st {};
        return ::stat(QFile::encodeName(testEnv.storeFile()).constData(), &st) == 0 ? st.st_ino
                                                                                    : ino_t(0);
    };
    const auto first = inode();
    QVERIFY(Store::save("Settings", "Version", "1.1.0"));
    QCOMPARE(inode(), first);
    QVERIFY(Store::save("Settings", "Version", "1.1.1"));
    QVERIFY(inode() != first);
    QCOMPARE(getInOtherProcess("Settings", "Version", "0"), QStringLiteral("1.1.1"));
}

// Hand-edited or damaged files: whatever can be read is read, the rest gives
// defaults, and saving still works without losing what was readable.
void TestStore::malformedFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("dock"); // what Settings/Dock reads, default "d"

    static const char garbage[] = "\x01\x02\xff[\xfe=\n=x\n\0\0";
    QTest::newRow("binary garbage") << QByteArray(garbage, sizeof garbage - 1) << "d";
    QTest::newRow("unterminated section") << QByteArray("[Settings\nDock=1\n") << "1";
    QTest::newRow("key without value") << QByteArray("[Settings]\nDock\n") << "d";
    QTest::newRow("invalid UTF-8")
        << QByteArray("[Settings]\nDock=\xff\xfe\n") << QString::fromUtf8("\uFFFD\uFFFD");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Settings]\nDock=1\n") << "1";
    QTest::newRow("CRLF line ends") << QByteArray("[Settings]\r\nDock=1\r\n") << "1";
    QTest::newRow("blanks around =") << QByteArray("[Settings]\n  Dock  =  1  \n") << "1";
    QTest::newRow("comment line") << QByteArray("[Settings]\n;Dock=0\nDock=1\n") << "1";
    QTest::newRow("later line wins") << QByteArray("[Settings]\nDock=0\nDock=1\n") << "1";
    QTest::newRow("section repeated")
        << QByteArray("[Settings]\nDock=0\n[Skin]\nType=px\n[Settings]\nDock=1\n") << "1";
    QTest::newRow("keys outside sections") << QByteArray("Dock=1\n[Settings]\n") << "d";
    QTest::newRow("empty file") << QByteArray() << "d";
}

void TestStore::malformedFile() {
    QFETCH(QByteArray, file);
    QFETCH(QString, dock);
    writeStoreFile(file);
    QCOMPARE(Store::get("Settings", "Dock", "d"), dock);
    QVERIFY(Store::save("Settings", "OnTop", "True"));
    QCOMPARE(Store::get("Settings", "OnTop", "x"), QStringLiteral("True"));
    QCOMPARE(Store::get("Settings", "Dock", "d"), dock);
    QCOMPARE(getInOtherProcess("Settings", "Dock", "d"), dock);
}

enum class Blocker { FolderIsFile, StoreIsFolder, ReadOnlyFolder, LockHeld, EmptyKey };
Q_DECLARE_METATYPE(Blocker)

void TestStore::saveFailure_data() {
    QTest::addColumn<Blocker>("blocker");
    QTest::newRow("store folder is a file") << Blocker::FolderIsFile;
    QTest::newRow("store file is a folder") << Blocker::StoreIsFolder;
    QTest::newRow("read-only folder") << Blocker::ReadOnlyFolder;
    QTest::newRow("lock held by another writer") << Blocker::LockHeld;
    QTest::newRow("empty key") << Blocker::EmptyKey;
}

void TestStore::saveFailure() {
    QFETCH(Blocker, blocker);
    const QString folder = QFileInfo(testEnv.storeFile()).absolutePath();
    QVERIFY(Store::save("Settings", "Dock", "1"));
    const QByteArray before = readStoreFile();
    std::unique_ptr<QLockFile> lock;
    QString key = QStringLiteral("Dock");

    switch (blocker) {
    case Blocker::FolderIsFile: {
        testEnv.clearStore();
        QVERIFY(QDir(folder).removeRecursively());
        QFile f(folder);
        QVERIFY(f.open(QIODevice::WriteOnly));
        break;
    }
    case Blocker::StoreIsFolder:
        testEnv.clearStore();
        QVERIFY(QDir().mkpath(testEnv.storeFile()));
        break;
    case Blocker::ReadOnlyFolder:
        if (::geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        break;
    case Blocker::LockHeld:
        lock = std::make_unique<QLockFile>(testEnv.storeFile() + ".lock");
        QVERIFY(lock->tryLock(0));
        break;
    case Blocker::EmptyKey:
        key.clear();
        break;
    }

    QVERIFY(!Store::save("Settings", key, "0"));
    QCOMPARE(Store::get("Settings", "Dock", "absent"),
             blocker == Blocker::FolderIsFile || blocker == Blocker::StoreIsFolder
                 ? QStringLiteral("absent")
                 : QStringLiteral("1"));
    if (blocker == Blocker::ReadOnlyFolder || blocker == Blocker::LockHeld)
        QCOMPARE(readStoreFile(), before);

    // Once the obstacle is gone, saving works again.
    lock.reset();
    if (blocker == Blocker::StoreIsFolder)
        QVERIFY(QDir(testEnv.storeFile()).removeRecursively());
    if (blocker == Blocker::FolderIsFile)
        QVERIFY(QFile::remove(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(Store::save("Settings", "Dock", "0"));
    QCOMPARE(Store::get("Settings", "Dock", "absent"), QStringLiteral("0"));
}

// A program killed while saving leaves its lock file behind; the next save
// must not wait for it.
void TestStore::lockOfKilledWriterIsTakenOver() {
    QVERIFY(Store::save("Settings", "Dock", "0"));
    QProcess p;
    p.start(auxPath(), {"holdlock"});
    QVERIFY(p.waitForReadyRead(10000));
    QCOMPARE(p.readLine().trimmed(), QByteArray("locked"));
    p.kill();
    QVERIFY(p.waitForFinished(10000));
    QVERIFY(QFile::exists(testEnv.storeFile() + ".lock"));

    QElapsedTimer timer;
    timer.start();
    QVERIFY(Store::save("Settings", "Dock", "1"));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(Store::get("Settings", "Dock", "x"), QStringLiteral("1"));
}

// A clock runs for weeks; a cleaner of temporary files may remove the
// store's private working folder meanwhile.
void TestStore::privateCopyRemovedWhileRunning() {
    QVERIFY(Store::save("Settings", "Dock", "0"));
    const QDir runtime(testEnv.runtimeDir());
    const QStringList dirs = runtime.entryList({"dialmere-store-*"}, QDir::Dirs);
    QCOMPARE(dirs.size(), 1);
    QVERIFY(QDir(runtime.filePath(dirs.first())).removeRecursively());

    QVERIFY(Store::save("Settings", "Dock", "1"));
    QCOMPARE(Store::get("Settings", "Dock", "x"), QStringLiteral("1"));
    writeStoreFile("[Settings]\nDock=2\n");
    QCOMPARE(Store::get("Settings", "Dock", "x"), QStringLiteral("2"));
}

void TestStore::convenienceReaders_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("stored"); // a null text: the key is absent
    QTest::addColumn<QString>("def");
    QTest::addColumn<double>("expected");

    QTest::newRow("integer") << "integer"
                             << "-150"
                             << "100" << -150.0;
    QTest::newRow("integer absent") << "integer" << QString() << "100" << 100.0;
    QTest::newRow("integer letters") << "integer"
                                     << "abc"
                                     << "20" << 20.0;
    QTest::newRow("integer empty") << "integer"
                                   << ""
                                   << "20" << 20.0;
    QTest::newRow("integer clamped") << "integer"
                                     << "40000"
                                     << "100" << 32767.0;
    QTest::newRow("integer unreadable default") << "integer" << QString() << "x" << 0.0;
    QTest::newRow("small integer") << "small"
                                   << "2"
                                   << "0" << 2.0;
    QTest::newRow("small integer clamped") << "small"
                                           << "300"
                                           << "0" << 255.0;
    QTest::newRow("small integer negative") << "small"
                                            << "-1"
                                            << "0" << 0.0;
    QTest::newRow("number") << "number"
                            << "2.5"
                            << "3" << 2.5;
    QTest::newRow("number letters") << "number"
                                    << "three"
                                    << "3" << 3.0;
    QTest::newRow("flag absent") << "flag" << QString() << "True" << 1.0;
    QTest::newRow("flag tick form") << "flag"
                                    << "0"
                                    << "True" << 0.0;
    QTest::newRow("flag unreadable, default on") << "flag"
                                                 << "yes"
                                                 << "True" << 1.0;
    QTest::newRow("flag unreadable, default off") << "flag"
                                                  << "yes"
                                                  << "False" << 0.0;
    QTest::newRow("tick") << "tick"
                          << "2"
                          << "0" << 1.0;
    QTest::newRow("tick absent") << "tick" << QString() << "1" << 1.0;
    QTest::newRow("tick letters") << "tick"
                                  << "x"
                                  << "0" << 0.0;
}

void TestStore::convenienceReaders() {
    QFETCH(QString, reader);
    QFETCH(QString, stored);
    QFETCH(QString, def);
    QFETCH(double, expected);
    if (!stored.isNull())
        QVERIFY(Store::save("Settings", "Value", stored));
    double got = -1;
    if (reader == "integer")
        got = Store::getInteger("Settings", "Value", def);
    else if (reader == "small")
        got = Store::getSmallInteger("Settings", "Value", def);
    else if (reader == "number")
        got = Store::getNumber("Settings", "Value", def);
    else if (reader == "flag")
        got = Store::getFlag("Settings", "Value", def) ? 1 : 0;
    else if (reader == "tick")
        got = Store::getTick("Settings", "Value", def);
    QCOMPARE(got, expected);
}

// Every writer overwrites its own key with texts of the same length, so the
// file never changes size: a writer that merged into a stale picture of the
// file would put back another writer's older value.
void TestStore::concurrentSaversLoseNothing() {
    const int writers = 4;
    const int count = 40;
    for (int i = 0; i < writers; ++i)
        QVERIFY(Store::save("Modules", Keys::Modules::nameKey(i), "v0000"));
    QVERIFY(Store::save("Modules", Keys::Modules::exeKey(0), "v0000"));

    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < writers; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(auxPath(),
                 {"hammer", "Modules", QStringLiteral("Name%1").arg(i), QString::number(count)});
        QVERIFY(p->waitForStarted());
        procs.push_back(std::move(p));
    }
    // This process saves too, while the others run.
    for (int n = 1; n <= count; ++n) {
        const QString value = QStringLiteral("v%1").arg(n, 4, 10, QLatin1Char('0'));
        QVERIFY(Store::save("Modules", "Exe0", value));
        QCOMPARE(Store::get("Modules", "Exe0", {}), value);
    }
    for (auto& p : procs) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        QCOMPARE(p->exitCode(), 0);
    }
    const QString last = QStringLiteral("v%1").arg(count, 4, 10, QLatin1Char('0'));
    for (int i = 0; i < writers; ++i)
        QCOMPARE(Store::get("Modules", Keys::Modules::nameKey(i), {}), last);
    QCOMPARE(Store::get("Modules", "Exe0", {}), last);
}

// Another program saves texts of the same length in quick succession; each is
// read here the moment the other program reports it saved.
void TestStore::sameSizeSavesOfOtherProcessAreSeen() {
    QVERIFY(Store::save("Settings", "ShowTime", "0"));
    QCOMPARE(Store::get("Settings", "ShowTime", {}), QStringLiteral("0"));

    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(auxPath(), {"serve", "Settings", "ShowTime"});
    QVERIFY(p.waitForStarted());
    for (int i = 1; i <= 200; ++i) {
        const QString value = QString::number(i % 10);
        p.write(value.toUtf8() + '\n');
        while (!p.canReadLine())
            QVERIFY(p.waitForReadyRead(10000));
        QCOMPARE(p.readLine().trimmed(), QByteArray("ok"));
        QCOMPARE(Store::get("Settings", "ShowTime", {}), value);
    }
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(10000));
}

// The hardest case for a cache: another program changes the file in place to
// the same size and the modification time stays as it was, as two saves
// within one clock tick of the file system leave it.
static void changeInPlaceKeepingStat(const QByteArray& from, const QByteArray& to) {
    const QByteArray path = QFile::encodeName(testEnv.storeFile());
    struct stat before {};
    QCOMPARE(::stat(path.constData(), &before), 0);

    QByteArray bytes = readStoreFile();
    QVERIFY(bytes.contains(from));
    QCOMPARE(from.size(), to.size());
    bytes.replace(from, to);
    {
        QFile f(testEnv.storeFile());
        QVERIFY(f.open(QIODevice::ReadWrite)); // in place: the inode stays
        QCOMPARE(f.write(bytes), bytes.size());
    }
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);

    struct stat after {};
    QCOMPARE(::stat(path.constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_size, before.st_size);
    QCOMPARE(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

void TestStore::sameSizeChangeWithUnchangedStatIsSeen() {
    QVERIFY(Store::save("Alarm", "Time", "07:30:00"));
    QVERIFY(Store::save("Alarm", "Type", "0"));
    QCOMPARE(Store::get("Alarm", "Time", {}), QStringLiteral("07:30:00"));

    changeInPlaceKeepingStat("07:30:00", "08:45:00");
    QCOMPARE(Store::get("Alarm", "Time", {}), QStringLiteral("08:45:00"));

    // A save merges into the file as it is now, not as it was last read.
    changeInPlaceKeepingStat("08:45:00", "09:15:00");
    QVERIFY(Store::save("Alarm", "Type", "1"));
    QCOMPARE(getInOtherProcess("Alarm", "Time", {}), QStringLiteral("09:15:00"));
    QCOMPARE(getInOtherProcess("Alarm", "Type", {}), QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
