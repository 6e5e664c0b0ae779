#include "common/Hive.h"

#include "common/AppPaths.h"
#include "common/AtomicFile.h"
#include "common/FileDescriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringView>

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace {

const QString kHeader = QStringLiteral("REGEDIT4");

QString fold(const QString& name) {
    return name.toCaseFolded();
}

bool sameName(const QString& a, const QString& b) {
    return fold(a) == fold(b);
}

// Reads a quoted string starting at line[pos] == '"'; on success pos is just past the
// closing quote. An escape we do not know is kept as written, so a hand-typed
// "C:\Temp" survives.
bool readQuoted(QStringView line, qsizetype& pos, QString& out) {
    out.clear();
    ++pos;
    while (pos < line.size()) {
        // Plain runs are copied whole: a value may be megabytes long.
        qsizetype end = pos;
        while (end < line.size() && line[end] != u'"' && line[end] != u'\\') ++end;
        out += line.mid(pos, end - pos);
        pos = end;
        if (pos >= line.size()) break;
        if (line[pos] == u'"') {
            ++pos;
            return true;
        }
        if (pos + 1 >= line.size()) break;
        const QChar next = line[pos + 1];
        pos += 2;
        switch (next.unicode()) {
            case u'\\':
                out += u'\\';
                break;
            case u'"':
                out += u'"';
                break;
            case u'n':
                out += u'\n';
                break;
            case u'r':
                out += u'\r';
                break;
            case u't':
                out += u'\t';
                break;
            default:
                out += u'\\';
                out += next;
        }
    }
    return false;
}

void skipBlanks(QStringView line, qsizetype& pos) {
    while (pos < line.size() && (line[pos] == u' ' || line[pos] == u'\t')) ++pos;
}

// `"name"="data"` or `@="data"`; false for anything else (other value types, damage).
bool parseValueLine(QStringView line, QString& name, QString& data) {
    qsizetype pos = 0;
    if (line[0] == u'@') {
        name.clear();
        pos = 1;
    } else if (line[0] != u'"' || !readQuoted(line, pos, name)) {
        return false;
    }
    skipBlanks(line, pos);
    if (pos >= line.size() || line[pos] != u'=') return false;
    ++pos;
    skipBlanks(line, pos);
    if (pos >= line.size() || line[pos] != u'"' || !readQuoted(line, pos, data)) return false;
    skipBlanks(line, pos);
    return pos == line.size();
}

void appendQuoted(QString& out, const QString& text) {
    out += u'"';
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        QLatin1String escaped;
        switch (c) {
            case u'\\':
                escaped = QLatin1String("\\\\");
                break;
            case u'"':
                escaped = QLatin1String("\\\"");
                break;
            case u'\n':
                escaped = QLatin1String("\\n");
                break;
            case u'\r':
                escaped = QLatin1String("\\r");
                break;
            case u'\t':
                escaped = QLatin1String("\\t");
                break;
            default:
                continue;
        }
        out += QStringView(text).mid(plain, i - plain);
        out += escaped;
        plain = i + 1;
    }
    out += QStringView(text).mid(plain);
    out += u'"';
}

// The whole file, an empty array when it does not exist, nothing when it exists but
// cannot be read (a write must then not replace what it could not see).
std::optional<QByteArray> readFile(const QString& path) {
    FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ENOENT) return QByteArray();
        return std::nullopt;
    }
    QByteArray content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0) return content;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        content.append(buffer, n);
    }
}

bool ensurePrivateFolder(const QString& folder) {
    if (QFileInfo(folder).isDir()) return true;
    QDir().mkpath(QFileInfo(folder).absolutePath());
    // The hive holds the proxy password in plain text: only the user may look in.
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST;
}

// Left behind by a writer that was killed between creating and renaming its temporary
// file; only called under the hive lock, when no other writer can be busy with one.
void removeStaleTemporaries(const QString& hivePath) {
    const QFileInfo hive(hivePath);
    QDir folder = hive.absoluteDir();
    const QStringList stale = folder.entryList({hive.fileName() + QStringLiteral(".tmp.*.part")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : stale) folder.remove(name);
}

}  // namespace

QString Hive::filePath() {
    const QString root = AppPaths::rootOverride();
    if (!root.isEmpty()) return QDir(root).filePath(QStringLiteral("registry/registry.reg"));
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/VornelKarvo/registry.reg");
}

Hive Hive::load() {
    return parse(readFile(filePath()).value_or(QByteArray()));
}

