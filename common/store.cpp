#include "store.h"

#include "conversions.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QVariant>

#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace Store {

namespace {

using Values = QHash<QString, QString>;

// How long a save waits for another program's save to finish before it
// reports failure. A save holds the lock for a few milliseconds.
constexpr int kLockWaitMs = 3000;

// QSettings' own form of a key path: no empty parts, no '/' at either end.
QString settingsKey(const QString& section, const QString& key) {
    return (section + QLatin1Char('/') + key).split(QLatin1Char('/'), Qt::SkipEmptyParts).join('/');
}

// ---------------------------------------------------------------------------
// Raw value texts. QSettings reads a value with an unquoted comma as a list;
// such a value was typed by hand ("DateFormat=mmm d, yyyy") and means the text
// as it stands. These helpers find that text in the file's bytes.

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A section or key name as written in the file: %XX and %UXXXX stand for one
// character, a backslash for '/'.
QString unescapeName(const QByteArray& raw) {
    const QString s = QString::fromUtf8(raw);
    QString out;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == QLatin1Char('\\')) {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c == QLatin1Char('%') && i + 1 < s.size()) {
            const bool wide = s[i + 1] == QLatin1Char('U');
            const qsizetype first = wide ? i + 2 : i + 1;
            const qsizetype digits = wide ? 4 : 2;
            if (first + digits <= s.size()) {
                bool ok = false;
                const ushort code = s.mid(first, digits).toUShort(&ok, 16);
                if (ok) {
                    out += QChar(code);
                    i = first + digits;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

// The raw text after '=' of every key, by QSettings key path; a later line of
// the same key wins, as in QSettings. Lines ending in a backslash continue on
// the next line.
QHash<QString, QByteArray> rawValues(const QByteArray& bytes) {
    QHash<QString, QByteArray> result;
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    data.replace("\r\n", "\n");
    data.replace('\r', '\n');
    const QList<QByteArray> lines = data.split('\n');
    QString group;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[')) {
            qsizetype end = line.lastIndexOf(']');
            if (end < 0)
                end = line.size();
            const QByteArray name = line.mid(1, end - 1).trimmed();
            // [General] holds the keys outside any group; %General is the group.
            group = name == "General" ? QString() : unescapeName(name);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QString key = unescapeName(line.left(eq).trimmed());
        QByteArray value = line.mid(eq + 1);
        auto continues = [](const QByteArray& v) {
            qsizetype slashes = 0;
            for (qsizetype i = v.size() - 1; i >= 0 && v[i] == '\\'; --i)
                ++slashes;
            return slashes % 2 == 1;
        };
        while (continues(value) && n + 1 < lines.size())
            value += '\n' + lines[++n];
        result.insert(settingsKey(group, key), value);
    }
    return result;
}

// The text of a raw value with QSettings' quoting and escapes undone but its
// commas kept as they stand. Blanks around the value are dropped, blanks that
// are quoted or escaped are kept.
QString unescapeValue(const QByteArray& raw) {
    QString out;
    QByteArray run;     // plain bytes, decoded as UTF-8 in one piece
    qsizetype keep = 0; // out[0, keep) is never trimmed
    bool inQuotes = false;
    auto flush = [&] {
        out += QString::fromUtf8(run);
        run.clear();
    };
    const qsizetype n = raw.size();
    qsizetype i = 0;
    while (i < n && (raw[i] == ' ' || raw[i] == '\t'))
        ++i;
    while (i < n) {
        const char c = raw[i++];
        if (c == '"') {
            flush();
            inQuotes = !inQuotes;
            keep = out.size();
            continue;
        }
        if (c != '\\') {
            run += c;
            continue;
        }
        flush();
        if (i >= n)
            break;
        const char e = raw[i++];
        switch (e) {
        case 'a':
            out += QLatin1Char('\a');
            break;
        case 'b':
            out += QLatin1Char('\b');
            break;
        case 'f':
            out += QLatin1Char('\f');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'v':
            out += QLatin1Char('\v');
            break;
        case '"':
        case '?':
        case '\'':
        case '\\':
            out += QLatin1Char(e);
            break;
        case 'x': {
            uint code = 0;
            int digits = 0;
            while (i < n && hexValue(raw[i]) >= 0) {
                code = ((code << 4) | uint(hexValue(raw[i++]))) & 0xFFFF;
                ++digits;
            }
            if (digits > 0)
                out += QChar(char16_t(code));
            break;
        }
        case '\n': // an escaped line end continues the value
            break;
        default:
            if (e >= '0' && e <= '7') {
                uint code = uint(e - '0');
                while (i < n && raw[i] >= '0' && raw[i] <= '7')
                    code = ((code << 3) | uint(raw[i++] - '0')) & 0xFFFF;
                out += QChar(char16_t(code));
            }
            // any other escaped character is dropped, as QSettings does
            break;
        }
        keep = out.size();
    }
    flush();
    if (!inQuotes) {
        qsizetype end = out.size();
        while (end > keep &&
               (out[end - 1] == QLatin1Char(' ') || out[end - 1] == QLatin1Char('\t')))
            --end;
        out.truncate(end);
    }
    return out;
}

// The text a stored value stands for. QSettings hands back a QString for
// everything our programs write; other types only come from hand edits or
// from foreign writers.
QString textOf(const QVariant& v, const QString& key, const QByteArray& bytes,
               std::optional<QHash<QString, QByteArray>>& raws) {
    const int type = v.metaType().id();
    if (type == QMetaType::QString)
        return v.toString();
    if (type == QMetaType::QByteArray)
        return QString::fromUtf8(v.toByteArray());
    if (!raws)
        raws = rawValues(bytes);
    const auto it = raws->constFind(key);
    if (it != raws->cend())
        return unescapeValue(*it);
    if (type == QMetaType::QStringList)
        return v.toStringList().join(QLatin1String(", "));
    return v.canConvert<QString>() ? v.toString() : QString();
}

Values readValues(const QSettings& s, const QByteArray& bytes) {
    Values values;
    std::optional<QHash<QString, QByteArray>> raws;
    const QStringList keys = s.allKeys();
    for (const QString& key : keys)
        values.insert(key, textOf(s.value(key), key, bytes, raws));
    return values;
}

// ---------------------------------------------------------------------------
// QSettings is our parser and writer, but its cache of parsed files trusts a
// file whose size and millisecond time look unchanged, and so misses a
// same-size save made in the same millisecond by another program. We never
// let it read the store itself: it reads a private copy, and that copy is
// always written with a size different from the one QSettings last saw, so it
// always parses afresh.
class Scratch {
public:
    bool load(const QByteArray& bytes) {
        // A second try in a new folder: a cleaner of temporary files may have
        // removed ours while the program ran for days, and after a failed
        // write we no longer know what size QSettings last saw at the old path.
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (ensureDir() && write(bytes))
                return true;
            m_dir.reset();
            m_seenSize = -1;
        }
        return false;
    }

    // After QSettings has read or rewritten the copy: the size it now holds.
    void settle() { m_seenSize = QFileInfo(m_path).size(); }

    std::optional<QByteArray> contents() const {
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly))
            return std::nullopt;
        QByteArray data = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return std::nullopt;
        return data;
    }

    QString path() const { return m_path; }

private:
    bool write(const QByteArray& bytes) {
        QByteArray data = bytes;
        if (data.size() == m_seenSize)
            data += '\n'; // a blank line changes nothing but the size
        QFile f(m_path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        if (f.write(data) != data.size())
            return false;
        f.close();
        if (f.error() != QFileDevice::NoError)
            return false;
        m_seenSize = data.size();
        return true;
    }

    bool ensureDir() {
        if (m_dir)
            return true;
        // The user's runtime folder (private, in memory) or else the system's
        // temporary folder, so that reading works even when the store's
        // folder is read-only; the store's folder as the last resort.
        QStringList bases;
        if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
            bases << QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        bases << QDir::tempPath() << QFileInfo(filePath()).absolutePath();
        for (const QString& base : bases) {
            if (base.isEmpty())
                continue;
            auto dir =
                std::make_unique<QTemporaryDir>(base + QLatin1String("/dialmere-store-XXXXXX"));
            if (dir->isValid()) {
                m_path = dir->filePath(QStringLiteral("store.ini"));
                m_dir = std::move(dir);
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    qint64 m_seenSize = -1;
};

struct State {
    Scratch scratch;
    // The bytes of the store's file at the last parse, and what they hold.
    bool cached = false;
    QByteArray bytes;
    Values values;
};

State& state() {
    static State s;
    return s;
}

QMutex& mutex() {
    static QMutex m;
    return m;
}

// All values of a store file's bytes, parsed afresh.
std::optional<Values> parse(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return Values();
    Scratch& scratch = state().scratch;
    if (!scratch.load(bytes))
        return std::nullopt;
    std::optional<Values> values;
    {
        const QSettings s(scratch.path(), QSettings::IniFormat);
        if (s.status() != QSettings::AccessError)
            values = readValues(s, bytes);
    }
    scratch.settle();
    return values;
}

enum class ReadResult { Ok, Absent, Failed };

ReadResult readFile(const QString& path, QByteArray& bytes) {
    QFile f(path);
    if (!f.exists())
        return ReadResult::Absent;
    if (!f.open(QIODevice::ReadOnly))
        return ReadResult::Failed;
    bytes = f.readAll();
    return f.error() == QFileDevice::NoError ? ReadResult::Ok : ReadResult::Failed;
}

bool acquire(QLockFile& lock) {
    const QDeadlineTimer deadline(kLockWaitMs);
    for (;;) {
        if (lock.tryLock(0))
            return true;
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        // Another program is saving; it takes a few milliseconds.
        QThread::msleep(QRandomGenerator::global()->bounded(2, 12));
    }
}

// Makes the rename of the new file durable too, not only its contents.
void syncFolder(const QString& folder) {
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

} // namespace

QString filePath() {
    static const QString path = QSettings(QSettings::IniFormat, QSettings::UserScope,
                                          QStringLiteral("Dialmere"), QStringLiteral("Dialmere"))
                                    .fileName();
    return path;
}

QString get(const QString& section, const QString& key, const QString& def) {
    const QMutexLocker locker(&mutex());
    State& st = state();
    QByteArray bytes;
    if (readFile(filePath(), bytes) != ReadResult::Ok) {
        st.cached = false;
        return def;
    }
    if (!st.cached || bytes != st.bytes) {
        std::optional<Values> values = parse(bytes);
        if (!values) {
            // No private copy possible (no writable temporary folder): read
            // the store through QSettings directly, which is right except in
            // the rare case described at Scratch.
            st.cached = false;
            const QSettings s(filePath(), QSettings::IniFormat);
            const QString k = settingsKey(section, key);
            if (!s.contains(k))
                return def;
            std::optional<QHash<QString, QByteArray>> raws;
            return textOf(s.value(k), k, bytes, raws);
        }
        st.bytes = bytes;
        st.values = std::move(*values);
        st.cached = true;
    }
    const auto it = st.values.constFind(settingsKey(section, key));
    return it == st.values.cend() ? def : *it;
}

bool save(const QString& section, const QString& key, const QString& text) {
    const QMutexLocker locker(&mutex());
    State& st = state();
    const QString k = settingsKey(section, key);
    if (QString(key).remove(QLatin1Char('/')).isEmpty())
        return false;
    const QString path = filePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;

    // The same lock QSettings takes, so that every writer of the file waits
    // for the others; under it the file on disk is the truth we merge into.
    QLockFile lock(path + QLatin1String(".lock"));
    if (!acquire(lock))
        return false;
    QByteArray current;
    const ReadResult read = readFile(path, current);
    if (read == ReadResult::Failed)
        return false; // never replace a file we could not read

    // The clock rewrites its version and position at every start and close;
    // a value that is already stored needs no disk write.
    if (read == ReadResult::Ok) {
        if (!st.cached || st.bytes != current) {
            if (std::optional<Values> values = parse(current)) {
                st.bytes = current;
                st.values = std::move(*values);
                st.cached = true;
            }
        }
        if (st.cached && st.bytes == current) {
            const auto it = st.values.constFind(k);
            if (it != st.values.cend() && *it == text)
                return true;
        }
    }

    if (!st.scratch.load(current))
        return false;
    {
        QSettings s(st.scratch.path(), QSettings::IniFormat);
        if (s.status() == QSettings::AccessError)
            return false;
        // QSettings would write a hand-typed list back as "a, b"; write it
        // as the one quoted text it stands for instead, so that it keeps
        // reading exactly as typed.
        std::optional<QHash<QString, QByteArray>> raws;
        const QStringList keys = s.allKeys();
        for (const QString& other : keys) {
            const QVariant v = s.value(other);
            if (v.metaType().id() == QMetaType::QStringList)
                s.setValue(other, textOf(v, other, current, raws));
        }
        s.setValue(k, text);
        s.sync();
        if (s.status() == QSettings::AccessError)
            return false;
    }
    st.scratch.settle();
    const std::optional<QByteArray> updated = st.scratch.contents();
    if (!updated)
        return false;

    // Only a file that reads back the text exactly goes to disk.
    std::optional<Values> values = parse(*updated);
    if (!values || !values->contains(k) || values->value(k) != text)
        return false;

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(*updated) != updated->size()) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
    syncFolder(folder);

    st.bytes = *updated;
    st.values = std::move(*values);
    st.cached = true;
    return true;
}

qint16 getInteger(const QString& section, const QString& key, const QString& def) {
    return Conv::toInteger(get(section, key, def), Conv::toInteger(def, 0));
}

quint8 getSmallInteger(const QString& section, const QString& key, const QString& def) {
    return Conv::toSmallInteger(get(section, key, def), Conv::toSmallInteger(def, 0));
}

double getNumber(const QString& section, const QString& key, const QString& def) {
    return Conv::toNumber(get(section, key, def), Conv::toNumber(def, 0.0));
}

bool getFlag(const QString& section, const QString& key, const QString& def) {
    return Conv::toFlag(get(section, key, def), Conv::toFlag(def, false));
}

int getTick(const QString& section, const QString& key, const QString& def) {
    return Conv::toTick(get(section, key, def), Conv::toTick(def, 0));
}

} // namespace Store
