// The drive, folder and file lists of the skin browser: the classic trio of
// list controls, carried over to a desktop whose "drives" are mounted volumes.
//
// - DriveListBox: the mounted volumes, root first; its drive is a volume's
//   root path. Each drive remembers its current folder.
// - DirListBox: the current folder's ancestors (from "/") and its subfolders;
//   a row opens on double-click or Enter.
// - FileListBox: the non-hidden files of a folder that match a pattern.
//
// Each raises its change or click event both for the user and for the program,
// as the window's handlers expect; a refill alone never raises one.
#pragma once

#include <QComboBox>
#include <QHash>
#include <QList>
#include <QListWidget>
#include <QString>
#include <functional>

// A drive: a mounted volume the user may browse.
struct Volume {
    QString root;  // mount point, absolute, no trailing "/" except for "/" itself
    QString label; // volume name, may be empty
    bool ready = true;
};

// What the system tells about one mount, before we decide whether it is a drive.
struct MountInfo {
    QString root;
    QByteArray fsType;
    QString label;
    bool ready = true;
    bool isDir = true; // a file bind-mounted over a file is no drive
};

// The drives among the mounts: pseudo and in-memory file systems, mounts under
// /proc, /sys and /dev, mounts that are not folders and repeated roots are left
// out; "/" is always kept and comes first, the others follow by path.
QList<Volume> drivesFromMounts(const QList<MountInfo>& mounts);

// The drives of this system (QStorageInfo::mountedVolumes through the filter).
QList<Volume> systemDrives();

// The root of the drive that holds `path`: the longest root that is `path` or
// one of its ancestors. Empty when `path` is not absolute or no drive holds it.
QString driveOfPath(const QList<Volume>& drives, const QString& path);

// `path` made absolute (against the working folder) and clean, without a
// trailing "/" (except "/" itself). Empty for an empty text.
QString normalFolder(const QString& path);

class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    using Source = std::function<QList<Volume>()>;

    explicit DriveListBox(QWidget* parent = nullptr);

    // Where drives come from; tests give their own. nullptr: the system's.
    static void setVolumeSource(Source source);

    // The current drive: a root path.
    QString drive() const;
    // Sets the drive from a text: the drive that holds the path the text names.
    // Raises the change event when the drive changes. False (and nothing
    // changes) when no drive holds it or that drive is not ready.
    bool setDrive(const QString& text);

    // The folder the drive's lists last showed: the working folder for the
    // drive that holds it, the root for the others, until the folder list has
    // been elsewhere on that drive.
    QString currentFolderOf(const QString& drive) const;
    // The folder list is now at `folder`: remember it as its drive's current
    // folder and show that drive, without a change event.
    void followFolder(const QString& folder);

    // Reads the mounted volumes again, keeping the current drive when it is
    // still there. Done whenever the list is opened.
    void refresh();

    void showPopup() override;

signals:
    void changed();
    // The user picked a drive that cannot be read; the list stays where it was.
    void notReady(const QString& drive);

private:
    void fill(const QList<Volume>& drives);
    void userPicked(int index);
    void select(const QString& root);

    QList<Volume> m_drives;
    QString m_drive;
    QHash<QString, QString> m_currentFolders;
};

class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    // The current folder: absolute, no trailing "/" (except "/").
    QString path() const;
    // Moves the list to `path` (made absolute and clean). Raises the change
    // event when the folder changes; the same folder only refreshes the rows.
    // False (and nothing changes) when it is no folder that can be opened.
    bool setPath(const QString& path);

    // The folder of row `row`, and how deep it is drawn (0 for "/").
    QString rowPath(int row) const;
    int rowLevel(int row) const;

    // Opens the folder of `row`, as a double-click on it does.
    bool openRow(int row);

signals:
    void changed();
    // The user opened a row whose folder cannot be opened.
    void cannotOpen(const QString& path);

private:
    void fill();

    QString m_path;
};

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    // The folder listed: absolute, no trailing "/" (except "/").
    QString path() const;
    // Lists `path` afresh with no row selected, without a click event. False
    // when it is no folder (the list is then empty).
    bool setPath(const QString& path);

    QString pattern() const;
    void setPattern(const QString& pattern);

    int listCount() const;
    QString list(int row) const; // the file's name, without folder
    int listIndex() const;       // the selected row, -1 when none
    // Selects `row` (-1: none); selecting a row raises the click event.
    void setListIndex(int row);
    // The selected file's name; empty when no row is selected.
    QString fileName() const;

signals:
    // A row was selected, by mouse, keyboard or program (also a mouse click on
    // the row that was already selected).
    void rowClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fill();
    void selectionMoved();

    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    int m_lastIndex = -1;
    bool m_filling = false;
};
