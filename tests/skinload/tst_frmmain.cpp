// The skin browser window: its controls, its load from the store, the buttons
// and the close box against the store and a listening clock, the preview, the
// double-click mode, the link colours and the link clicks.
#include "filelists.h"
#include "frmmain.h"
#include "keysignal.h"
#include "previewbox.h"
#include "region.h"
#include "skinfixture.h"
#include "store.h"
#include "testenv.h"
#include "twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

static TestEnv testEnv;

namespace {

const QString Absent = QStringLiteral("<absent>");

QString stored(const char* key) {
    return Store::get("Skin", key, Absent);
}

int px(int twips) {
    return qRound(twips / twipsPerPixelX());
}
int py(int twips) {
    return qRound(twips / twipsPerPixelY());
}

// Stands in for the running clock: listens for key signals and notes what the
// store held when each key came.
class FakeClock {
public:
    FakeClock()
        : m_receiver(&m_window, [this](int key) {
              keys.append(key);
              storeAtKey = QStringList{stored("Dir"), stored("Name"), stored("Type")};
          }) {
        listening = m_receiver.listen();
    }
    QList<int> keys;
    QStringList storeAtKey;
    bool listening = false;

private:
    QWidget m_window;
    KeySignalReceiver m_receiver;
};

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_tmp;
    QString m_root;
    QString m_skins;  // <root>/skins: the test skins
    QString m_work;   // <root>/work: the working folder
    QString m_drive2; // <root>/drive2: a second drive
    QString m_oldCwd;

    template <typename T> static T* child(const frmMain& w, const char* name) {
        T* found = w.findChild<T*>(QLatin1String(name));
        if (!found)
            qWarning("no child %s", name);
        return found;
    }

    // Walks the lists to the test skins (or `folder`) and selects `name`.
    void selectFile(const frmMain& w, const QString& name, QString folder = QString()) {
        if (folder.isEmpty())
            folder = m_skins;
        child<DirListBox>(w, "dirSkin")->setPath(folder);
        auto* files = child<FileListBox>(w, "filSkin");
        for (int row = 0; row < files->listCount(); ++row)
            if (files->list(row) == name)
                files->setListIndex(row);
        QCOMPARE(files->fileName(), name);
    }

    static QImage image(const QString& path) {
        return QImage(path).convertToFormat(QImage::Format_RGB32);
    }

    // The preview shows `path`'s picture, cut to its outline.
    static bool previewShows(const frmMain& w, const QString& path) {
        const auto* box = child<PreviewBox>(w, "imgPreview");
        const QImage expected = image(path);
        const bool same = box->picture().convertToFormat(QImage::Format_RGB32) == expected;
        const bool shaped = (box->shape() ^ bitmapToRegion(expected, 0xFF00FF)).isEmpty();
        if (!same || !shaped)
            qWarning("preview is not %s (picture %d, shape %d)", qPrintable(path), same, shaped);
        return same && shaped;
    }

    static QStringList captions(const frmMain& w) {
        QStringList texts;
        for (const char* name : {"lblName", "lblAuthor", "lblEmail", "lblWeb", "lblAbout"})
            texts.append(child<QLabel>(w, name)->text());
        return texts;
    }

