// The skin browser's one window, "Load Skin": walk drives and folders, click a
// skin file to see its texts and its picture cut to its outline, and confirm.
// OK and Apply store the choice and send the clock F2; Cancel (and the close
// box) leave the cancel marker when no valid skin is stored, so a clock that
// waits for a choice never waits for ever.
#pragma once

#include "skinchoice.h"

#include <QWidget>

class DirListBox;
class DriveListBox;
class FileListBox;
class PreviewBox;
class QGroupBox;
class QLabel;
class QPushButton;

class frmMain : public QWidget {
    Q_OBJECT
public:
    // Builds the window and runs its load: the lists open on the stored skin
    // when it is valid, else on the working folder.
    explicit frmMain(QWidget* parent = nullptr);

    // Whether the stored skin (Skin Dir followed by Name) is an existing file.
    bool isSkinSelected() const;

    // Fills the information labels from the skin file `name` in `folder` and
    // shows its shown picture, cut to its outline.
    void showSkinPreview(const QString& folder, const QString& name);

    // The preview's mode: true while the hidden picture was asked for last.
    bool hiddenPictureMode() const { return m_hiddenPictureMode; }

    // Tests replace the store writes and the key signal.
    void setSteps(const SkinChoice::Steps& steps) { m_steps = steps; }

    // Colours of the link labels (red 0xFF, blue 0xFF0000: red in the low byte).
    static constexpr qint32 LinkRed = 0xFF;
    static constexpr qint32 LinkBlue = 0xFF0000;
    static qint32 labelColour(const QLabel* label);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();

    void drvSkin_Change();
    void drvSkin_NotReady(const QString& drive);
    void dirSkin_Change();
    void dirSkin_CannotOpen(const QString& folder);
    void filSkin_Click();
    void cmdOK_Click();
    void cmdApply_Click();
    void cmdCancel_Click();
    void imgPreview_DblClick();
    void fraAbout_MouseMove();
    void lblEmail_MouseMove();
    void lblWeb_MouseMove();
    void lblEmail_Click();
    void lblWeb_Click();

    // OK and Apply up to the signal; false when no file is selected.
    bool storeSelectedSkin();
    // Cancel and the close box: the message and the marker when no valid skin
    // is stored.
    void giveUp();
    // Loads a picture of the skin in `folder` into the preview and cuts the
    // preview to its outline; a missing or broken picture changes nothing.
    bool loadPreviewPicture(const QString& folder, const QString& value);
    static void setLabelColour(QLabel* label, qint32 colour);
    void setCaption(QLabel* label, const QString& text);

    FileListBox* filSkin = nullptr;
    DirListBox* dirSkin = nullptr;
    DriveListBox* drvSkin = nullptr;
    QGroupBox* fraAbout = nullptr;
    PreviewBox* imgPreview = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblAuthor = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* lblWeb = nullptr;
    QLabel* lblAbout = nullptr;
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

    SkinChoice::Steps m_steps = SkinChoice::realSteps();
    bool m_hiddenPictureMode = false;
    bool m_closing = false; // OK or Cancel has done its work; the close is theirs
};
