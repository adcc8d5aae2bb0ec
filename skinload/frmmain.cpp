#include "frmmain.h"

#include "filelists.h"
#include "inireader.h"
#include "keys.h"
#include "links.h"
#include "modskin.h"
#include "previewbox.h"
#include "region.h"
#include "seams.h"
#include "store.h"
#include "twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

// The outline of a skin picture leaves out its magenta pixels (0xFF00FF is the
// same in the system's colour values and in Qt's).
constexpr QRgb PreviewTransparent = 0xFF00FF;

// The design captions of the information labels, shown until the first preview.
const char* const DesignName = "Name";
const char* const DesignAuthor = "Author";
const char* const DesignEmail = "you@example.org";
const char* const DesignWeb = "https://example.org/";
const char* const DesignAbout = "About the skin.";

int pixelsX(int twips) {
    return qRound(twips / twipsPerPixelX());
}
int pixelsY(int twips) {
    return qRound(twips / twipsPerPixelY());
}

QFont designFont(bool bold = false) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

QString skinSection() {
    return QStringLiteral("skin");
}
QString pictureSection() {
    return QStringLiteral("background");
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    Q_INIT_RESOURCE(skinload);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Load Skin"));
    setWindowIcon(QIcon(QStringLiteral(":/dialmere.png")));
    setFont(designFont());
    setFixedSize(pixelsX(7485), pixelsY(4875));
    buildControls();
    Form_Load();
}

void frmMain::buildControls() {
    // Created in tab order, so the focus chain is that order too.
    fraAbout = new QGroupBox(QStringLiteral("About Skin"), this);
    fraAbout->setObjectName(QStringLiteral("fraAbout"));
    fraAbout->setGeometry(twipsRect(60, 2235, 7380, 2115));
    fraAbout->setMouseTracking(true);
    fraAbout->installEventFilter(this);

    imgPreview = new PreviewBox(this);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setGeometry(twipsRect(4260, 15, 3180, 2175));
    imgPreview->setToolTip(QStringLiteral("Double click to change modes."));
    connect(imgPreview, &PreviewBox::doubleClicked, this, &frmMain::imgPreview_DblClick);

    filSkin = new FileListBox(this);
    filSkin->setObjectName(QStringLiteral("filSkin"));
    filSkin->setGeometry(twipsRect(2130, 15, 2085, 2175));
    filSkin->setPattern(QStringLiteral("*.ini"));
    connect(filSkin, &FileListBox::rowClicked, this, &frmMain::filSkin_Click);

    dirSkin = new DirListBox(this);
    dirSkin->setObjectName(QStringLiteral("dirSkin"));
    dirSkin->setGeometry(twipsRect(150, 15, 1950, 1665));
    connect(dirSkin, &DirListBox::changed, this, &frmMain::dirSkin_Change);
    connect(dirSkin, &DirListBox::cannotOpen, this, &frmMain::dirSkin_CannotOpen);

    drvSkin = new DriveListBox(this);
    drvSkin->setObjectName(QStringLiteral("drvSkin"));
    drvSkin->setGeometry(twipsRect(135, 1860, 1965, 315));
    connect(drvSkin, &DriveListBox::changed, this, &frmMain::drvSkin_Change);
    connect(drvSkin, &DriveListBox::notReady, this, &frmMain::drvSkin_NotReady);

    // Labels sized to their text, one line each; a stranger's text is shown as
    // plain text, never as markup. They keep the mouse to themselves: a move
    // over a label is never a move over the frame.
    const auto makeLabel = [this](const char* name, int left, int top, const char* text) {
        auto* label = new QLabel(fraAbout);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
        label->move(pixelsX(left), pixelsY(top));
        label->setMouseTracking(true);
        label->setAttribute(Qt::WA_NoMousePropagation);
        label->installEventFilter(this);
        setCaption(label, QLatin1String(text));
        return label;
    };
    lblName = makeLabel("lblName", 285, 285, DesignName);
    lblName->setFont(designFont(true));
    lblName->adjustSize();
    lblAuthor = makeLabel("lblAuthor", 375, 555, DesignAuthor);
    lblEmail = makeLabel("lblEmail", 360, 870, DesignEmail);
    lblWeb = makeLabel("lblWeb", 360, 1230, DesignWeb);
    lblAbout = makeLabel("lblAbout", 525, 1620, DesignAbout);
    for (QLabel* link : {lblEmail, lblWeb}) {
        QFont font = designFont();
        font.setUnderline(true);
        link->setFont(font);
        link->adjustSize();
        link->setCursor(Qt::PointingHandCursor);
        setLabelColour(link, LinkBlue);
    }

    // No default button: Enter presses the button that has the focus (which a
    // plain window's buttons do only with autoDefault), Escape does nothing.
    const auto makeButton = [this](const char* name, const char* caption, int left) {
        auto* button = new QPushButton(QLatin1String(caption), this);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(twipsRect(left, 4410, 1050, 435));
        button->setAutoDefault(true);
        button->setDefault(false);
        return button;
    };
    cmdApply = makeButton("cmdApply", "&Apply", 6390);
    cmdCancel = makeButton("cmdCancel", "&Cancel", 5280);
    cmdOK = makeButton("cmdOK", "&OK", 4155);
    connect(cmdApply, &QPushButton::clicked, this, &frmMain::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmMain::cmdOK_Click);

    setTabOrder(filSkin, dirSkin);
    setTabOrder(dirSkin, drvSkin);
    setTabOrder(drvSkin, cmdApply);
    setTabOrder(cmdApply, cmdCancel);
    setTabOrder(cmdCancel, cmdOK);
    filSkin->setFocus();
}

