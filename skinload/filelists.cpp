#include "filelists.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QSet>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
// Pixels each level of the folder list is drawn further right.
constexpr int IndentPixels = 8;

DriveListBox::Source& volumeSource() {
    static DriveListBox::Source source;
    return source;
}

QList<Volume> currentVolumes() {
    return volumeSource() ? volumeSource()() : systemDrives();
}

// File systems that hold no files of the user: kernel interfaces, memory
// backed scratch space and read-only application images.
bool isPseudoFileSystem(const QByteArray& type) {
    static const QSet<QByteArray> pseudo = {
        "proc",     "sysfs",           "devtmpfs",    "devpts",        "tmpfs",    "ramfs",
        "cgroup",   "cgroup2",         "securityfs",  "pstore",        "efivarfs", "bpf",
        "debugfs",  "tracefs",         "configfs",    "fusectl",       "mqueue",   "hugetlbfs",
        "autofs",   "binfmt_misc",     "rpc_pipefs",  "nfsd",          "nsfs",     "selinuxfs",
        "squashfs", "fuse.gvfsd-fuse", "fuse.portal", "fuse.snapfuse", "none",
    };
    return pseudo.contains(type);
}

bool isUnder(const QString& path, const QString& root) {
    if (root == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

// A folder the lists can show: one we may both enter and list.
bool isOpenableFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex& index) {
        return index.data(LevelRole).toInt() * IndentPixels;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Free functions

QString normalFolder(const QString& path) {
    if (path.isEmpty())
        return QString();
    return QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(path));
}

QList<Volume> drivesFromMounts(const QList<MountInfo>& mounts) {
    QList<Volume> drives;
    QSet<QString> seen;
    for (const MountInfo& m : mounts) {
        const QString root = normalFolder(m.root);
        if (root.isEmpty() || !QDir::isAbsolutePath(m.root) || seen.contains(root))
            continue;
        const bool isRoot = root == QLatin1String("/");
        if (!isRoot) {
            if (!m.isDir || isPseudoFileSystem(m.fsType))
                continue;
            if (isUnder(root, QStringLiteral("/proc")) || isUnder(root, QStringLiteral("/sys")) ||
                isUnder(root, QStringLiteral("/dev")))
                continue;
        }
        seen.insert(root);
        drives.append(Volume{root, m.label, m.ready});
    }
    std::stable_sort(drives.begin(), drives.end(), [](const Volume& a, const Volume& b) {
        const bool aRoot = a.root == QLatin1String("/");
        const bool bRoot = b.root == QLatin1String("/");
        if (aRoot != bRoot)
            return aRoot;
        return a.root < b.root;
    });
    return drives;
}

QList<Volume> systemDrives() {
    QList<MountInfo> mounts;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& v : volumes) {
        MountInfo m;
        m.root = v.rootPath();
        m.fsType = v.fileSystemType();
        m.label = v.name();
        m.ready = v.isValid() && v.isReady();
        m.isDir = QFileInfo(m.root).isDir();
        mounts.append(m);
    }
    return drivesFromMounts(mounts);
}

QString driveOfPath(const QList<Volume>& drives, const QString& path) {
    if (!QDir::isAbsolutePath(path))
        return QString();
    const QString clean = QDir::cleanPath(path);
    QString best;
    for (const Volume& v : drives) {
        if (isUnder(clean, v.root) && v.root.size() > best.size())
            best = v.root;
    }
    return best;
}

// ---------------------------------------------------------------------------
// DriveListBox

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    fill(currentVolumes());
    m_drive = driveOfPath(m_drives, QDir::currentPath());
    select(m_drive);
    connect(this, qOverload<int>(&QComboBox::activated), this, &DriveListBox::userPicked);
}

void DriveListBox::setVolumeSource(Source source) {
    volumeSource() = std::move(source);
}

QString DriveListBox::drive() const {
    return m_drive;
}

bool DriveListBox::setDrive(const QString& text) {
    const QString root = driveOfPath(m_drives, normalFolder(text));
    if (root.isEmpty())
        return false;
    const auto it = std::find_if(m_drives.cbegin(), m_drives.cend(),
                                 [&](const Volume& v) { return v.root == root; });
    if (!it->ready || !isOpenableFolder(root))
        return false;
    if (root == m_drive)
        return true;
    m_drive = root;
    select(root);
    emit changed();
    return true;
}

QString DriveListBox::currentFolderOf(const QString& drive) const {
    const auto it = m_currentFolders.constFind(drive);
    if (it != m_currentFolders.cend())
        return *it;
    const QString working = normalFolder(QDir::currentPath());
    return driveOfPath(m_drives, working) == drive ? working : drive;
}

void DriveListBox::followFolder(const QString& folder) {
    const QString root = driveOfPath(m_drives, folder);
    if (root.isEmpty())
        return;
    m_currentFolders.insert(root, folder);
    m_drive = root;
    select(root);
}

