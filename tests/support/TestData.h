#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

// Deterministic file contents in which every 8-byte word depends on its own
// position: a range written at the wrong offset, twice, or not at all changes
// the bytes (no short period, unlike a byte counter, and never all zeros).
inline QByteArray patternBytes(qint64 size, quint32 seed) {
    QByteArray data(size, Qt::Uninitialized);
    char* out = data.data();
    for (qint64 offset = 0; offset < size; offset += 8) {
        // splitmix64 of the word index mixed with the seed.
        quint64 z = quint64(offset / 8) + (quint64(seed) << 32) + 0x9E3779B97F4A7C15ULL;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        for (qint64 i = 0; i < 8 && offset + i < size; ++i) out[offset + i] = char(z >> (8 * i));
    }
    return data;
}

inline bool writeWholeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// The file's bytes; "<missing>" when it cannot be read.
inline QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
