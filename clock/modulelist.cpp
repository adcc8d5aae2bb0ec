#include "modulelist.h"

#include "keys.h"
#include "store.h"

#include <QFileInfo>

namespace {
const QString section = QString::fromLatin1(Keys::Section::Modules);
}

ModuleList::ModuleList() : m_elements(1) {}

void ModuleList::restore() {
    m_elements = QList<ModuleEntry>(1);
    m_holding = false;
    int i = 0;
    QString name = Store::get(section, Keys::Modules::nameKey(i), QString());
    while (!name.isEmpty()) {
        const QString path = Store::get(section, Keys::Modules::exeKey(i), QString());
        if (i == 0)
            m_holding = true;
        else
            m_elements.append(ModuleEntry());
        m_elements[i] = {name, path};
        ++i;
        name = Store::get(section, Keys::Modules::nameKey(i), QString());
    }
}

bool ModuleList::store() const {
    bool ok = true;
    const int n = count();
    for (int i = 0; i < n; ++i) {
        ok = Store::save(section, Keys::Modules::nameKey(i), m_elements[i].caption) && ok;
        ok = Store::save(section, Keys::Modules::exeKey(i), m_elements[i].path) && ok;
    }
    ok = Store::save(section, Keys::Modules::nameKey(n), QString()) && ok;
    ok = Store::save(section, Keys::Modules::exeKey(n), QString()) && ok;
    return ok;
}

int ModuleList::add(const QString& path) {
    int index;
    if (m_elements.size() == 1 && !m_holding) {
        index = 0;
        m_holding = true;
    } else {
        index = int(m_elements.size());
        m_elements.append(ModuleEntry());
    }
    m_elements[index].path = path;
    m_elements[index].caption = captionFor(path);
    return index;
}

bool ModuleList::remove(int row) {
    const int rows = count();
    if (row < 0 || row >= rows)
        return false;
    for (int i = row; i <= rows - 2; ++i)
        m_elements[i] = m_elements[i + 1];
    if (m_elements.size() > 1)
        m_elements.removeLast();
    if (rows == 1)
        m_holding = false;
    return true;
}

QString ModuleList::captionFor(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    const QLatin1String suffix(ExecutableSuffix);
    QString caption = fileName;
    if (caption.endsWith(suffix, Qt::CaseInsensitive))
        caption.chop(suffix.size());
    // An empty caption would end the stored list early and hide the entries
    // after it, so a caption always shows something.
    if (caption.isEmpty())
        caption = fileName.isEmpty() ? path : fileName;
    return caption;
}
