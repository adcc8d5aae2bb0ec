#include "skinchoice.h"

#include "keys.h"
#include "keysignal.h"
#include "store.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace SkinChoice {

Steps realSteps() {
    Steps steps;
    steps.save = [](const QString& key, const QString& value) {
        return Store::save(QLatin1String(Keys::Section::Skin), key, value);
    };
    // Never waits: the browser goes on (or ends) at once.
    steps.signal = [] { return KeySignal::send(KeySignal::F2, false); };
    return steps;
}

bool isValidSkin(const QString& dir, const QString& name) {
    if (dir.isEmpty() || name.isEmpty())
        return false;
    const QFileInfo file(dir + name);
    return file.exists() && file.isFile() && !file.isHidden();
}

bool isSkinSelected() {
    const QString section = QLatin1String(Keys::Section::Skin);
    return isValidSkin(Store::get(section, QLatin1String(Keys::Skin::Dir), QString()),
                       Store::get(section, QLatin1String(Keys::Skin::Name), QString()));
}

QString dirText(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
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

bool storeChoice(const QString& folder, const QString& name, const Steps& steps) {
    return steps.save(QLatin1String(Keys::Skin::Dir), dirText(folder)) &&
           steps.save(QLatin1String(Keys::Skin::Name), name) &&
           steps.save(QLatin1String(Keys::Skin::Type), QLatin1String(Keys::Skin::TypeOwn)) &&
           steps.signal();
}

bool storeCancelMarker(const Steps& steps) {
    return steps.save(QLatin1String(Keys::Skin::Dir), QLatin1String(Keys::Skin::CancelMarker));
}

} // namespace SkinChoice