    static void mouseMove(QWidget* widget) {
        const QPoint at = widget->rect().center();
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    static void doubleClickPreview(const frmMain& w) {
        QTest::mouseDClick(child<PreviewBox>(w, "imgPreview"), Qt::LeftButton, {}, QPoint(15, 15));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_tmp.isValid());
        m_root = QDir::cleanPath(m_tmp.path());
        m_skins = m_root + "/skins";
        m_work = m_root + "/work";
        m_drive2 = m_root + "/drive2";
        m_oldCwd = QDir::currentPath();

        Fixture::writeFullSkin(m_skins, "Alpha", {90, 40}, {30, 30});
        Fixture::writeFullSkin(m_skins, "Beta", {60, 50}, {40, 20});
        Fixture::writeFullSkin(m_drive2 + "/deep/skins", "Gamma");
        Fixture::writeFile(
            m_skins + "/NoImage.ini",
            Fixture::skinText({"skin/name=No Image", "skin/author=Someone",
                               "skin/email=n@example.org", "skin/www=https://example.org/n",
                               "skin/about=Texts only"}));
        Fixture::writeFile(m_skins + "/NoAuthor.ini",
                           Fixture::skinText({"skin/name=No Author", "skin/email=a@example.org",
                                              "skin/www=https://example.org/a", "skin/about=x",
                                              "background/image=Alpha.png"}));
        Fixture::writeFile(m_skins + "/Missing.ini",
                           Fixture::skinText({"skin/name=Missing", "background/image=none.png"}));
        Fixture::writeFile(m_skins + "/Broken.ini",
                           Fixture::skinText({"skin/name=Broken", "background/image=Broken.ini"}));
        Fixture::writeFile(m_skins + "/NoHide.ini",
                           Fixture::skinText({"skin/name=No Hide", "background/image=Beta.png"}));
        Fixture::writeFile(m_skins + "/Long.ini",
                           Fixture::skinText({"skin/about=" + QString(190, 'W')}));
        Fixture::writeFile(
            m_skins + "/Hostile.ini",
            Fixture::skinText({"skin/name=<b>Bold</b>", "skin/www=file:///etc/passwd"}));
        Fixture::writePicture(m_skins + "/Big.png", Fixture::picture({600, 400}, Qt::darkGreen));
        Fixture::writeFile(m_skins + "/Big.ini", Fixture::skinText({"background/image=Big.png"}));
        QImage blank(40, 20, QImage::Format_RGB32);
        blank.fill(QColor(255, 0, 255));
        Fixture::writePicture(m_skins + "/Blank.png", blank);
        Fixture::writeFile(m_skins + "/Blank.ini",
                           Fixture::skinText({"background/image=Blank.png"}));
        Fixture::writeFile(m_skins + "/notes.txt", "not a skin");
        Fixture::writeFullSkin(m_work, "Work");

        DriveListBox::setVolumeSource([this] {
            return QList<Volume>{
                {"/", "", true}, {m_drive2, "Second", true}, {m_root + "/absent", "", false}};
        });
        QDir::setCurrent(m_work);
    }
    void cleanupTestCase() {
        DriveListBox::setVolumeSource(nullptr);
        QDir::setCurrent(m_oldCwd);
    }
    void init() { testEnv.clearStore(); }

