// INI reading on any bytes. The input is "section NUL key NUL value NUL file": the file
// is read, the value written into it and read back.
#include "common/IniFile.h"

#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {

QString trimmed(const QString& text) {
    auto blank = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
    };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QList<QByteArray> fields = input.split('\0');
    const QByteArray file =
        fields.size() > 3 ? input.mid(fields[0].size() + fields[1].size() + fields[2].size() + 3)
                          : input;
    const QString section = fields.size() > 3 ? QString::fromUtf8(fields[0]) : "Zu";
    const QString key = fields.size() > 3 ? QString::fromUtf8(fields[1]) : "01008";
    const QString value = fields.size() > 3 ? QString::fromUtf8(fields[2]) : "text";

    IniFile ini = IniFile::parse(file);
    // Reading changes nothing: the bytes come back as they were.
    if (ini.content() != file) std::abort();
    (void)ini.value(section, key);

    if (ini.setValue(section, key, value)) {
        const IniFile again = IniFile::parse(ini.content());
        if (again.value(section, key) != trimmed(value)) std::abort();
    }
    return 0;
}