bool Hive::update(const std::function<bool(Hive&)>& change) {
    const QString path = filePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!ensurePrivateFolder(folder)) return false;

    const QByteArray lockName = QFile::encodeName(folder + QStringLiteral("/registry.lock"));
    FileDescriptor lock(::open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid()) return false;
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }

    const std::optional<QByteArray> current = readFile(path);
    if (!current) return false;
    // A new hive is the user's alone (it keeps the proxy password); the atomic write
    // keeps the mode of the file it replaces.
    if (current->isEmpty() && !QFileInfo::exists(path)) {
        FileDescriptor created(::open(QFile::encodeName(path).constData(),
                                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    }
    Hive hive = parse(*current);
    if (!change(hive)) return false;
    removeStaleTemporaries(path);
    return WriteFileAtomically(path, hive.serialize());
}

Hive Hive::parse(const QByteArray& text) {
    Hive hive;
    // Indexes by folded name keep a damaged file of a million lines linear to read.
    QHash<QString, std::size_t> keyIndex;
    std::vector<QHash<QString, std::size_t>> valueIndex;
    std::optional<std::size_t> current;

    const QString all = QString::fromUtf8(text);
    const QStringView view(all);
    QString name;
    QString data;
    for (qsizetype start = 0; start <= view.size();) {
        qsizetype end = view.indexOf(u'\n', start);
        if (end < 0) end = view.size();
        const QStringView line = view.mid(start, end - start).trimmed();
        start = end + 1;

        if (line.isEmpty() || line[0] == u';' || line == kHeader) continue;
        if (line[0] == u'[') {
            current.reset();
            if (line.size() < 3 || line.back() != u']') continue;
            const QString keyName = line.mid(1, line.size() - 2).toString();
            const QString folded = fold(keyName);
            const auto found = keyIndex.constFind(folded);
            if (found != keyIndex.cend()) {
                current = *found;
            } else {
                current = hive.keys_.size();
                keyIndex.insert(folded, *current);
                hive.keys_.push_back(Key{keyName, {}});
                valueIndex.emplace_back();
            }
            continue;
        }
        if (!current || !parseValueLine(line, name, data)) continue;

        // A name given twice: the later data wins (as importing the file would do),
        // the first spelling and position stay.
        std::vector<Value>& values = hive.keys_[*current].values;
        QHash<QString, std::size_t>& index = valueIndex[*current];
        const QString folded = fold(name);
        const auto found = index.constFind(folded);
        if (found != index.cend()) {
            values[*found].data = data;
        } else {
            index.insert(folded, values.size());
            values.push_back(Value{name, data});
        }
    }
    return hive;
}

QByteArray Hive::serialize() const {
    QString out = kHeader + QStringLiteral("\n\n");
    for (const Key& key : keys_) {
        out += u'[' + key.name + QStringLiteral("]\n");
        for (const Value& value : key.values) {
            if (value.name.isEmpty())
                out += u'@';
            else
                appendQuoted(out, value.name);
            out += u'=';
            appendQuoted(out, value.data);
            out += u'\n';
        }
        out += u'\n';
    }
    return out.toUtf8();
}

const Hive::Key* Hive::findKey(const QString& fullName) const {
    const QString folded = fold(fullName);
    for (const Key& key : keys_) {
        if (fold(key.name) == folded) return &key;
    }
    return nullptr;
}

Hive::Key* Hive::findKey(const QString& fullName) {
    return const_cast<Key*>(std::as_const(*this).findKey(fullName));
}

Hive::Key& Hive::ensureKey(const QString& fullName) {
    if (Key* key = findKey(fullName)) return *key;
    keys_.push_back(Key{fullName, {}});
    return keys_.back();
}

bool Hive::removeKeyTree(const QString& fullName) {
    const QString folded = fold(fullName);
    const QString below = folded + u'\\';
    const auto first = std::remove_if(keys_.begin(), keys_.end(), [&](const Key& key) {
        const QString name = fold(key.name);
        return name == folded || name.startsWith(below);
    });
    const bool removed = first != keys_.end();
    keys_.erase(first, keys_.end());
    return removed;
}

std::optional<QString> Hive::value(const QString& fullName, const QString& valueName) const {
    const Key* key = findKey(fullName);
    if (!key) return std::nullopt;
    for (const Value& value : key->values) {
        if (sameName(value.name, valueName)) return value.data;
    }
    return std::nullopt;
}

void Hive::setValue(const QString& fullName, const QString& valueName, const QString& data) {
    Key& key = ensureKey(fullName);
    for (Value& value : key.values) {
        if (sameName(value.name, valueName)) {
            value.data = data;
            return;
        }
    }
    key.values.push_back(Value{valueName, data});
}

bool Hive::removeValue(const QString& fullName, const QString& valueName) {
    Key* key = findKey(fullName);
    if (!key) return false;
    const auto it = std::find_if(key->values.begin(), key->values.end(), [&](const Value& value) {
        return sameName(value.name, valueName);
    });
    if (it == key->values.end()) return false;
    key->values.erase(it);
    return true;
}

QStringList Hive::subkeys(const QString& fullName) const {
    // Every key below counts, so a key whose parent has no line of its own is still
    // listed, as the registry lists the intermediate keys it created.
    const QStringList parent = fold(fullName).split(u'\\');
    QStringList names;
    QStringList folded;
    for (const Key& key : keys_) {
        const QStringList parts = key.name.split(u'\\');
        if (parts.size() <= parent.size()) continue;
        bool below = true;
        for (qsizetype i = 0; below && i < parent.size(); ++i) below = fold(parts[i]) == parent[i];
        if (!below) continue;
        const QString child = parts[parent.size()];
        if (folded.contains(fold(child))) continue;
        folded.append(fold(child));
        names.append(child);
    }
    return names;
}