// ---------------------------------------------------------------------------
// Load and the lists

void frmMain::Form_Load() {
    const QString section = QLatin1String(Keys::Section::Skin);
    const QString dir = Store::get(section, QLatin1String(Keys::Skin::Dir), QString());
    const QString name = Store::get(section, QLatin1String(Keys::Skin::Name), QString());
    if (!SkinChoice::isValidSkin(dir, name))
        return; // the lists stay on the working folder, the preview as designed

    // The drive first: its change moves the folder list to the drive's current
    // folder, and the stored folder is set after that.
    if (!drvSkin->setDrive(dir))
        return;
    if (!dirSkin->setPath(dir))
        return;
    filSkin->setPath(dir);
    for (int row = 0; row < filSkin->listCount(); ++row) {
        if (filSkin->list(row) == name) {
            filSkin->setListIndex(row);
            break;
        }
    }
    // A name that matches no row exactly (another letter case) selects none,
    // and the preview keeps its design content.
    if (filSkin->listIndex() >= 0)
        showSkinPreview(filSkin->path(), filSkin->list(filSkin->listIndex()));
}

void frmMain::drvSkin_Change() {
    const QString drive = drvSkin->drive();
    if (dirSkin->setPath(drvSkin->currentFolderOf(drive)) || dirSkin->setPath(drive))
        return;
    // Neither the drive's folder nor its root opens: show where the lists are.
    drvSkin->followFolder(dirSkin->path());
}

void frmMain::drvSkin_NotReady(const QString& drive) {
    Seams::messages().ask(this, QMessageBox::Warning, QStringLiteral("Drive Not Ready"),
                          QStringLiteral("The drive %1 cannot be read.").arg(drive),
                          QMessageBox::Ok);
}

void frmMain::dirSkin_Change() {
    filSkin->setPath(dirSkin->path());
    drvSkin->followFolder(dirSkin->path());
}

void frmMain::dirSkin_CannotOpen(const QString& folder) {
    Seams::messages().ask(this, QMessageBox::Warning, QStringLiteral("Folder Not Readable"),
                          QStringLiteral("The folder %1 cannot be opened.").arg(folder),
                          QMessageBox::Ok);
}

void frmMain::filSkin_Click() {
    const int row = filSkin->listIndex();
    if (row >= 0)
        showSkinPreview(filSkin->path(), filSkin->list(row));
}

// ---------------------------------------------------------------------------
// The buttons and closing

bool frmMain::isSkinSelected() const {
    return SkinChoice::isSkinSelected();
}

bool frmMain::storeSelectedSkin() {
    if (filSkin->fileName().isEmpty()) {
        Seams::messages().ask(this, QMessageBox::Warning, QStringLiteral("No Skin Selected"),
                              QStringLiteral("Please choose a skin first."), QMessageBox::Ok);
        return false;
    }
    // A failed write or signal ends the steps silently; the caller goes on.
    SkinChoice::storeChoice(filSkin->path(), filSkin->fileName(), m_steps);
    return true;
}

void frmMain::cmdOK_Click() {
    if (!storeSelectedSkin())
        return;
    m_closing = true;
    close();
}

void frmMain::cmdApply_Click() {
    storeSelectedSkin();
}

