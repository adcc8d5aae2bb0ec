// The clock's open-file dialog: filter pairs, start folder and title in, the
// chosen path (or the cancel form) out. Callers rely on the result's form:
//   cancelled: a single NUL character;
//   chosen:    the full path, a NUL, blanks, and a final NUL (260 characters
//              in all for a path of up to 258 characters; a longer path is
//              returned whole, followed by two NULs).
// The chosen path is always the text before the first NUL.
// The dialog is Qt's own widget dialog, so it looks and behaves the same
// everywhere; tests install a fake through setBackend().
#pragma once

#include <QString>
#include <QStringList>

class FileDialogBackend {
public:
    virtual ~FileDialogBackend() = default;
    // Shows the dialog; the chosen files' full paths, or none when cancelled.
    virtual QStringList getOpenFileNames(const QString& title, const QString& directory,
                                         const QString& qtFilter, bool multiselect) = 0;
    // The same, offering only files the user may run when `executablesOnly`.
    virtual QStringList getFilteredFileNames(const QString& title, const QString& directory,
                                             const QString& qtFilter, bool multiselect,
                                             bool executablesOnly) {
        Q_UNUSED(executablesOnly);
        return getOpenFileNames(title, directory, qtFilter, multiselect);
    }
};

class FileCommonDialog {
public:
    // "Description|pattern|Description|pattern" pairs.
    void setFilter(const QString& CustomFilter);
    QString InitialDirectory() const { return m_initialDir; }
    void setInitialDirectory(const QString& InitDir) { m_initialDir = InitDir; }
    // Programs have no common file-name pattern here: offer only the folder's
    // executable files.
    void setExecutablesOnly(bool on) { m_executablesOnly = on; }
    QString WindowTitle() const { return m_title; }
    void setWindowTitle(const QString& Title) { m_title = Title; }

    // Shows the open dialog and returns the result text described above. A
    // name typed for a file that does not exist is returned like a chosen one.
    QString GetFileOpenName(bool Multiselect);

    // The filter as it is stored: every "|" a NUL, one NUL appended.
    QString filterRecord() const { return m_filter; }
    // The flag word of the last GetFileOpenName: 0x80004, or 0x80204 with
    // multi-select.
    quint32 flags() const { return m_flags; }

    // The filter pairs in Qt's form: "Skins|*.ini" becomes "Skins (*.ini)",
    // a description that already names its patterns in parentheses is kept,
    // and pairs are joined by ";;".
    static QString qtFilter(const QString& customFilter);

    // nullptr puts Qt's dialog back. The caller keeps ownership.
    static void setBackend(FileDialogBackend* backend);

    static constexpr quint32 FlagsSingle = 0x80004;
    static constexpr quint32 FlagsMulti = 0x80204;
    // The classic result buffer's length, kept for paths that fit it.
    static constexpr int ResultLength = 260;

private:
    QString m_filter;
    QString m_filterText;
    QString m_initialDir;
    QString m_title;
    quint32 m_flags = 0;
    bool m_executablesOnly = false;
};
