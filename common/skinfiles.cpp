#include "skinfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

bool isValidSkin(const QString& dir, const QString& name) {
    if (dir.isEmpty() || name.isEmpty())
        return false;
    const QFileInfo file(dir + name);
    return file.exists() && file.isFile() && !file.isHidden();
}

QString picturePath(const QString& dir, const QString& value) {
    const QString path = dir + QString(value).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(path);
    if (info.exists())
        return path;
    const QString name = info.fileName();
    // The name is used as a pattern below: one with wildcards stays as it is.
    static const QRegularExpression wildcard(QStringLiteral("[*?\\[\\]]"));
    if (name.isEmpty() || name.contains(wildcard))
        return path;
    const QStringList found = info.dir().entryList({name}, QDir::Files | QDir::Hidden);
    return found.isEmpty() ? path : info.dir().filePath(found.first());
}