void frmMain::cmdCancel_Click() {
    giveUp();
    m_closing = true;
    close();
}

void frmMain::giveUp() {
    if (isSkinSelected())
        return;
    Seams::messages().ask(
        this, QMessageBox::Critical, QStringLiteral("No Skin Selected"),
        QStringLiteral("No skin was selected. Dialmere will now be shut down if it is running."),
        QMessageBox::Ok);
    SkinChoice::storeCancelMarker(m_steps);
    QCoreApplication::processEvents();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // The close box counts as Cancel, so a clock waiting for a choice learns
    // that the user gave up.
    if (!m_closing) {
        m_closing = true;
        giveUp();
    }
    event->accept();
}

// ---------------------------------------------------------------------------
// The preview

void frmMain::setCaption(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

void frmMain::showSkinPreview(const QString& folder, const QString& name) {
    const QString file = SkinChoice::dirText(folder) + name;
    setCaption(lblName, readIniValue(file, skinSection(), QStringLiteral("name")));
    setCaption(lblAuthor, readIniValue(file, skinSection(), QStringLiteral("author")));
    setCaption(lblEmail, readIniValue(file, skinSection(), QStringLiteral("email")));
    setCaption(lblWeb, readIniValue(file, skinSection(), QStringLiteral("www")));
    setCaption(lblAbout, readIniValue(file, skinSection(), QStringLiteral("about")));

    const QString image = readIniValue(file, pictureSection(), QStringLiteral("image"));
    if (image == QLatin1String(kIniAbsent))
        return; // the picture and its shape stay those of the earlier preview
    loadPreviewPicture(folder, image);
}

bool frmMain::loadPreviewPicture(const QString& folder, const QString& value) {
    QImageReader reader(SkinChoice::picturePath(SkinChoice::dirText(folder), value));
    QImage picture = reader.read();
    if (picture.isNull())
        return false; // missing or no picture: the earlier one stays
    // Drawn at the box's corner at its own size: what lies beyond the box is
    // never seen, so it is neither kept nor shaped.
    const QSize box = imgPreview->size();
    if (picture.width() > box.width() || picture.height() > box.height())
        picture = picture.copy(0, 0, qMin(picture.width(), box.width()),
                               qMin(picture.height(), box.height()));
    imgPreview->setPicture(picture, bitmapToRegion(picture, PreviewTransparent));
    return true;
}

void frmMain::imgPreview_DblClick() {
    m_hiddenPictureMode = !m_hiddenPictureMode;
    const QString key = m_hiddenPictureMode ? QStringLiteral("hideimage") : QStringLiteral("image");
    const QString file = SkinChoice::dirText(filSkin->path()) + filSkin->fileName();
    const QString value = readIniValue(file, pictureSection(), key);
    if (value != QLatin1String(kIniAbsent))
        loadPreviewPicture(filSkin->path(), value);
}

// ---------------------------------------------------------------------------
// The links

qint32 frmMain::labelColour(const QLabel* label) {
    const QColor c = label->palette().color(QPalette::WindowText);
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

void frmMain::setLabelColour(QLabel* label, qint32 colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(colourValueToRgb(colour)));
    label->setPalette(palette);
}

void frmMain::lblEmail_MouseMove() {
    if (labelColour(lblEmail) != LinkRed)
        setLabelColour(lblEmail, LinkRed);
}

void frmMain::lblWeb_MouseMove() {
    if (labelColour(lblWeb) != LinkRed)
        setLabelColour(lblWeb, LinkRed);
}

void frmMain::fraAbout_MouseMove() {
    if (labelColour(lblEmail) == LinkRed)
        setLabelColour(lblEmail, LinkBlue);
    if (labelColour(lblWeb) == LinkRed)
        setLabelColour(lblWeb, LinkBlue);
}

void frmMain::lblEmail_Click() {
    Links::openLink(QStringLiteral("mailto:") + lblEmail->text());
}

void frmMain::lblWeb_Click() {
    Links::openLink(lblWeb->text());
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (watched == fraAbout)
            fraAbout_MouseMove();
        else if (watched == lblEmail)
            lblEmail_MouseMove();
        else if (watched == lblWeb)
            lblWeb_MouseMove();
    } else if (event->type() == QEvent::MouseButtonRelease &&
               (watched == lblEmail || watched == lblWeb)) {
        // A click: pressed and released on the label with the left button.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (label == lblEmail)
                lblEmail_Click();
            else
                lblWeb_Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}
