#include "inireader.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

static TestEnv testEnv;

class TstIniReader : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_count = 0;

    QString writeFile(const QByteArray& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("f%1.ini").arg(++m_count));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void readsValues_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray skin = "[Skin]\nName=Brass\nEmpty=\nBlank=   \n";
        QTest::newRow("plain") << skin << "Skin"
                               << "Name"
                               << "Brass";
        QTest::newRow("missing section") << skin << "Info"
                                         << "Name"
                                         << "ERROR";
        QTest::newRow("missing key") << skin << "Skin"
                                     << "Author"
                                     << "ERROR";
        QTest::newRow("empty key name") << QByteArray("[Skin]\n=x\n") << "Skin"
                                        << ""
                                        << "ERROR";
        QTest::newRow("blank key name") << QByteArray("[Skin]\n=x\n") << "Skin"
                                        << "  "
                                        << "ERROR";
        QTest::newRow("empty value") << skin << "Skin"
                                     << "Empty"
                                     << "ERROR";
        QTest::newRow("value of blanks") << skin << "Skin"
                                         << "Blank"
                                         << "ERROR";
        QTest::newRow("empty file") << QByteArray() << "Skin"
                                    << "Name"
                                    << "ERROR";

        // Names: case-free, without surrounding blanks on either side.
        QTest::newRow("case-free names") << QByteArray("[sKIN]\nnAME=x\n") << "SKIN"
                                         << "name"
                                         << "x";
        QTest::newRow("blanks around names")
            << QByteArray("  [ Skin\t]  \n\t Name  =x\n") << " Skin "
            << "Name\t"
            << "x";
        QTest::newRow("blank inside name counts") << QByteArray("[Skin]\nPic ture=x\n") << "Skin"
                                                  << "Picture"
                                                  << "ERROR";

        // Values: trimmed, one pair of quotes removed, leading spaces removed.
        QTest::newRow("blanks around value") << QByteArray("[S]\nk=  \t two words \t \n") << "S"
                                             << "k"
                                             << "two words";
        QTest::newRow("double quotes") << QByteArray("[S]\nk=\"quoted\"\n") << "S"
                                       << "k"
                                       << "quoted";
        QTest::newRow("single quotes") << QByteArray("[S]\nk='quoted'\n") << "S"
                                       << "k"
                                       << "quoted";
        QTest::newRow("quoted, leading spaces") << QByteArray("[S]\nk=\"   x  \"\n") << "S"
                                                << "k"
                                                << "x  ";
        QTest::newRow("quoted spaces only") << QByteArray("[S]\nk=\"   \"\n") << "S"
                                            << "k"
                                            << "";
        QTest::newRow("empty quotes") << QByteArray("[S]\nk=\"\"\n") << "S"
                                      << "k"
                                      << "ERROR";
        QTest::newRow("one pair only") << QByteArray("[S]\nk=\"\"x\"\"\n") << "S"
                                       << "k"
                                       << "\"x\"";
        QTest::newRow("mismatched quotes") << QByteArray("[S]\nk=\"x'\n") << "S"
                                           << "k"
                                           << "\"x'";
        QTest::newRow("lone quote") << QByteArray("[S]\nk=\"\n") << "S"
                                    << "k"
                                    << "\"";
        QTest::newRow("equals in value") << QByteArray("[S]\nk=a=b\n") << "S"
                                         << "k"
                                         << "a=b";
        QTest::newRow("semicolon in value") << QByteArray("[S]\nk=a ; b\n") << "S"
                                            << "k"
                                            << "a ; b";
        QTest::newRow("literal ERROR") << QByteArray("[S]\nk=ERROR\n") << "S"
                                       << "k"
                                       << "ERROR";

        // Line structure.
        QTest::newRow("CRLF") << QByteArray("[S]\r\nk=v\r\nm=w\r\n") << "S"
                              << "m"
                              << "w";
        QTest::newRow("CRLF value has no CR") << QByteArray("[S]\r\nk=v\r\n") << "S"
                                              << "k"
                                              << "v";
        QTest::newRow("lone CR") << QByteArray("[S]\rk=v\rm=w") << "S"
                                 << "m"
                                 << "w";
        QTest::newRow("no final line end") << QByteArray("[S]\nk=v") << "S"
                                           << "k"
                                           << "v";
        QTest::newRow("semicolon comment") << QByteArray("[S]\n;k=c\nk=v\n") << "S"
                                           << "k"
                                           << "v";
        QTest::newRow("hash comment") << QByteArray("[S]\n  # k=c\nk=v\n") << "S"
                                      << "k"
                                      << "v";
        QTest::newRow("line without equals") << QByteArray("[S]\nk\nk=v\n") << "S"
                                             << "k"
                                             << "v";
        QTest::newRow("key before any section") << QByteArray("k=v\n[S]\n") << "S"
                                                << "k"
                                                << "ERROR";
        QTest::newRow("key of the next section") << QByteArray("[S]\na=1\n[T]\nk=v\n") << "S"
                                                 << "k"
                                                 << "ERROR";
        QTest::newRow("unclosed section header") << QByteArray("[S\nk=v\n") << "S"
                                                 << "k"
                                                 << "v";
        QTest::newRow("text after bracket") << QByteArray("[S] junk\nk=v\n") << "S"
                                            << "k"
                                            << "v";
        QTest::newRow("duplicate key: first wins") << QByteArray("[S]\nk=first\nk=second\n") << "S"
                                                   << "k"
                                                   << "first";
        QTest::newRow("duplicate section: first wins")
            << QByteArray("[S]\nk=first\n[T]\n[s]\nk=second\n") << "S"
            << "k"
            << "first";
        QTest::newRow("duplicate section: later one unread")
            << QByteArray("[S]\na=1\n[S]\nk=v\n") << "S"
            << "k"
            << "ERROR";
        QTest::newRow("NUL ends the line") << QByteArray("[S]\nk=ab\0cd\n", 12) << "S"
                                           << "k"
                                           << "ab";

        // Character sets.
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF[Skin]\nName=x\n") << "Skin"
                                   << "Name"
                                   << "x";
        QTest::newRow("UTF-8 value") << QByteArray("[S]\nk=Z\xC3\xBCrich \xE2\x82\xAC\n") << "S"
                                     << "k" << QString::fromUtf8("Z\u00FCrich \u20AC");
        QTest::newRow("Latin-1 value") << QByteArray("[S]\nk=Z\xFCrich\n") << "S"
                                       << "k" << QString::fromUtf8("Z\u00FCrich");
        QTest::newRow("Latin-1 elsewhere, ASCII value")
            << QByteArray("[S]\nk=Cr\xE8me\nm=\xC3\xBC\n") << "S"
            << "m" << QString::fromUtf8("\u00C3\u00BC");
        QTest::newRow("BOM, then Latin-1") << QByteArray("\xEF\xBB\xBF[S]\nk=\xFC\n") << "S"
                                           << "k" << QString::fromUtf8("\u00FC");
        QTest::newRow("Latin-1 no-break space kept") << QByteArray("[S]\nk=\xA0x\xA0\n") << "S"
                                                     << "k" << QString::fromUtf8("\u00A0x\u00A0");
        QTest::newRow("case-free non-ASCII names")
            << QByteArray("[\xC3\x84ra]\nk=v\n") << QString::fromUtf8("\u00E4RA") << "k"
            << "v";
        QTest::newRow("UTF-16LE with BOM")
            << QByteArray("\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0", 16) << "S"
            << "k"
            << "v";
    }
    void readsValues() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(readIniValue(writeFile(content), section, key), expected);
        QCOMPARE(readIniValueFromBytes(content, section, key), expected);
    }

    void cutsLongValues_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        const QString x250(250, u'x');
        QTest::newRow("250 characters") << x250 << x250.left(199);
        QTest::newRow("199 characters") << x250.left(199) << x250.left(199);
        QTest::newRow("quoted 250") << "\"" + x250 + "\"" << x250.left(199);
        // Cut first, then leading spaces go: 150 spaces inside quotes.
        QTest::newRow("quoted spaces, then text")
            << "\"" + QString(150, u' ') + x250 + "\"" << x250.left(49);
        // 199 characters outside the 16-bit range are 398 code units; none is split.
        const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
        QTest::newRow("no split surrogate") << face.repeated(250) << face.repeated(199);
        QTest::newRow("pair at the cut")
            << x250.left(198) + face.repeated(2) << x250.left(198) + face;
    }
    void cutsLongValues() {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        const QByteArray content = "[S]\nk=" + value.toUtf8() + "\n";
        QCOMPARE(readIniValue(writeFile(content), "S", "k"), expected);
    }

    void unreadableFiles() {
        QCOMPARE(readIniValue(m_dir.filePath("missing.ini"), "S", "k"), QString("ERROR"));
        QCOMPARE(readIniValue(QString(), "S", "k"), QString("ERROR"));
        QCOMPARE(readIniValue(m_dir.path(), "S", "k"), QString("ERROR"));
        // A FIFO would block a reader forever: it must not be opened.
        const QString fifo = m_dir.filePath("fifo.ini");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(readIniValue(fifo, "S", "k"), QString("ERROR"));
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(readIniValue("/dev/zero", "S", "k"), QString("ERROR"));
    }

    void hugeAndBinaryFiles() {
        // A large file: values found quickly, a missing one reads as absent,
        // and the part beyond the read limit is ignored.
        QByteArray big = "[S]\nk=v\n";
        const QByteArray junkLine = QByteArray(1000, 'j') + '\n';
        while (big.size() < kIniFileMaxBytes + 4096)
            big += junkLine;
        big += "[T]\nk=late\n";
        const QString path = writeFile(big);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(readIniValue(path, "S", "k"), QString("v"));
        QCOMPARE(readIniValue(path, "S", "absent"), QString("ERROR"));
        QCOMPARE(readIniValue(path, "T", "k"), QString("ERROR"));
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));

        // Every byte value, then an ordinary section.
        QByteArray junk;
        for (int round = 0; round < 64; ++round)
            for (int b = 0; b < 256; ++b)
                junk += static_cast<char>((b * 7 + round) & 0xFF);
        junk += "\n[S]\nk=v\n";
        QCOMPARE(readIniValueFromBytes(junk, "S", "k"), QString("v"));
        QCOMPARE(readIniValueFromBytes(junk.left(16384), "S", "k"), QString("ERROR"));
    }
};

QTEST_GUILESS_MAIN(TstIniReader)
#include "tst_inireader.moc"
