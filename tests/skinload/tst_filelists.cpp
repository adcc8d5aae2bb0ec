// The drive, folder and file lists: which mounts are drives, what each list
// shows, and when each raises its change or click event.
#include "filelists.h"
#include "skinfixture.h"
#include "testenv.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

static TestEnv testEnv;

Q_DECLARE_METATYPE(QList<MountInfo>)

class TestFileLists : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_root; // clean path of m_tmp
    QString m_oldCwd;

    QString at(const QString& relative) const { return m_root + "/" + relative; }

private slots:
    void initTestCase() {
        QVERIFY(m_tmp.isValid());
        m_root = QDir::cleanPath(m_tmp.path());
        m_oldCwd = QDir::currentPath();
        // Two "drives" below the temporary folder, the second one not ready.
        QDir().mkpath(at("a/skins/Deep"));
        QDir().mkpath(at("a/skins/apple"));
        QDir().mkpath(at("a/skins/.hidden"));
        QDir().mkpath(at("b"));
        QDir().mkpath(at("work"));
        DriveListBox::setVolumeSource([this] {
            return QList<Volume>{{"/", "", true}, {at("a"), "Stick", true}, {at("b"), "", false}};
        });
        QDir::setCurrent(at("work"));
    }
    void cleanupTestCase() {
        DriveListBox::setVolumeSource(nullptr);
        QDir::setCurrent(m_oldCwd);
    }

    void drivesFromMounts_data() {
        QTest::addColumn<QList<MountInfo>>("mounts");
        QTest::addColumn<QStringList>("roots");
        const auto m = [](const char* root, const char* type, bool isDir = true) {
            return MountInfo{QString::fromLatin1(root), type, QString(), true, isDir};
        };
        QTest::newRow("root first, others by path")
            << QList<MountInfo>{m("/mnt/z", "ext4"), m("/home", "ext4"), m("/", "ext4")}
            << QStringList{"/", "/home", "/mnt/z"};
        QTest::newRow("pseudo and memory file systems left out")
            << QList<MountInfo>{m("/", "overlay"), m("/proc", "proc"), m("/run", "tmpfs"),
                                m("/snap/core/1", "squashfs"), m("/media/u/USB", "vfat")}
            << QStringList{"/", "/media/u/USB"};
        QTest::newRow("kernel folders left out whatever the type")
            << QList<MountInfo>{m("/", "ext4"), m("/sys/fs/bpf", "ext4"), m("/dev/x", "ext4")}
            << QStringList{"/"};
        QTest::newRow("file mounts, repeats and relative roots left out")
            << QList<MountInfo>{m("/", "ext4"), m("/etc/hosts", "ext4", false), m("/home/", "ext4"),
                                m("/home", "ext4"), m("rel", "ext4")}
            << QStringList{"/", "/home"};
        QTest::newRow("root kept even of an odd type")
            << QList<MountInfo>{m("/", "tmpfs")} << QStringList{"/"};
    }
    void drivesFromMounts() {
        QFETCH(QList<MountInfo>, mounts);
        QFETCH(QStringList, roots);
        QStringList got;
        for (const Volume& v : ::drivesFromMounts(mounts))
            got.append(v.root);
        QCOMPARE(got, roots);
    }

    void systemDrivesStartWithRoot() {
        const QList<Volume> drives = systemDrives();
        QVERIFY(!drives.isEmpty());
        QCOMPARE(drives.first().root, QString("/"));
    }

    void driveOfPath_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("drive");
        QTest::newRow("deepest root wins") << "/home/u/skins/"
                                           << "/home";
        QTest::newRow("the root itself") << "/home"
                                         << "/home";
        QTest::newRow("a longer name is not inside") << "/homer/x"
                                                     << "/";
        QTest::newRow("unclean path") << "/home/../etc"
                                      << "/";
        QTest::newRow("relative") << "skins/"
                                  << "";
    }
    void driveOfPath() {
        QFETCH(QString, path);
        QFETCH(QString, drive);
        const QList<Volume> drives{{"/", "", true}, {"/home", "", true}};
        QCOMPARE(::driveOfPath(drives, path), drive);
    }

    void driveListChangesAndCurrentFolders() {
        DriveListBox box;
        QCOMPARE(box.drive(), QString("/")); // the working folder's drive
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.itemText(1), at("a") + " [Stick]");
        QSignalSpy changed(&box, &DriveListBox::changed);

        // Each drive's current folder: the working folder on its own drive,
        // the root on the others.
        QCOMPARE(box.currentFolderOf("/"), at("work"));
        QCOMPARE(box.currentFolderOf(at("a")), at("a"));

        // Set from a text: the drive that holds the path; a change event only
        // when the drive changes.
        QVERIFY(box.setDrive(at("a/skins/")));
        QCOMPARE(box.drive(), at("a"));
        QCOMPARE(box.currentIndex(), 1);
        QCOMPARE(changed.count(), 1);
        QVERIFY(box.setDrive(at("a")));
        QCOMPARE(changed.count(), 1);

        // A drive that is not ready is not taken.
        QVERIFY(!box.setDrive(at("b/x")));
        QCOMPARE(box.drive(), at("a"));
        QCOMPARE(changed.count(), 1);

        // The folder list moving on shows its drive and is remembered, without
        // a change event.
        box.followFolder(at("a/skins/Deep"));
        QCOMPARE(box.currentFolderOf(at("a")), at("a/skins/Deep"));
        box.followFolder(at("work"));
        QCOMPARE(box.drive(), QString("/"));
        QCOMPARE(box.currentIndex(), 0);
        QCOMPARE(changed.count(), 1);
    }

    void driveListUserPicks() {
        DriveListBox box;
        QSignalSpy changed(&box, &DriveListBox::changed);
        QSignalSpy notReady(&box, &DriveListBox::notReady);

        box.setCurrentIndex(1);
        emit box.activated(1);
        QCOMPARE(box.drive(), at("a"));
        QCOMPARE(changed.count(), 1);

        // A drive that cannot be read: the list goes back to where it was.
        box.setCurrentIndex(2);
        emit box.activated(2);
        QCOMPARE(box.drive(), at("a"));
        QCOMPARE(box.currentIndex(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(notReady.count(), 1);
        QCOMPARE(notReady.first().first().toString(), at("b"));
    }

    void dirListRows() {
        DirListBox list;
        QVERIFY(list.setPath(at("a/skins/")));
        QCOMPARE(list.path(), at("a/skins"));

        // Ancestors from "/" down to the folder, then its visible subfolders
        // (letter case ignored in the order), one level deeper.
        const QStringList parts = at("a/skins").split('/', Qt::SkipEmptyParts);
        const int current = parts.size();
        QCOMPARE(list.count(), current + 1 + 2);
        QCOMPARE(list.item(0)->text(), QString("/"));
        QCOMPARE(list.rowPath(0), QString("/"));
        QCOMPARE(list.rowLevel(0), 0);
        QCOMPARE(list.item(current)->text(), QString("skins"));
        QCOMPARE(list.rowPath(current), at("a/skins"));
        QCOMPARE(list.rowLevel(current), current);
        QCOMPARE(list.currentRow(), current);
        QCOMPARE(list.item(current + 1)->text(), QString("apple"));
        QCOMPARE(list.item(current + 2)->text(), QString("Deep"));
        QCOMPARE(list.rowPath(current + 2), at("a/skins/Deep"));
        QCOMPARE(list.rowLevel(current + 2), current + 1);

        QVERIFY(list.setPath("/"));
        QCOMPARE(list.item(0)->text(), QString("/"));
        QCOMPARE(list.rowLevel(1), 1);
        QVERIFY(list.rowPath(1).startsWith('/'));
        QVERIFY(!list.rowPath(1).startsWith("//"));
    }

    void dirListChanges() {
        DirListBox list;
        QCOMPARE(list.path(), at("work")); // starts at the working folder
        QSignalSpy changed(&list, &DirListBox::changed);
        QSignalSpy cannotOpen(&list, &DirListBox::cannotOpen);

        QVERIFY(list.setPath(at("a/skins")));
        QCOMPARE(changed.count(), 1);
        QVERIFY(list.setPath(at("a/skins/"))); // the same folder: no change
        QCOMPARE(changed.count(), 1);
        QVERIFY(!list.setPath(at("missing")));
        QCOMPARE(list.path(), at("a/skins"));
        QCOMPARE(changed.count(), 1);

        // Opening a row moves there; keyboard Enter opens the current row.
        const int current = list.currentRow();
        QVERIFY(list.openRow(current + 2));
        QCOMPARE(list.path(), at("a/skins/Deep"));
        QCOMPARE(changed.count(), 2);
        list.setCurrentRow(list.currentRow() - 1);
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(list.path(), at("a/skins"));
        QCOMPARE(changed.count(), 3);

        // A subfolder that vanished meanwhile: the list stays, the user is told.
        QDir().mkpath(at("a/skins/gone"));
        list.setPath(at("a/skins"));
        int goneRow = -1;
        for (int i = 0; i < list.count(); ++i)
            if (list.item(i)->text() == "gone")
                goneRow = i;
        QVERIFY(goneRow > 0);
        QDir().rmdir(at("a/skins/gone"));
        QVERIFY(!list.openRow(goneRow));
        QCOMPARE(list.path(), at("a/skins"));
        QCOMPARE(cannotOpen.count(), 1);
    }

    void fileListShowsVisibleMatchingFiles() {
        const QString dir = at("files");
        for (const char* name : {"b.INI", "a.ini", ".hidden.ini", "notes.txt", "C.ini"})
            Fixture::writeFile(dir + "/" + name, "[skin]\n");
        QDir().mkpath(dir + "/folder.ini");
        QFile::link(dir + "/nowhere", dir + "/broken.ini");
        QFile::link(dir + "/a.ini", dir + "/link.ini");

        FileListBox list;
        list.setPattern("*.ini");
        QVERIFY(list.setPath(dir + "/"));
        QCOMPARE(list.path(), dir);
        QStringList rows;
        for (int i = 0; i < list.listCount(); ++i)
            rows.append(list.list(i));
        QCOMPARE(rows, (QStringList{"a.ini", "b.INI", "C.ini", "link.ini"}));
        QCOMPARE(list.list(99), QString());

        QVERIFY(!list.setPath(at("missing")));
        QCOMPARE(list.listCount(), 0);
    }

    void fileListClickEvents() {
        const QString dir = at("clicks");
        for (const char* name : {"one.ini", "two.ini", "three.ini"})
            Fixture::writeFile(dir + "/" + name, "[skin]\n");
        FileListBox list;
        list.setPattern("*.ini");
        list.resize(200, 200);
        list.show();
        QSignalSpy clicked(&list, &FileListBox::rowClicked);

        list.setPath(dir);
        QCOMPARE(list.listIndex(), -1);
        QCOMPARE(list.fileName(), QString());
        QCOMPARE(clicked.count(), 0);

        // By program.
        list.setListIndex(1);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(list.fileName(), QString("three.ini"));
        list.setListIndex(1); // already selected: nothing new
        QCOMPARE(clicked.count(), 1);

        // By keyboard and by mouse, also on the row already selected.
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.listIndex(), 2);
        QCOMPARE(clicked.count(), 2);
        const QPoint rowZero = list.visualItemRect(list.item(0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowZero);
        QCOMPARE(list.listIndex(), 0);
        QCOMPARE(clicked.count(), 3);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowZero);
        QCOMPARE(clicked.count(), 4);

        // Setting the folder refills it with no row selected and no event.
        list.setPath(dir);
        QCOMPARE(list.listIndex(), -1);
        QCOMPARE(clicked.count(), 4);
        list.setListIndex(-1);
        QCOMPARE(clicked.count(), 4);
    }
};

QTEST_MAIN(TestFileLists)
#include "tst_filelists.moc"
