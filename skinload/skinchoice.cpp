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

bool isSkinSelected() {
    const QString section = QLatin1String(Keys::Section::Skin);
    return isValidSkin(Store::get(section, QLatin1String(Keys::Skin::Dir), QString()),
                       Store::get(section, QLatin1String(Keys::Skin::Name), QString()));
}

QString dirText(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
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
