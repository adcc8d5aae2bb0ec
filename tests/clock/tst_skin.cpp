// Skins in the three formats applied to the clock window, the faces and the
// window's outline, and how a load finds its skin (file dialog for imports,
// DMSkinLoad for the own format).
#include "clockfakes.h"
#include "filecommondialog.h"
#include "frmmain.h"
#include "keys.h"
#include "keysignal.h"
#include "modskin.h"
#include "region.h"
#include "skin.h"
#include "skinfixture.h"
#include "store.h"
#include "testenv.h"
#include "twips.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

static TestEnv testEnv;

namespace {

class FakeDialog : public FileDialogBackend {
public:
    QStringList getOpenFileNames(const QString& title, const QString& directory,
                                 const QString& qtFilter, bool) override {
        titles << title;
        directories << directory;
        filters << qtFilter;
        const QString next = results.isEmpty() ? QString() : results.takeFirst();
        return next.isEmpty() ? QStringList() : QStringList{next};
    }
    QStringList results; // "" for a cancel
    QStringList titles, directories, filters;
};

QColor textColour(const QLabel* l) {
    return l->palette().color(QPalette::WindowText);
}
QColor backColour(const QLabel* l) {
    return l->palette().color(QPalette::Window);
}
QString storedSkin(const char* key) {
    return Store::get(Keys::Section::Skin, key, "<absent>");
}
bool sameArea(const QRegion& a, const QRegion& b) {
    return (a ^ b).isEmpty();
}

const QString kStandardImage = "[background]\nimage=face.png\nhideimage=small.png\n"
                               "width=60\nheight=30\n";

} // namespace

class TestSkin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { quietOffscreenWarnings(); }
    void init();
    void cleanup();

    void ownFormatExample();
    void ownFormatCaption_data();
    void ownFormatCaption();
    void whatASkinLeavesOutStaysAsItWas();
    void pendrixAfterOlvo();
    void olvo_data();
    void olvo();
    void unknownTypeReadsOwnKeysAndAsks();
    void pictureNamesFromOtherSystems();
    void aboutText();
    void facesAndOutline();
    void faceWithoutPictureIsARectangle_data();
    void faceWithoutPictureIsARectangle();
    void reloadInHideModeShowsTheShownFace();

    void importAsksWithTheDialog();
    void importRetryAndCancel();
    void ownFormatWaitsForSkinLoad_data();
    void ownFormatWaitsForSkinLoad();
    void cancelMarkerFoundAtStartIsRemoved();
    void loadSkinCommands();

private:
    void writeFaces(const QString& name);
    QString ownSkin(const QString& name, const QString& ini);

    SkinFixture* fixture = nullptr;
    FakeMessages messages;
    FakeProcesses processes;
    FakeDialog dialog;
    frmMain* frm = nullptr;
};

void TestSkin::init() {
    testEnv.clearStore();
    fixture = new SkinFixture;
    messages = FakeMessages();
    processes = FakeProcesses();
    dialog = FakeDialog();
    Seams::setMessages(&messages);
    Seams::setProcesses(&processes);
    FileCommonDialog::setBackend(&dialog);
    frm = new frmMain;
    frm->loadSettings(false); // as at start-up: loads the menu form
    frm->move(40, 30);
}

void TestSkin::cleanup() {
    delete frm;
    frm = nullptr;
    delete fixture;
    Seams::setMessages(nullptr);
    Seams::setProcesses(nullptr);
    FileCommonDialog::setBackend(nullptr);
}

void TestSkin::writeFaces(const QString& name) {
    fixture->save(name, "face.png", SkinFixture::picture({60, 30}, Qt::darkBlue));
    fixture->save(name, "small.png", SkinFixture::picture({20, 20}, Qt::darkGreen));
}

// An own-format skin `name`/skin.ini with the two faces, stored as current.
QString TestSkin::ownSkin(const QString& name, const QString& ini) {
    writeFaces(name);
    const QString dir = fixture->write(name, "skin.ini", ini);
    SkinFixture::select(dir, "skin.ini", "dm");
    return dir;
}

