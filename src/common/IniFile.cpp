#include "common/IniFile.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Only the blanks the desktop call strips; a no-break space belongs to the text.
QString trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.mid(begin, end - begin).toString();
}

// A U+FEFF inside the file is text like any other; only the file's own byte order mark
// (dropped by the caller) is not.
QString fromUtf8KeepingBom(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless |
                                                     QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The call takes zero-terminated strings: a NUL ends the text.
QString cutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

bool hasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

}  // namespace

IniFile IniFile::parse(const QByteArray& content) {
    IniFile file;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = utf8.decode(content);  // only to learn whether it is UTF-8
    file.latin1_ = utf8.hasError();

    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        Line line;
        if (end < 0) {
            line.text = content.mid(start);
            start = content.size();
        } else {
            line.text = content.mid(start, end - start);
            line.ending = "\n";
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.ending = "\r\n";
            }
            start = end + 1;
        }
        file.lines_.push_back(std::move(line));
    }
    for (const Line& line : file.lines_) {
        if (!line.ending.isEmpty()) {
            file.newline_ = line.ending;
            break;
        }
    }
    return file;
}

QByteArray IniFile::content() const {
    QByteArray out;
    for (const Line& line : lines_) out += line.text + line.ending;
    return out;
}

IniFile::Meaning IniFile::meaningOf(std::size_t index) const {
    QByteArray bytes = lines_[index].text;
    if (index == 0 && bytes.startsWith(kBom)) bytes.remove(0, 3);
    const QString text = latin1_ ? QString::fromLatin1(bytes) : fromUtf8KeepingBom(bytes);
    const QString trimmed = trimBlanks(text);

    Meaning meaning;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        meaning.kind = Kind::Section;
        meaning.name = trimBlanks(QStringView(trimmed).mid(1, close < 0 ? -1 : close - 1));
        return meaning;
    }
    if (trimmed.startsWith(u';')) return meaning;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0) return meaning;
    meaning.kind = Kind::Entry;
    meaning.name = trimBlanks(QStringView(trimmed).left(equals));
    meaning.value = trimBlanks(QStringView(trimmed).mid(equals + 1));
    return meaning;
}

QByteArray IniFile::encode(const QString& text) const {
    return latin1_ ? text.toLatin1() : text.toUtf8();
}

void IniFile::makeRoomFor(const QString& text) {
    const bool fits =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
    if (!latin1_ || fits) return;
    // A text the single-byte code page cannot hold: the whole file moves to UTF-8, so
    // that every line, old and new, still reads as what it says.
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        QByteArray& bytes = lines_[i].text;
        const bool bom = i == 0 && bytes.startsWith(kBom);
        bytes = (bom ? kBom : QByteArray()) + QString::fromLatin1(bytes.mid(bom ? 3 : 0)).toUtf8();
    }
    latin1_ = false;
}

std::optional<std::size_t> IniFile::findSection(const QString& section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Meaning meaning = meaningOf(i);
        if (meaning.kind == Kind::Section && sameName(meaning.name, section)) return i;
    }
    return std::nullopt;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && meaningOf(i).kind != Kind::Section) ++i;
    return i;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const QString wantedSection = trimBlanks(cutAtNul(section));
    const QString wantedKey = trimBlanks(cutAtNul(key));
    if (wantedKey.isEmpty()) return std::nullopt;
    const std::optional<std::size_t> header = findSection(wantedSection);
    if (!header) return std::nullopt;
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        const Meaning meaning = meaningOf(i);
        if (meaning.kind == Kind::Entry && sameName(meaning.name, wantedKey)) return meaning.value;
    }
    return std::nullopt;
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = trimBlanks(cutAtNul(section));
    const QString keyName = trimBlanks(cutAtNul(key));
    const QString text = cutAtNul(value);
    if (sectionName.isEmpty() || sectionName.contains(u']') || hasLineBreak(sectionName) ||
        keyName.isEmpty() || keyName.contains(u'=') || keyName.startsWith(u'[') ||
        keyName.startsWith(u';') || hasLineBreak(keyName) || hasLineBreak(text)) {
        return false;
    }
    makeRoomFor(sectionName + keyName + text);

    const std::optional<std::size_t> header = findSection(sectionName);
    if (!header) {
        if (!lines_.empty() && lines_.back().ending.isEmpty()) lines_.back().ending = newline_;
        lines_.push_back(Line{encode(u'[' + sectionName + u']'), newline_});
        lines_.push_back(Line{encode(keyName + u'=' + text), newline_});
        return true;
    }

    const std::size_t end = sectionEnd(*header);
    std::size_t lastFilled = *header;
    for (std::size_t i = *header + 1; i < end; ++i) {
        const Meaning meaning = meaningOf(i);
        if (meaning.kind == Kind::Entry && sameName(meaning.name, keyName)) {
            // The key keeps the spelling it was first written with.
            lines_[i].text = encode(meaning.name + u'=' + text);
            return true;
        }
        if (!trimBlanks(QString::fromLatin1(lines_[i].text)).isEmpty()) lastFilled = i;
    }
    // New keys go after the section's last line, before the blank lines that part it
    // from the next section.
    if (lines_[lastFilled].ending.isEmpty()) lines_[lastFilled].ending = newline_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastFilled + 1),
                  Line{encode(keyName + u'=' + text), newline_});
    return true;
}
