// What the skin browser stores and opens: the valid-skin test, the order and
// failure of the OK/Apply steps, and which link targets may be opened.
#include "links.h"
#include "skinchoice.h"
#include "skinfixture.h"
#include "store.h"
#include "testenv.h"

#include <QTemporaryDir>
#include <QTest>

static TestEnv testEnv;

class TestSkinChoice : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tmp;

private slots:
    void isValidSkin_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        const QString d = m_tmp.path() + "/skins/";
        Fixture::writeFile(d + "Blue.ini", "[skin]\n");
        Fixture::writeFile(d + ".secret.ini", "[skin]\n");
        QDir().mkpath(d + "folder.ini");
        QTest::newRow("file exists") << d << "Blue.ini" << true;
        QTest::newRow("joined as they stand: no separator added")
            << d.chopped(1) << "Blue.ini" << false;
        QTest::newRow("letter case counts") << d << "blue.ini" << false;
        QTest::newRow("empty dir") << "" << d + "Blue.ini" << false;
        QTest::newRow("empty name") << d + "Blue.ini"
                                    << "" << false;
        QTest::newRow("hidden file") << d << ".secret.ini" << false;
        QTest::newRow("a folder is no skin") << d << "folder.ini" << false;
        QTest::newRow("cancel marker") << "cancel"
                                       << "Blue.ini" << false;
    }
    void isValidSkin() {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(SkinChoice::isValidSkin(dir, name), valid);
    }

    void isSkinSelectedReadsTheStore() {
        testEnv.clearStore();
        QVERIFY(!SkinChoice::isSkinSelected());
        const QString d = m_tmp.path() + "/stored/";
        Fixture::writeFile(d + "s.ini", "[skin]\n");
        Store::save("Skin", "Dir", d);
        QVERIFY(!SkinChoice::isSkinSelected());
        Store::save("Skin", "Name", "s.ini");
        QVERIFY(SkinChoice::isSkinSelected());
    }

    void dirText_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("dir");
        QTest::newRow("separator added") << "/home/u/skins"
                                         << "/home/u/skins/";
        QTest::newRow("not doubled") << "/home/u/skins/"
                                     << "/home/u/skins/";
        QTest::newRow("root") << "/"
                              << "/";
    }
    void dirText() {
        QFETCH(QString, folder);
        QFETCH(QString, dir);
        QCOMPARE(SkinChoice::dirText(folder), dir);
    }

    void picturePath_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("path"); // below the skin's folder
        const QString d = m_tmp.path() + "/pictures/";
        Fixture::writeFile(d + "Face.png", "x");
        Fixture::writeFile(d + "sub/Dial.png", "x");
        QTest::newRow("as written") << "Face.png"
                                    << "Face.png";
        QTest::newRow("other letter case") << "face.PNG"
                                           << "Face.png";
        QTest::newRow("backslash between folders") << "sub\\Dial.png"
                                                   << "sub/Dial.png";
        QTest::newRow("both") << "sub\\dial.png"
                              << "sub/Dial.png";
        QTest::newRow("missing stays as written") << "none.png"
                                                  << "none.png";
        QTest::newRow("wildcards are no pattern") << "*.png"
                                                  << "*.png";
    }
    void picturePath() {
        QFETCH(QString, value);
        QFETCH(QString, path);
        const QString d = m_tmp.path() + "/pictures/";
        QCOMPARE(SkinChoice::picturePath(d, value), d + path);
    }

    // OK and Apply write Dir, Name, Type, then signal; the first failure ends
    // the steps, and what was written stays written.
    void storeChoiceOrderAndFailures_data() {
        QTest::addColumn<int>("failingStep");
        QTest::addColumn<QStringList>("done");
        QTest::addColumn<bool>("result");
        const QStringList all{"Dir=/s/", "Name=Blue.ini", "Type=dm", "F2"};
        QTest::newRow("all work") << -1 << all << true;
        QTest::newRow("Dir fails") << 0 << all.mid(0, 1) << false;
        QTest::newRow("Name fails") << 1 << all.mid(0, 2) << false;
        QTest::newRow("Type fails") << 2 << all.mid(0, 3) << false;
        QTest::newRow("no clock") << 3 << all << false;
    }
    void storeChoiceOrderAndFailures() {
        QFETCH(int, failingStep);
        QFETCH(QStringList, done);
        QFETCH(bool, result);
        QStringList log;
        SkinChoice::Steps steps;
        steps.save = [&](const QString& key, const QString& value) {
            log.append(key + "=" + value);
            return log.size() - 1 != failingStep;
        };
        steps.signal = [&] {
            log.append("F2");
            return log.size() - 1 != failingStep;
        };
        QCOMPARE(SkinChoice::storeChoice("/s", "Blue.ini", steps), result);
        QCOMPARE(log, done);

        log.clear();
        SkinChoice::storeCancelMarker(steps);
        QCOMPARE(log, QStringList{"Dir=cancel"});
    }

    void realStepsWriteTheStore() {
        testEnv.clearStore();
        Store::save("Skin", "Type", "px");
        // No clock listens in this test: every write is made, the signal fails.
        QVERIFY(!SkinChoice::storeChoice("/skins", "Blue.ini", SkinChoice::realSteps()));
        QCOMPARE(Store::get("Skin", "Dir", "?"), QString("/skins/"));
        QCOMPARE(Store::get("Skin", "Name", "?"), QString("Blue.ini"));
        QCOMPARE(Store::get("Skin", "Type", "?"), QString("dm"));
    }

    void safeLinkUrl_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("url"); // empty: refused
        QTest::newRow("https") << "https://example.org/skins"
                               << "https://example.org/skins";
        QTest::newRow("http, scheme in capitals") << "HTTP://example.org"
                                                  << "http://example.org";
        QTest::newRow("www without scheme") << "www.example.org"
                                            << "http://www.example.org";
        QTest::newRow("mailto") << "mailto:me@example.org"
                                << "mailto:me@example.org";
        QTest::newRow("mailto of an absent key") << "mailto:ERROR"
                                                 << "mailto:ERROR";
        QTest::newRow("mailto subject kept") << "mailto:me@example.org?subject=Hi"
                                             << "mailto:me@example.org?subject=Hi";
        QTest::newRow("mailto attachment dropped")
            << "mailto:me@example.org?subject=Hi&attach=/home/u/.ssh/id_rsa"
            << "mailto:me@example.org?subject=Hi";
        QTest::newRow("mailto encoded attachment dropped")
            << "mailto:me@example.org?ATT%41CH=file:///etc/passwd"
            << "mailto:me@example.org";
        QTest::newRow("file") << "file:///etc/passwd"
                              << "";
        QTest::newRow("program path") << "/usr/bin/xterm"
                                      << "";
        QTest::newRow("relative program") << "xterm -e sh"
                                          << "";
        QTest::newRow("javascript") << "javascript:alert(1)"
                                    << "";
        QTest::newRow("other scheme") << "ftp://example.org/"
                                      << "";
        QTest::newRow("desktop file scheme") << "smb://host/share"
                                             << "";
        QTest::newRow("http without host") << "http:///etc/passwd"
                                           << "";
        QTest::newRow("absent value") << "ERROR"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void safeLinkUrl() {
        QFETCH(QString, target);
        QFETCH(QString, url);
        QCOMPARE(Links::safeLinkUrl(target).toString(), url);

        Fixture::FakeOpener opener;
        QCOMPARE(Links::openLink(target), !url.isEmpty());
        QCOMPARE(opener.opened.size(), url.isEmpty() ? 0 : 1);
    }
};

QTEST_MAIN(TestSkinChoice)
#include "tst_skinchoice.moc"