    // -----------------------------------------------------------------------
    // The window

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips"); // width -1: sized to its text
        QTest::newRow("fraAbout") << "fraAbout"
                                  << "About Skin" << QRect(60, 2235, 7380, 2115);
        QTest::newRow("imgPreview") << "imgPreview"
                                    << "" << QRect(4260, 15, 3180, 2175);
        QTest::newRow("filSkin") << "filSkin"
                                 << "" << QRect(2130, 15, 2085, 2175);
        QTest::newRow("dirSkin") << "dirSkin"
                                 << "" << QRect(150, 15, 1950, 1665);
        QTest::newRow("drvSkin") << "drvSkin"
                                 << "" << QRect(135, 1860, 1965, 315);
        QTest::newRow("lblName") << "lblName"
                                 << "Name" << QRect(285, 285, -1, 0);
        QTest::newRow("lblAuthor") << "lblAuthor"
                                   << "Author" << QRect(375, 555, -1, 0);
        QTest::newRow("lblEmail") << "lblEmail"
                                  << "you@example.org" << QRect(360, 870, -1, 0);
        QTest::newRow("lblWeb") << "lblWeb"
                                << "https://example.org/" << QRect(360, 1230, -1, 0);
        QTest::newRow("lblAbout") << "lblAbout"
                                  << "About the skin." << QRect(525, 1620, -1, 0);
        QTest::newRow("cmdApply") << "cmdApply"
                                  << "&Apply" << QRect(6390, 4410, 1050, 435);
        QTest::newRow("cmdCancel") << "cmdCancel"
                                   << "&Cancel" << QRect(5280, 4410, 1050, 435);
        QTest::newRow("cmdOK") << "cmdOK"
                               << "&OK" << QRect(4155, 4410, 1050, 435);
    }
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        frmMain w;
        auto* control = w.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->pos(), QPoint(px(twips.x()), py(twips.y())));
        if (twips.width() >= 0)
            QCOMPARE(control->size(), QSize(px(twips.width()), py(twips.height())));
        QCOMPARE(control->font().family(), QString("MS Sans Serif"));
        QCOMPARE(control->font().pointSizeF(), 8.25);
        if (auto* label = qobject_cast<QLabel*>(control)) {
            QCOMPARE(label->text(), caption);
            QCOMPARE(label->size(), label->sizeHint()); // sized to its text
            QCOMPARE(label->parentWidget(), w.findChild<QWidget*>("fraAbout"));
            QCOMPARE(label->font().bold(), name == "lblName");
            const bool link = name == "lblEmail" || name == "lblWeb";
            QCOMPARE(label->font().underline(), link);
            if (link)
                QCOMPARE(frmMain::labelColour(label), frmMain::LinkBlue);
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            QCOMPARE(button->text(), caption);
            QVERIFY(!button->isDefault());
        } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
            QCOMPARE(frame->title(), caption);
        }
    }

    void window() {
        frmMain w;
        QCOMPARE(w.objectName(), QString("frmMain"));
        QCOMPARE(w.windowTitle(), QString("Load Skin"));
        QVERIFY(!w.windowIcon().isNull());
        QCOMPARE(w.size(), QSize(px(7485), py(4875)));
        QCOMPARE(w.minimumSize(), w.maximumSize()); // fixed border
        QVERIFY(w.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(child<FileListBox>(w, "filSkin")->pattern(), QString("*.ini"));
        QCOMPARE(child<PreviewBox>(w, "imgPreview")->toolTip(),
                 QString("Double click to change modes."));
        QVERIFY(child<PreviewBox>(w, "imgPreview")->picture().isNull());

        // Tab order among the controls that take the focus.
        QStringList order;
        QWidget* next = child<QWidget>(w, "filSkin");
        for (int i = 0; i < 6; ++i) {
            order.append(next->objectName());
            do
                next = next->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(order,
                 (QStringList{"filSkin", "dirSkin", "drvSkin", "cmdApply", "cmdCancel", "cmdOK"}));
    }

    // Enter presses only the focused button; Escape does nothing.
    void keyboard() {
        Fixture::FakeMessages messages;
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        child<QWidget>(w, "filSkin")->setFocus();
        QTest::keyClick(child<QWidget>(w, "filSkin"), Qt::Key_Return);
        QCOMPARE(messages.shown.size(), 0);
        child<QWidget>(w, "cmdApply")->setFocus();
        QTest::keyClick(child<QWidget>(w, "cmdApply"), Qt::Key_Return);
        QCOMPARE(messages.shown.size(), 1); // Apply with nothing chosen
        QCOMPARE(messages.shown.first().text, QString("Please choose a skin first."));
    }

    // -----------------------------------------------------------------------
    // Load

    void loadValidStoredSkin_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("drive");
        QTest::newRow("same drive") << m_skins + "/"
                                    << "Beta.ini"
                                    << "/";
        QTest::newRow("other drive") << m_drive2 + "/deep/skins/"
                                     << "Gamma.ini" << m_drive2;
        QTest::newRow("unclean folder") << m_skins + "/../skins//"
                                        << "Beta.ini"
                                        << "/";
    }
    void loadValidStoredSkin() {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(QString, drive);
        Store::save("Skin", "Dir", dir);
        Store::save("Skin", "Name", name);
        frmMain w;
        QVERIFY(w.isSkinSelected());
        const QString folder = QDir::cleanPath(dir);
        QCOMPARE(child<DriveListBox>(w, "drvSkin")->drive(), drive);
        QCOMPARE(child<DirListBox>(w, "dirSkin")->path(), folder);
        auto* files = child<FileListBox>(w, "filSkin");
        QCOMPARE(files->path(), folder);
        QCOMPARE(files->fileName(), name);
        const QString skin = name.chopped(4);
        QCOMPARE(captions(w), (QStringList{skin + " Skin", skin + " Author", skin + "@example.org",
                                           "https://example.org/" + skin, "About " + skin}));
        QVERIFY(previewShows(w, folder + "/" + skin + ".png"));
        QVERIFY(!w.hiddenPictureMode());
    }

    void loadWithoutValidSkin_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder"); // where the lists open
        QTest::newRow("empty store") << Absent << Absent << m_work;
        QTest::newRow("empty Dir") << ""
                                   << "Beta.ini" << m_work;
        QTest::newRow("empty Name") << m_skins + "/"
                                    << "" << m_work;
        QTest::newRow("no such file") << m_skins + "/"
                                      << "Gone.ini" << m_work;
        QTest::newRow("Dir without separator") << m_skins << "Beta.ini" << m_work;
        QTest::newRow("letter case differs") << m_skins + "/"
                                             << "beta.ini" << m_work;
        QTest::newRow("cancel marker") << "cancel"
                                       << "Beta.ini" << m_work;
        // Valid, but no row shows it: the lists move, nothing is selected.
        QTest::newRow("valid, not listed") << m_skins + "/"
                                           << "notes.txt" << m_skins;
    }
    void loadWithoutValidSkin() {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(QString, folder);
        if (dir != Absent)
            Store::save("Skin", "Dir", dir);
        if (name != Absent)
            Store::save("Skin", "Name", name);
        frmMain w;
        QCOMPARE(child<DirListBox>(w, "dirSkin")->path(), folder);
        QCOMPARE(child<FileListBox>(w, "filSkin")->path(), folder);
        QCOMPARE(child<FileListBox>(w, "filSkin")->listIndex(), -1);
        QCOMPARE(captions(w), (QStringList{"Name", "Author", "you@example.org",
                                           "https://example.org/", "About the skin."}));
        QVERIFY(child<PreviewBox>(w, "imgPreview")->picture().isNull());
    }

    // The user walks drives and folders; the lists follow each other.
    void walkDrivesAndFolders() {
        Fixture::FakeMessages messages;
        frmMain w;
        auto* drives = child<DriveListBox>(w, "drvSkin");
        auto* dirs = child<DirListBox>(w, "dirSkin");
        auto* files = child<FileListBox>(w, "filSkin");
        QCOMPARE(files->path(), m_work);
        QCOMPARE(files->list(0), QString("Work.ini"));

        // Another drive: the folder list goes to its current folder (its root).
        drives->setCurrentIndex(1);
        emit drives->activated(1);
        QCOMPARE(dirs->path(), m_drive2);
        QCOMPARE(files->path(), m_drive2);
        QVERIFY(dirs->openRow(dirs->currentRow() + 1)); // "deep"
        QVERIFY(dirs->openRow(dirs->currentRow() + 1)); // "skins"
        QCOMPARE(files->path(), m_drive2 + "/deep/skins");
        QCOMPARE(files->list(0), QString("Gamma.ini"));
        files->setListIndex(0);
        QCOMPARE(child<QLabel>(w, "lblName")->text(), QString("Gamma Skin"));

        // Up the folder list out of the drive: the drive list shows "/".
        QVERIFY(dirs->openRow(0));
        QCOMPARE(drives->drive(), QString("/"));
        QCOMPARE(files->path(), QString("/"));
        QCOMPARE(files->listIndex(), -1);

        // Back to the second drive: where its lists were last.
        drives->setCurrentIndex(1);
        emit drives->activated(1);
        QCOMPARE(dirs->path(), m_drive2 + "/deep/skins");

        // A drive that is not ready: a message, the lists stay.
        drives->setCurrentIndex(2);
        emit drives->activated(2);
        QCOMPARE(dirs->path(), m_drive2 + "/deep/skins");
        QCOMPARE(drives->drive(), m_drive2);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown.first().title, QString("Drive Not Ready"));
    }

    // -----------------------------------------------------------------------
    // The buttons and the close box

    void buttons_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("fileSelected");
        QTest::addColumn<bool>("validStored");
        QTest::addColumn<bool>("clockRuns");
        QTest::addColumn<QString>("message");   // "title|text|icon", or empty
        QTest::addColumn<QStringList>("store"); // Dir, Name, Type afterwards
        QTest::addColumn<bool>("signalled");
        QTest::addColumn<bool>("open");

        const QString warn = "No Skin Selected|Please choose a skin first.|2";
        const QString error = "No Skin Selected|No skin was selected. Dialmere will now be shut "
                              "down if it is running.|3";
        const QStringList chosen{m_skins + "/", "Beta.ini", "dm"};
        const QStringList before{m_skins + "/", "Alpha.ini", "px"}; // a valid skin
        const QStringList none{Absent, "Old.ini", "px"};            // no valid skin
        const QStringList marker{"cancel", "Old.ini", "px"};

        QTest::newRow("OK, clock runs")
            << "ok" << true << true << true << "" << chosen << true << false;
        QTest::newRow("OK, no clock")
            << "ok" << true << false << false << "" << chosen << false << false;
        QTest::newRow("OK, nothing selected")
            << "ok" << false << true << true << warn << before << false << true;
        QTest::newRow("Apply, clock runs")
            << "apply" << true << false << true << "" << chosen << true << true;
        QTest::newRow("Apply, no clock")
            << "apply" << true << true << false << "" << chosen << false << true;
        QTest::newRow("Apply, nothing selected")
            << "apply" << false << false << true << warn << none << false << true;
        QTest::newRow("Cancel, valid skin stored")
            << "cancel" << true << true << true << "" << before << false << false;
        QTest::newRow("Cancel, no valid skin")
            << "cancel" << true << false << true << error << marker << false << false;
        QTest::newRow("close box, valid skin stored")
            << "close" << false << true << true << "" << before << false << false;
        QTest::newRow("close box, no valid skin")
            << "close" << false << false << false << error << marker << false << false;
    }
    void buttons() {
        QFETCH(QString, action);
        QFETCH(bool, fileSelected);
        QFETCH(bool, validStored);
        QFETCH(bool, clockRuns);
        QFETCH(QString, message);
        QFETCH(QStringList, store);
        QFETCH(bool, signalled);
        QFETCH(bool, open);

        if (validStored)
            Store::save("Skin", "Dir", m_skins + "/");
        Store::save("Skin", "Name", validStored ? "Alpha.ini" : "Old.ini");
        Store::save("Skin", "Type", "px");
        std::unique_ptr<FakeClock> clock;
        if (clockRuns) {
            clock = std::make_unique<FakeClock>();
            QVERIFY(clock->listening);
        }
        Fixture::FakeMessages messages;
        QString dirWhileAsking;
        messages.onAsk = [&] { dirWhileAsking = stored("Dir"); };

        frmMain w;
        w.show();
        if (fileSelected)
            selectFile(w, "Beta.ini");
        else
            child<FileListBox>(w, "filSkin")->setListIndex(-1);

        if (action == "close") {
            w.close();
        } else {
            const char* button = action == "ok"      ? "cmdOK"
                                 : action == "apply" ? "cmdApply"
                                                     : "cmdCancel";
            QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
        }

        QStringList shown;
        for (const auto& m : messages.shown)
            shown.append(m.title + "|" + m.text + "|" + QString::number(m.icon));
        QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty() && action != "ok" && action != "apply")
            QCOMPARE(dirWhileAsking, validStored ? m_skins + "/" : Absent); // marker after the box
        QCOMPARE((QStringList{stored("Dir"), stored("Name"), stored("Type")}), store);
        QCOMPARE(w.isVisible(), open);
        if (clock) {
            QTRY_COMPARE(clock->keys.size(), signalled ? 1 : 0);
            if (signalled) {
                QCOMPARE(clock->keys.first(), int(KeySignal::F2));
                QCOMPARE(clock->storeAtKey, store); // every write came before the key
            }
        }
    }

    // A failed step ends OK's and Apply's steps silently: OK still closes,
    // Apply stays open.
    void failedStep_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("failingStep");
        QTest::addColumn<QStringList>("done");
        QTest::addColumn<bool>("open");
        QTest::newRow("OK, Dir fails") << "cmdOK" << 0 << QStringList{"Dir"} << false;
        QTest::newRow("OK, signal fails")
            << "cmdOK" << 3 << QStringList{"Dir", "Name", "Type", "F2"} << false;
        QTest::newRow("Apply, Name fails") << "cmdApply" << 1 << QStringList{"Dir", "Name"} << true;
        QTest::newRow("Apply, all work")
            << "cmdApply" << -1 << QStringList{"Dir", "Name", "Type", "F2"} << true;
    }
    void failedStep() {
        QFETCH(QString, button);
        QFETCH(int, failingStep);
        QFETCH(QStringList, done);
        QFETCH(bool, open);
        Fixture::FakeMessages messages;
        frmMain w;
        QStringList log;
        SkinChoice::Steps steps;
        steps.save = [&](const QString& key, const QString&) {
            log.append(key);
            return log.size() - 1 != failingStep;
        };
        steps.signal = [&] {
            log.append("F2");
            return log.size() - 1 != failingStep;
        };
        w.setSteps(steps);
        w.show();
        selectFile(w, "Work.ini", m_work);
        QTest::mouseClick(child<QPushButton>(w, qPrintable(button)), Qt::LeftButton);
        QCOMPARE(log, done);
        QCOMPARE(w.isVisible(), open);
        QCOMPARE(messages.shown.size(), 0);
    }

    // -----------------------------------------------------------------------
    // The preview

    void previewLabels_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("all keys") << "Alpha.ini"
                                  << QStringList{"Alpha Skin", "Alpha Author", "Alpha@example.org",
                                                 "https://example.org/Alpha", "About Alpha"};
        QTest::newRow("no author")
            << "NoAuthor.ini"
            << QStringList{"No Author", "ERROR", "a@example.org", "https://example.org/a", "x"};
        QTest::newRow("unreadable file")
            << "Nowhere.ini" << QStringList{"ERROR", "ERROR", "ERROR", "ERROR", "ERROR"};
        QTest::newRow("markup shown as text")
            << "Hostile.ini"
            << QStringList{"<b>Bold</b>", "ERROR", "ERROR", "file:///etc/passwd", "ERROR"};
    }
    void previewLabels() {
        QFETCH(QString, file);
        QFETCH(QStringList, captions);
        frmMain w;
        w.showSkinPreview(m_skins, file);
        QCOMPARE(this->captions(w), captions);
        for (QLabel* label : w.findChildren<QLabel*>()) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QCOMPARE(label->size(), label->sizeHint());
        }
    }

    void longAboutRunsOnOneLine() {
        frmMain w;
        w.showSkinPreview(m_skins, "Long.ini");
        auto* about = child<QLabel>(w, "lblAbout");
        QCOMPARE(about->text(), QString(190, 'W'));
        QVERIFY(!about->wordWrap());
        QVERIFY(about->geometry().right() > child<QWidget>(w, "fraAbout")->width());
        QCOMPARE(about->height(), child<QLabel>(w, "lblAuthor")->height()); // one line
    }

    // A skin without a usable picture leaves the earlier picture and shape.
    void previewKeepsPictureWhenNoneIsUsable() {
        frmMain w;
        w.showSkinPreview(m_skins, "Alpha.ini");
        QVERIFY(previewShows(w, m_skins + "/Alpha.png"));
        for (const char* file : {"NoImage.ini", "Missing.ini", "Broken.ini"}) {
            w.showSkinPreview(m_skins, file);
            QVERIFY2(previewShows(w, m_skins + "/Alpha.png"), file);
        }
        QCOMPARE(child<QLabel>(w, "lblName")->text(), QString("Broken"));

        // A picture larger than the box: only what the box shows is kept.
        w.showSkinPreview(m_skins, "Big.ini");
        auto* box = child<PreviewBox>(w, "imgPreview");
        QCOMPARE(box->picture().size(), box->size());
        QVERIFY(box->rect().contains(box->shape().boundingRect()));

        // A picture without one opaque pixel leaves nothing to see (an empty
        // mask would show the whole box); the next skin shows again.
        w.show();
        w.showSkinPreview(m_skins, "Blank.ini");
        QVERIFY(box->shape().isEmpty());
        QVERIFY(!box->isVisible());
        w.showSkinPreview(m_skins, "Alpha.ini");
        QVERIFY(box->isVisible());
        QVERIFY(previewShows(w, m_skins + "/Alpha.png"));
    }

    void doubleClickModes() {
        frmMain w;
        w.show();
        auto* box = child<PreviewBox>(w, "imgPreview");

        // Nothing selected: the flag flips, nothing else happens.
        doubleClickPreview(w);
        QVERIFY(w.hiddenPictureMode());
        QVERIFY(box->picture().isNull());
        doubleClickPreview(w);
        QVERIFY(!w.hiddenPictureMode());

        // Both pictures: hidden, then shown again, each cut to its outline.
        selectFile(w, "Alpha.ini");
        QVERIFY(previewShows(w, m_skins + "/Alpha.png"));
        doubleClickPreview(w);
        QVERIFY(previewShows(w, m_skins + "/Alpha-small.png"));
        doubleClickPreview(w);
        QVERIFY(previewShows(w, m_skins + "/Alpha.png"));
        const QStringList texts = captions(w);

        // Hidden picture shown, then another skin: its shown picture; the next
        // double-click flips back to shown, the one after to hidden.
        doubleClickPreview(w);
        QVERIFY(w.hiddenPictureMode());
        selectFile(w, "Beta.ini");
        QVERIFY(previewShows(w, m_skins + "/Beta.png"));
        doubleClickPreview(w);
        QVERIFY(!w.hiddenPictureMode());
        QVERIFY(previewShows(w, m_skins + "/Beta.png"));
        doubleClickPreview(w);
        QVERIFY(previewShows(w, m_skins + "/Beta-small.png"));
        QVERIFY(captions(w) != texts);
        QCOMPARE(captions(w).first(), QString("Beta Skin")); // never touched by a double-click

        // No hidden picture: the flag flips, the picture stays.
        selectFile(w, "NoHide.ini");
        doubleClickPreview(w);
        QVERIFY(!w.hiddenPictureMode());
        doubleClickPreview(w);
        QVERIFY(w.hiddenPictureMode());
        QVERIFY(previewShows(w, m_skins + "/Beta.png"));
    }

    void linkHoverColours() {
        frmMain w;
        w.show();
        auto* email = child<QLabel>(w, "lblEmail");
        auto* web = child<QLabel>(w, "lblWeb");
        auto* frame = child<QWidget>(w, "fraAbout");
        const auto colours = [&] {
            return QList<qint32>{frmMain::labelColour(email), frmMain::labelColour(web)};
        };
        const qint32 red = frmMain::LinkRed, blue = frmMain::LinkBlue;
        QCOMPARE(colours(), (QList<qint32>{blue, blue}));

        mouseMove(web);
        QCOMPARE(colours(), (QList<qint32>{blue, red}));
        mouseMove(email);
        QCOMPARE(colours(), (QList<qint32>{red, red}));
        // Over another label or out of the frame: no change.
        mouseMove(child<QLabel>(w, "lblName"));
        mouseMove(child<QWidget>(w, "filSkin"));
        mouseMove(&w);
        QCOMPARE(colours(), (QList<qint32>{red, red}));
        // Over the frame's own area: both blue again.
        mouseMove(frame);
        QCOMPARE(colours(), (QList<qint32>{blue, blue}));
    }

    void linkClicks() {
        Fixture::FakeOpener opener;
        frmMain w;
        w.show();
        auto* email = child<QLabel>(w, "lblEmail");
        auto* web = child<QLabel>(w, "lblWeb");

        // Before any preview: the design addresses.
        QTest::mouseClick(web, Qt::LeftButton);
        QTest::mouseClick(email, Qt::LeftButton);
        QTest::mouseClick(web, Qt::RightButton);
        QCOMPARE(opener.opened,
                 (QList<QUrl>{QUrl("https://example.org/"), QUrl("mailto:you@example.org")}));

        // A skin without "email" and with a local file as its web address:
        // "mailto:ERROR" goes to the desktop, the file does not.
        opener.opened.clear();
        w.showSkinPreview(m_skins, "Hostile.ini");
        QTest::mouseClick(web, Qt::LeftButton);
        QTest::mouseClick(email, Qt::LeftButton);
        QCOMPARE(opener.opened, QList<QUrl>{QUrl("mailto:ERROR")});
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
