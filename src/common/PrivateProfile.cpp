#include "common/PrivateProfile.h"

#include "common/AtomicFile.h"
#include "common/IniFile.h"

#include <QFile>

namespace {

// What the fixed buffer of the original call holds: bufferSize - 1 characters and the
// terminating zero; a character pair is never split in half.
QString cutToBuffer(const QString& text, int bufferSize) {
    if (bufferSize <= 1) return QString();
    if (text.size() < bufferSize) return text;
    QString cut = text.left(bufferSize - 1);
    if (cut.back().isHighSurrogate()) cut.chop(1);
    return cut;
}

}  // namespace

QString PrivateProfile::GetString(const QString& section, const QString& key, const QString& def,
                                  int bufferSize, const QString& filePath) {
    QFile file(filePath);
    std::optional<QString> value;
    if (file.open(QIODevice::ReadOnly)) value = IniFile::parse(file.readAll()).value(section, key);
    return cutToBuffer(value.value_or(def), bufferSize);
}

bool PrivateProfile::WriteString(const QString& section, const QString& key, const QString& value,
                                 const QString& filePath) {
    QFile file(filePath);
    QByteArray before;
    if (file.exists()) {
        // A file we cannot read is not replaced by one that lacks its other lines.
        if (!file.open(QIODevice::ReadOnly)) return false;
        before = file.readAll();
        if (file.error() != QFileDevice::NoError) return false;
        file.close();
    }
    IniFile ini = IniFile::parse(before);
    if (!ini.setValue(section, key, value)) return false;
    const QByteArray after = ini.content();
    return (file.exists() && after == before) || WriteFileAtomically(filePath, after);
}
