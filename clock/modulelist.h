// The user's own modules in the popup menu's Modules submenu, as plain data:
// the element array (element i is entry i: its caption and the program path it
// starts), whether the list holds entries, and how it is restored from, stored
// to and removed from. The menu mirrors this array in its mnuModule items.
#pragma once

#include <QList>
#include <QString>

struct ModuleEntry {
    QString caption;
    QString path;
    bool operator==(const ModuleEntry& o) const { return caption == o.caption && path == o.path; }
};

class ModuleList {
public:
    // The platform's executable suffix, which a caption does not show.
    static constexpr const char* ExecutableSuffix = ".exe";

    ModuleList();

    // Element 0 always exists; while the list is empty it is hidden and may
    // still carry the caption and path of an entry removed earlier.
    const QList<ModuleEntry>& elements() const { return m_elements; }
    bool holdsEntries() const { return m_holding; }
    // Entries shown in the menu: 0 when empty, else every element.
    int count() const { return m_holding ? int(m_elements.size()) : 0; }
    const ModuleEntry& entry(int i) const { return m_elements.at(i); }

    // Reads Name0, Exe0, Name1, ... until the first empty or absent name.
    void restore();
    // Writes every entry as Name<i>/Exe<i>, then an empty pair after the last.
    // False when the store could not be written.
    bool store() const;

    // Adds the program at `path`: reuses element 0 while the list is empty,
    // else appends. Returns the index of the entry.
    int add(const QString& path);

    // Removes the entry in `row`, moving the later ones up. A row outside the
    // list does nothing and returns false. When the last entry goes the list
    // is empty again and element 0 keeps what it had.
    bool remove(int row);

    // The menu caption of a program: its file name without folder and without
    // the executable suffix; the whole file name when that would leave nothing.
    static QString captionFor(const QString& path);

private:
    QList<ModuleEntry> m_elements;
    bool m_holding = false;
};