void TestSkin::ownFormatExample() {
    fixture->save("steel", "steel.png", SkinFixture::picture({150, 40}, Qt::blue));
    fixture->save("steel", "steel_small.png", SkinFixture::picture({40, 40}, Qt::blue));
    const QString dir = fixture->write("steel", "steel.ini",
                                       "[skin]\nname=Steel Blue\nauthor=A. Author\n"
                                       "email=a@example.org\nwww=https://example.org\n"
                                       "about=A plain blue clock.\n"
                                       "[background]\nimage=steel.png\nhideimage=steel_small.png\n"
                                       "width=150\nheight=40\n"
                                       "[clock]\noffset=12,10\nwidth=120\nheight=20\nbackcolor=-1\n"
                                       "fontfamily=DejaVu Sans\nfontcolor=255,255,255\n"
                                       "fontsize=10\nfontbold=1\nalign=2\n");
    SkinFixture::select(dir, "steel.ini", "dm");
    QVERIFY(frm->skin()->InitSkin());

    QCOMPARE(frm->pos(), QPoint(40, 30)); // a load changes the size only
    QCOMPARE(frm->size(), QSize(150, 40));
    QCOMPARE(frm->lblClock->geometry(), QRect(12, 10, 120, 20));
    QVERIFY(!frm->captionAutoSize());
    QCOMPARE(frm->lblClock->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QVERIFY(!frm->lblClock->autoFillBackground());
    QCOMPARE(frm->lblClock->font().family(), QString("DejaVu Sans"));
    QCOMPARE(frm->lblClock->font().pointSizeF(), 10.0);
    QVERIFY(frm->lblClock->font().bold());
    QCOMPARE(textColour(frm->lblClock), QColor(Qt::white));
    QCOMPARE(frm->skin()->infoName, QString("Steel Blue"));
    QCOMPARE(frm->skin()->infoAbout, QString("A plain blue clock."));
    QCOMPARE(storedSkin(Keys::Skin::Dir), dir);
    QCOMPARE(storedSkin(Keys::Skin::Name), QString("steel.ini"));
    QVERIFY(frm->isVisible());
    QVERIFY(!frm->hideMode);
    QVERIFY(frm->lblClock->isVisible());
    QCOMPARE(frm->face(), frm->imgShow->picture());
    QCOMPARE(frm->imgShow->size(), QSize(150, 40));
    QVERIFY(sameArea(frm->mask(), bitmapToRegion(frm->face(), 0xFF00FF)));
    QVERIFY(!frm->mask().contains(QPoint(1, 1))); // magenta corner cut away
    QVERIFY(frm->mask().contains(QPoint(75, 20)));
}

void TestSkin::ownFormatCaption_data() {
    QTest::addColumn<QString>("clock");
    QTest::addColumn<bool>("autoSize");
    QTest::addColumn<QRect>("box"); // size checked only without automatic size
    QTest::addColumn<int>("align");
    QTest::addColumn<QColor>("back"); // invalid: transparent
    QTest::addColumn<QColor>("text");
    const QColor none;
    const QColor black(Qt::black);
    QTest::newRow("no clock section") << "" << true << QRect(0, 0, 0, 0) << 0 << none << black;
    QTest::newRow("width without height") << "offset=3,4\nwidth=120\n"
                                          << true << QRect(3, 4, 0, 0) << 0 << none << black;
    QTest::newRow("height without width") << "height=20\n"
                                          << true << QRect(0, 0, 0, 0) << 0 << none << black;
    QTest::newRow("width -1 with height") << "width=-1\nheight=20\n"
                                          << true << QRect(0, 0, 0, 0) << 0 << none << black;
    QTest::newRow("offset without comma") << "offset=7\n"
                                          << true << QRect(0, 0, 0, 0) << 0 << none << black;
    QTest::newRow("fixed box, right, opaque")
        << "offset=5,6\nwidth=40\nheight=12\nalign=1\nbackcolor=10,20,30\nfontcolor=255,128,0\n"
        << false << QRect(5, 6, 40, 12) << 1 << QColor(10, 20, 30) << QColor(255, 128, 0);
    QTest::newRow("alignment outside 0..2 counts as left")
        << "align=7\n"
        << true << QRect(0, 0, 0, 0) << 0 << none << black;
    QTest::newRow("fractional pixels round") << "offset=2.5,3.5\nwidth=10.4\nheight=9.6\n"
                                             << false << QRect(2, 4, 10, 10) << 0 << none << black;
}

void TestSkin::ownFormatCaption() {
    QFETCH(QString, clock);
    QFETCH(bool, autoSize);
    QFETCH(QRect, box);
    QFETCH(int, align);
    QFETCH(QColor, back);
    QFETCH(QColor, text);
    ownSkin("caption", kStandardImage + "[clock]\n" + clock);
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(frm->captionAutoSize(), autoSize);
    QCOMPARE(frm->lblClock->pos(), box.topLeft());
    if (autoSize)
        QCOMPARE(frm->lblClock->size(), frm->lblClock->sizeHint());
    else
        QCOMPARE(frm->lblClock->size(), box.size());
    const Qt::Alignment expected = align == 1   ? Qt::AlignRight
                                   : align == 2 ? Qt::AlignHCenter
                                                : Qt::AlignLeft;
    QCOMPARE(frm->lblClock->alignment() & Qt::AlignHorizontal_Mask, expected);
    QCOMPARE(frm->lblClock->autoFillBackground(), back.isValid());
    if (back.isValid())
        QCOMPARE(backColour(frm->lblClock), back);
    QCOMPARE(textColour(frm->lblClock), text);
}

void TestSkin::whatASkinLeavesOutStaysAsItWas() {
    const QFont initial = frm->lblClock->font();
    ownSkin("first", kStandardImage + "[clock]\nfontfamily=DejaVu Serif\nfontsize=20\n"
                                      "fontbold=1\nalign=2\nbackcolor=1,2,3\n");
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(frm->lblClock->font().family(), QString("DejaVu Serif"));
    const QImage shown = frm->imgShow->picture();
    const QImage hidden = frm->imgHide->picture();

    // Pictures missing or unreadable, no font keys, a size the caption cannot
    // take: all of it stays; what has a default takes it.
    fixture->write("second", "bad.png", "not a picture");
    const QString dir = fixture->write("second", "skin.ini",
                                       "[background]\nimage=bad.png\nhideimage=missing.png\n"
                                       "[clock]\nfontsize=-3\n");
    SkinFixture::select(dir, "skin.ini", "dm");
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(frm->imgShow->picture(), shown);
    QCOMPARE(frm->imgHide->picture(), hidden);
    QCOMPARE(frm->face(), shown);
    QCOMPARE(frm->size(), QSize(201, 31)); // 3015 x 465 twips
    QCOMPARE(frm->lblClock->font().family(), QString("DejaVu Serif"));
    QCOMPARE(frm->lblClock->font().pointSizeF(), 20.0);
    QVERIFY(frm->lblClock->font().bold());
    QCOMPARE(frm->lblClock->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QVERIFY(!frm->lblClock->autoFillBackground());
    QCOMPARE(textColour(frm->lblClock), QColor(Qt::black));
    QVERIFY(initial.pointSizeF() != 20.0);
}

void TestSkin::pendrixAfterOlvo() {
    fixture->save("olvo", "main.bmp", SkinFixture::picture({50, 24}, Qt::gray));
    fixture->save("olvo", "shade.bmp", SkinFixture::picture({24, 24}, Qt::gray));
    QString dir = fixture->write("olvo", "olvo.ini",
                                 "[Info]\nSkinName=Grey\nauthor=B\nemail=c\nurl=d\ndescription=e\n"
                                 "[Font]\nalignment=RIGHT\nfontsize=9\nbold=true\n");
    SkinFixture::select(dir, "olvo.ini", "ol");
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(frm->lblClock->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);

    fixture->save("pendrix", "lcd.bmp", SkinFixture::picture({70, 26}, Qt::darkGray));
    dir = fixture->write("pendrix", "p.ini",
                         "[window settings]\nSKIN=lcd.bmp\nWIDTH=70\nHEIGHT=26\n"
                         "[clock settings]\nx=16\ny=11\nFONT=DejaVu Sans Mono\n"
                         "ColorR=300\nColorB=20\nFONT SIZE=14\n");
    SkinFixture::select(dir, "p.ini", "px");
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(frm->size(), QSize(70, 26));
    QCOMPARE(frm->lblClock->pos(), QPoint(16, 11));
    QVERIFY(frm->captionAutoSize());
    // Pendrix sets neither alignment nor weight: both stay.
    QCOMPARE(frm->lblClock->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QVERIFY(frm->lblClock->font().bold());
    QCOMPARE(frm->lblClock->font().pointSizeF(), 14.0);
    QCOMPARE(textColour(frm->lblClock), QColor(255, 0, 20)); // 300 counts as 255
    QVERIFY(!frm->lblClock->autoFillBackground());
    QCOMPARE(frm->skin()->aboutText(), QString("No info available for this skin."));
    QCOMPARE(frm->skin()->infoName, QString("Grey")); // the texts of the last Olvo skin
    // The hidden picture comes from the Olvo skin before.
    QCOMPARE(frm->imgHide->size(), QSize(24, 24));
}

void TestSkin::olvo_data() {
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("trans");
    QTest::addColumn<QRect>("box"); // empty size: automatic size
    QTest::addColumn<int>("align");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<bool>("bold");
    QTest::newRow("left, green")
        << "Offset=5\nTopOffset=3\nalignment=left\nfontcolor=00FF00\nbold=1\n"
        << QString() << QRect(5, 3, 0, 0) << 0 << QColor(0, 255, 0) << false;
    QTest::newRow("Center spans the window")
        << "Offset=5\nTopOffset=3\nalignment=Center\nfontcolor=0000ff\nbold=TRUE\n"
        << "000000000" << QRect(0, 3, 50, 24) << 2 << QColor(255, 0, 0) << true;
    QTest::newRow("RIGHT, blue") << "TopOffset=2\nalignment=RIGHT\nfontcolor=ff0000\n"
                                 << "255000255" << QRect(0, 2, 50, 24) << 1 << QColor(0, 0, 255)
                                 << false;
}

void TestSkin::olvo() {
    QFETCH(QString, font);
    QFETCH(QString, trans);
    QFETCH(QRect, box);
    QFETCH(int, align);
    QFETCH(QColor, text);
    QFETCH(bool, bold);
    // A black frame, a magenta middle stripe, grey elsewhere.
    QImage main = SkinFixture::picture({50, 24}, Qt::gray, Qt::black);
    for (int x = 0; x < 50; ++x)
        main.setPixelColor(x, 12, QColor(255, 0, 255));
    fixture->save("olvo", "main.bmp", main);
    fixture->save("olvo", "shade.bmp", SkinFixture::picture({20, 24}, Qt::gray, Qt::black));
    QString ini = "[Font]\n" + font;
    if (!trans.isNull())
        ini += "[skin]\ntranscolor=" + trans + "\n";
    const QString dir = fixture->write("olvo", "o.ini", ini);
    SkinFixture::select(dir, "o.ini", "ol");
    QVERIFY(frm->skin()->InitSkin());

    QCOMPARE(frm->size(), QSize(50, 24)); // the size of main.bmp
    QCOMPARE(frm->lblClock->pos(), box.topLeft());
    QCOMPARE(frm->captionAutoSize(), box.size().isEmpty());
    if (!box.size().isEmpty())
        QCOMPARE(frm->lblClock->size(), box.size());
    const Qt::Alignment expected = align == 1   ? Qt::AlignRight
                                   : align == 2 ? Qt::AlignHCenter
                                                : Qt::AlignLeft;
    QCOMPARE(frm->lblClock->alignment() & Qt::AlignHorizontal_Mask, expected);
    QCOMPARE(textColour(frm->lblClock), text);
    QCOMPARE(frm->lblClock->font().bold(), bold);

    // The transparent colour cuts the same pixels in both faces.
    const bool blackCut = trans == "000000000";
    QCOMPARE(frm->skin()->transColor, blackCut ? 0 : 0xFF00FF);
    for (bool hidden : {true, false}) {
        frm->skin()->setHide(hidden);
        QCOMPARE(frm->mask().contains(QPoint(1, 1)), !blackCut);            // black corner
        QCOMPARE(frm->mask().contains(QPoint(10, 12)), blackCut || hidden); // magenta stripe
        QVERIFY(frm->mask().contains(QPoint(10, 6)));
    }
}

void TestSkin::unknownTypeReadsOwnKeysAndAsks() {
    ownSkin("own", kStandardImage + "[skin]\nname=Own\n[clock]\noffset=9,9\nfontcolor=0,0,255\n"
                                    "fontbold=1\nalign=1\n");
    QVERIFY(frm->skin()->InitSkin());
    const QString dir =
        fixture->write("odd", "odd.ini",
                       "[skin]\nname=Odd\n[background]\nwidth=33\nheight=22\n"
                       "[clock]\noffset=9,9\nfontcolor=0,0,255\nfontsize=17\nfontbold=0\n");
    Store::save(Keys::Section::Skin, Keys::Skin::Type, "zz");
    Store::save(Keys::Section::Skin, Keys::Skin::Dir, "");
    dialog.results << dir + "odd.ini";
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(dialog.titles, QStringList{"Load Skin"});
    QCOMPARE(frm->size(), QSize(33, 22));
    QCOMPARE(frm->lblClock->pos(), QPoint(0, 0));
    QVERIFY(frm->captionAutoSize());
    QCOMPARE(textColour(frm->lblClock), QColor(Qt::black));
    QCOMPARE(frm->lblClock->font().pointSizeF(), 17.0);
    QVERIFY(frm->lblClock->font().bold()); // weight and alignment stay
    QCOMPARE(frm->lblClock->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(frm->skin()->infoName, QString("Own"));
    QCOMPARE(storedSkin(Keys::Skin::Type), QString("zz"));
}

void TestSkin::pictureNamesFromOtherSystems() {
    // A backslash between folders and another letter case of the file name
    // still find the picture.
    fixture->folder("win/pics");
    fixture->save("win", "pics/face.png", SkinFixture::picture({48, 20}, Qt::darkBlue));
    QString dir = fixture->write("win", "w.ini", "[background]\nimage=pics\\FACE.PNG\n");
    SkinFixture::select(dir, "w.ini", "dm");
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(frm->imgShow->size(), QSize(48, 20));
    // An Olvo skin with its fixed names in capitals.
    fixture->save("olvocaps", "MAIN.BMP", SkinFixture::picture({36, 18}, Qt::gray));
    fixture->save("olvocaps", "Shade.Bmp", SkinFixture::picture({18, 18}, Qt::gray));
    dir = fixture->write("olvocaps", "o.ini", "[Font]\n");
    SkinFixture::select(dir, "o.ini", "ol");
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(frm->size(), QSize(36, 18));
    QCOMPARE(frm->imgHide->size(), QSize(18, 18));
}

void TestSkin::aboutText() {
    ownSkin("about", kStandardImage + "[skin]\nname=N\nauthor=A\nwww=W\nabout=Text\n");
    QVERIFY(frm->skin()->InitSkin());
    frm->aboutSkin();
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.first().title, QString("About Skin"));
    QCOMPARE(messages.shown.first().icon, QMessageBox::Information);
    QCOMPARE(messages.shown.first().text, QString("N\nA\nERROR\nW\n\nText"));
}

void TestSkin::facesAndOutline() {
    ownSkin("faces", kStandardImage);
    QVERIFY(frm->skin()->InitSkin());
    const QRegion shown = frm->mask();
    frm->hideMode = true;
    frm->skin()->setHide(true);
    QCOMPARE(frm->face(), frm->imgHide->picture());
    QVERIFY(!frm->lblClock->isVisible());
    QVERIFY(sameArea(frm->mask(), bitmapToRegion(frm->imgHide->picture(), 0xFF00FF)));
    QVERIFY(frm->hideMode); // setHide leaves the flag to its callers
    frm->skin()->setHide(false);
    QVERIFY(frm->lblClock->isVisible());
    QVERIFY(sameArea(frm->mask(), shown));
}

void TestSkin::faceWithoutPictureIsARectangle_data() {
    QTest::addColumn<bool>("allMagenta");
    QTest::newRow("no hidden picture") << false;
    QTest::newRow("all transparent picture") << true;
}

void TestSkin::faceWithoutPictureIsARectangle() {
    QFETCH(bool, allMagenta);
    fixture->save("plain", "face.png", SkinFixture::picture({60, 30}, Qt::darkBlue));
    if (allMagenta)
        fixture->save("plain", "small.png", SkinFixture::picture({60, 30}, QColor(255, 0, 255)));
    const QString dir = fixture->write("plain", "skin.ini",
                                       "[background]\nimage=face.png\nhideimage=small.png\n"
                                       "width=60\nheight=30\n");
    SkinFixture::select(dir, "skin.ini", "dm");
    QVERIFY(frm->skin()->InitSkin());
    frm->skin()->setHide(true);
    // Never an empty shape: the clock would be invisible and unreachable.
    QVERIFY(sameArea(frm->mask(), QRegion(0, 0, 60, 30)));
}

void TestSkin::reloadInHideModeShowsTheShownFace() {
    ownSkin("f2", kStandardImage);
    QVERIFY(frm->skin()->InitSkin());
    frm->hideMode = true;
    frm->skin()->setHide(true);
    frm->keyDown(KeySignal::F2);
    QVERIFY(!frm->hideMode);
    QVERIFY(frm->lblClock->isVisible());
    QCOMPARE(frm->face(), frm->imgShow->picture());
}

void TestSkin::importAsksWithTheDialog() {
    fixture->save("imp", "main.bmp", SkinFixture::picture({30, 20}, Qt::gray));
    const QString dir = fixture->write("imp", "any name.ini", "[Font]\n");
    Store::save(Keys::Section::Skin, Keys::Skin::Type, "ol");
    dialog.results << dir + "any name.ini";
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(dialog.titles, QStringList{"Load Skin"});
    QCOMPARE(dialog.directories, QStringList{QCoreApplication::applicationDirPath() + "/skins"});
    QCOMPARE(dialog.filters, QStringList{"Skins (*.ini)"});
    QCOMPARE(storedSkin(Keys::Skin::Dir), dir); // with its final separator
    QCOMPARE(storedSkin(Keys::Skin::Name), QString("any name.ini"));
    QCOMPARE(storedSkin(Keys::Skin::Type), QString("ol"));
    QVERIFY(frm->isVisible());
}

void TestSkin::importRetryAndCancel() {
    fixture->save("imp", "main.bmp", SkinFixture::picture({30, 20}, Qt::gray));
    const QString dir = fixture->write("imp", "o.ini", "[Font]\n");
    Store::save(Keys::Section::Skin, Keys::Skin::Type, "ol");
    // Cancelled, then a file that does not exist, then the skin.
    dialog.results << "" << dir + "nothing.ini" << dir + "o.ini";
    messages.answers << QMessageBox::Ok << QMessageBox::Ok;
    QVERIFY(frm->skin()->InitSkin());
    QCOMPARE(dialog.titles.size(), 3);
    QCOMPARE(messages.shown.size(), 2);
    QCOMPARE(messages.shown.first().title, QString("Error"));
    QCOMPARE(messages.shown.first().icon, QMessageBox::NoIcon);
    QCOMPARE(messages.shown.first().text,
             QString("You have not chosen a skin. Press OK to try again or Cancel to quit."));

    // Cancel in the retry box ends the program as Quit does.
    Store::save(Keys::Section::Skin, Keys::Skin::Dir, "");
    QSignalSpy ending(frm, &frmMain::programEnding);
    dialog.results << "";
    messages.answers << QMessageBox::Cancel;
    QVERIFY(!frm->skin()->InitSkin());
    QCOMPARE(ending.size(), 1);
    QVERIFY(frm->isQuitting());
    QVERIFY(!frm->isVisible());
    QCOMPARE(Store::get("Settings", "OnTop", "<absent>"), QString("False"));
    QCOMPARE(Store::get("Settings", "LeftStart", "<absent>"), QString("600"));
    QCOMPARE(Store::get("Modules", "Name0", "<absent>"), QString(""));
    QCOMPARE(storedSkin(Keys::Skin::Type), QString("ol")); // the next start asks again
}

void TestSkin::ownFormatWaitsForSkinLoad_data() {
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("a skin is chosen") << "skin" << true;
    QTest::newRow("cancel marker") << "cancel" << false;
    QTest::newRow("DMSkinLoad ends without a word") << "ended" << false;
    QTest::newRow("DMSkinLoad cannot be started") << "missing" << false;
    QTest::newRow("F10 while waiting") << "F10" << false;
}

void TestSkin::ownFormatWaitsForSkinLoad() {
    QFETCH(QString, outcome);
    QFETCH(bool, loaded);
    writeFaces("wait");
    const QString dir = fixture->write("wait", "skin.ini", kStandardImage);
    processes.refuse = outcome == "missing";
    processes.onStart = [&] {
        // DMSkinLoad's part, a little later; an F2 in between is ignored.
        QTimer::singleShot(50, frm, [&] { frm->keyDown(KeySignal::F2); });
        QTimer::singleShot(300, frm, [&] {
            if (outcome == "skin") {
                Store::save("Skin", "Dir", dir);
                Store::save("Skin", "Name", "skin.ini");
                Store::save("Skin", "Type", "dm");
            } else if (outcome == "cancel") {
                Store::save("Skin", "Dir", "cancel");
            } else if (outcome == "ended") {
                processes.running = false;
            } else if (outcome == "F10") {
                frm->keyDown(KeySignal::F10);
            }
        });
    };
    QSignalSpy ending(frm, &frmMain::programEnding);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(frm->skin()->InitSkin(), loaded);
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(processes.started.size(), 1); // the F2 did not start a second load
    QVERIFY(processes.started.first().first().endsWith("/modules/DMSkinLoad"));
    QCOMPARE(frm->isVisible(), loaded);
    QCOMPARE(ending.size(), loaded ? 0 : 1);
    if (outcome == "missing") {
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown.first().text.contains("/modules/DMSkinLoad"));
    }
    if (!loaded) {
        QCOMPARE(Store::get("Settings", "TopStart", "<absent>"), QString("450"));
        QCOMPARE(Store::get("Modules", "Exe0", "<absent>"), QString(""));
    }
}

void TestSkin::cancelMarkerFoundAtStartIsRemoved() {
    Store::save("Skin", "Dir", "cancel");
    processes.onStart = [&] { QCOMPARE(storedSkin(Keys::Skin::Dir), QString("")); };
    processes.running = false; // ends at the first look
    QVERIFY(!frm->skin()->InitSkin());
    QCOMPARE(processes.started.size(), 1);
}

void TestSkin::loadSkinCommands() {
    const QString dir = ownSkin("cmd", kStandardImage);
    QVERIFY(frm->skin()->InitSkin());
    // "dm": DMSkinLoad is started and the clock goes on showing its skin.
    frm->loadSkin("dm");
    QCOMPARE(processes.started.size(), 1);
    QVERIFY(frm->isVisible());
    QCOMPARE(storedSkin(Keys::Skin::Dir), dir);
    // "px": the stored skin is forgotten and the dialog asks.
    fixture->save("px", "lcd.bmp", SkinFixture::picture({44, 22}, Qt::gray));
    const QString pxDir = fixture->write("px", "p.ini", "[window settings]\nSKIN=lcd.bmp\n");
    dialog.results << pxDir + "p.ini";
    frm->loadSkin("px");
    QCOMPARE(dialog.titles.size(), 1);
    QCOMPARE(storedSkin(Keys::Skin::Type), QString("px"));
    QCOMPARE(storedSkin(Keys::Skin::Dir), pxDir);
    QCOMPARE(frm->imgShow->size(), QSize(44, 22));
}

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