void DriveListBox::refresh() {
    fill(currentVolumes());
    if (std::none_of(m_drives.cbegin(), m_drives.cend(),
                     [&](const Volume& v) { return v.root == m_drive; }))
        m_drive = driveOfPath(m_drives, m_drive); // its volume was taken away
    select(m_drive);
}

void DriveListBox::showPopup() {
    refresh();
    QComboBox::showPopup();
}

void DriveListBox::fill(const QList<Volume>& drives) {
    m_drives = drives;
    const QSignalBlocker block(this);
    clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const Volume& v : drives) {
        const QString text =
            v.label.isEmpty() ? v.root : v.root + QLatin1String(" [") + v.label + QLatin1Char(']');
        addItem(icon, text, v.root);
    }
}

void DriveListBox::userPicked(int index) {
    if (index < 0 || index >= m_drives.size())
        return;
    const Volume& picked = m_drives.at(index);
    if (picked.root == m_drive)
        return;
    if (!picked.ready || !isOpenableFolder(picked.root)) {
        const QString root = picked.root;
        select(m_drive);
        emit notReady(root);
        return;
    }
    m_drive = picked.root;
    emit changed();
}

void DriveListBox::select(const QString& root) {
    const QSignalBlocker block(this);
    setCurrentIndex(findData(root));
}

// ---------------------------------------------------------------------------
// DirListBox

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    // Long names are cut short, as in a classic folder list.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openRow(row(item)); });
    setPath(QDir::currentPath());
}

QString DirListBox::path() const {
    return m_path;
}

bool DirListBox::setPath(const QString& path) {
    const QString folder = normalFolder(path);
    if (folder.isEmpty() || !isOpenableFolder(folder))
        return false;
    const bool moved = folder != m_path;
    m_path = folder;
    fill();
    if (moved)
        emit changed();
    return true;
}

QString DirListBox::rowPath(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(PathRole).toString() : QString();
}

int DirListBox::rowLevel(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(LevelRole).toInt() : -1;
}

bool DirListBox::openRow(int row) {
    const QString target = rowPath(row);
    if (target.isEmpty())
        return false;
    if (!setPath(target)) {
        emit cannotOpen(target);
        return false;
    }
    return true;
}

void DirListBox::fill() {
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    // The ancestors from "/" down to the current folder, each one level deeper.
    const QStringList parts = m_path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString walked;
    for (int level = 0; level <= parts.size(); ++level) {
        QString text;
        if (level == 0) {
            walked = QStringLiteral("/");
            text = walked;
        } else {
            text = parts.at(level - 1);
            walked = (walked == QLatin1String("/") ? walked : walked + QLatin1Char('/')) + text;
        }
        auto* item = new QListWidgetItem(open, text, this);
        item->setData(PathRole, walked);
        item->setData(LevelRole, level);
    }
    const int currentRow = parts.size();

    // Its subfolders, one level deeper still. Hidden ones are left out.
    const QStringList subfolders = QDir(m_path).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    const QString prefix = m_path == QLatin1String("/") ? m_path : m_path + QLatin1Char('/');
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closed, name, this);
        item->setData(PathRole, prefix + name);
        item->setData(LevelRole, currentRow + 1);
    }
    setCurrentRow(currentRow);
    scrollToItem(item(currentRow), QAbstractItemView::PositionAtCenter);
}

// ---------------------------------------------------------------------------
// FileListBox

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListBox::selectionMoved);
    setPath(QDir::currentPath());
}

QString FileListBox::path() const {
    return m_path;
}

bool FileListBox::setPath(const QString& path) {
    const QString folder = normalFolder(path);
    m_path = folder;
    fill();
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

QString FileListBox::pattern() const {
    return m_pattern;
}

void FileListBox::setPattern(const QString& pattern) {
    if (pattern == m_pattern)
        return;
    m_pattern = pattern;
    fill();
}

int FileListBox::listCount() const {
    return count();
}

QString FileListBox::list(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->text() : QString();
}

int FileListBox::listIndex() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void FileListBox::setListIndex(int row) {
    if (row < 0 || row >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

QString FileListBox::fileName() const {
    return list(listIndex());
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    const int before = listIndex();
    QListWidget::mousePressEvent(event);
    // A click on the row that stays selected is a click all the same.
    if (event->button() == Qt::LeftButton && before >= 0 && listIndex() == before &&
        indexAt(event->position().toPoint()).row() == before)
        emit rowClicked();
}

void FileListBox::fill() {
    m_filling = true;
    clear();
    if (!m_path.isEmpty()) {
        // QDir::Files without QDir::Hidden and QDir::System: ordinary visible
        // files only (no broken links, pipes or devices). Patterns ignore case.
        const QStringList names = QDir(m_path).entryList(
            QStringList{m_pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
        addItems(names);
    }
    clearSelection();
    m_lastIndex = -1;
    m_filling = false;
}

void FileListBox::selectionMoved() {
    if (m_filling)
        return;
    const int index = listIndex();
    if (index == m_lastIndex)
        return;
    m_lastIndex = index;
    if (index >= 0)
        emit rowClicked();
}
