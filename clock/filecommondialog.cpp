#include "filecommondialog.h"

#include <QDir>
#include <QFileDialog>

namespace {

class QtFileDialogBackend : public FileDialogBackend {
public:
    QStringList getOpenFileNames(const QString& title, const QString& directory,
                                 const QString& qtFilter, bool multiselect) override {
        return getFilteredFileNames(title, directory, qtFilter, multiselect, false);
    }
    QStringList getFilteredFileNames(const QString& title, const QString& directory,
                                     const QString& qtFilter, bool multiselect,
                                     bool executablesOnly) override {
        QFileDialog dialog(nullptr, title, directory, qtFilter);
        if (executablesOnly)
            dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDot);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // Nothing requires the file to exist: a typed name comes back as well.
        dialog.setFileMode(multiselect ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles();
    }
};

QtFileDialogBackend qtBackend;
FileDialogBackend* currentBackend = &qtBackend;

} // namespace

void FileCommonDialog::setBackend(FileDialogBackend* backend) {
    currentBackend = backend ? backend : &qtBackend;
}

void FileCommonDialog::setFilter(const QString& CustomFilter) {
    m_filterText = CustomFilter;
    m_filter = CustomFilter;
    m_filter.replace(QLatin1Char('|'), QChar(0));
    m_filter += QChar(0);
}

QString FileCommonDialog::qtFilter(const QString& customFilter) {
    const QStringList parts = customFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QString patterns = parts.at(i + 1).trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty())
            continue;
        if (description.contains(QLatin1Char('(')) && description.endsWith(QLatin1Char(')')))
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QString FileCommonDialog::GetFileOpenName(bool Multiselect) {
    m_flags = Multiselect ? FlagsMulti : FlagsSingle;
    const QStringList files = currentBackend->getFilteredFileNames(
        m_title, QDir::fromNativeSeparators(m_initialDir), qtFilter(m_filterText), Multiselect,
        m_executablesOnly);
    const QChar nul(0);
    if (files.isEmpty() || files.first().isEmpty())
        return QString(nul);
    QString chosen;
    if (files.size() == 1) {
        chosen = files.first();
    } else {
        // Several files: the folder, then each name, NUL-separated.
        chosen = QFileInfo(files.first()).absolutePath();
        for (const QString& f : files)
            chosen += nul + QFileInfo(f).fileName();
    }
    // The chosen text, a NUL, blanks up to the classic length, the final NUL;
    // a path longer than the classic buffer is returned whole.
    QString result = chosen + nul;
    if (result.size() < ResultLength - 1)
        result += QString(ResultLength - 1 - result.size(), QLatin1Char(' '));
    return result + nul;
}
