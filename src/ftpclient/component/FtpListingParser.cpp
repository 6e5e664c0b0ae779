#include "ftpclient/component/FtpListingParser.h"

#include "ftpclient/component/FtpText.h"


namespace {

struct Token {
    qsizetype start;
    qsizetype end;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(const QByteArray& text) {
    if (text.isEmpty()) return false;
    for (char c : text) {
        if (!isDigit(c)) return false;
    }
    return true;
}

// Whitespace-separated words with their positions, so that a name can be taken
// as the rest of the line, spaces inside included.
QList<Token> tokens(const QByteArray& line) {
    QList<Token> out;
    qsizetype at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at])) ++at;
        if (at >= line.size()) break;
        const qsizetype start = at;
        while (at < line.size() && !isBlank(line[at])) ++at;
        out.append({start, at});
    }
    return out;
}

QByteArray word(const QByteArray& line, const Token& token) {
    return line.mid(token.start, token.end - token.start);
}

// 1 to 12 for "Jan" … "Dec" in any letter case; 0 otherwise.
int monthNumber(const QByteArray& text) {
    static const char* const names[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
    const QByteArray lower = text.toLower();
    for (int m = 0; m < 12; ++m) {
        if (lower == names[m]) return m + 1;
    }
    return 0;
}

bool parseNumber(const QByteArray& text, qint64& value) {
    if (!allDigits(text) || text.size() > 18) return false;
    value = text.toLongLong();
    return true;
}

// "HH:MM" (also "H:MM") as hour and minute.
bool parseClock(const QByteArray& text, int& hour, int& minute) {
    const qsizetype colon = text.indexOf(':');
    if (colon < 1 || colon > 2 || text.size() != colon + 3) return false;
    const QByteArray h = text.left(colon);
    const QByteArray m = text.mid(colon + 1);
    if (!allDigits(h) || !allDigits(m)) return false;
    hour = h.toInt();
    minute = m.toInt();
    return hour < 24 && minute < 60;
}

bool isUnixMode(const QByteArray& mode) {
    if (mode.size() < 10) return false;
    if (!QByteArray("-dlbcpsDn").contains(mode[0])) return false;
    for (int k = 1; k < 10; ++k) {
        if (!QByteArray("rwxsStTlL-").contains(mode[k])) return false;
    }
    // ACL, SELinux and extended-attribute marks after the nine permission letters.
    for (qsizetype k = 10; k < mode.size(); ++k) {
        if (!QByteArray("+.@").contains(mode[k])) return false;
    }
    return true;
}

FtpItem named(const QByteArray& raw, int type) {
    FtpItem item;
    item.rawName = raw;
    item.name = FtpText::decode(raw);
    item.type = type;
    return item;
}

bool isDotName(const QByteArray& name) {
    return name == "." || name == "..";
}

}  // namespace

FtpListingParser::FtpListingParser(Format format, const QDateTime& now)
    : format_(format), now_(now) {}

QList<FtpItem> FtpListingParser::parse() {
    QList<FtpItem> items;
    const QList<QByteArray> lines = pending_.split('\n');
    pending_.clear();
    for (QByteArray line : lines) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) continue;
        if (std::optional<FtpItem> item = parseLine(line)) items.append(*item);
    }
    return items;
}

std::optional<FtpItem> FtpListingParser::parseLine(const QByteArray& line) const {
    if (format_ == Format::Mlsd) return parseAsMlsd(line);
    if (!line.isEmpty() && isDigit(line[0])) return parseAsDos(line);
    return parseAsUnix(line);
}

QDateTime FtpListingParser::unixDate(int month, int day, const QByteArray& timeOrYear) const {
    int hour = 0, minute = 0;
    if (parseClock(timeOrYear, hour, minute)) {
        // No year: this year, unless that lies more than a day ahead.
        const int year = now_.date().year();
        QDateTime candidate(QDate(year, month, day), QTime(hour, minute));
        if (candidate.isValid() && candidate > now_.addDays(1))
            candidate = QDateTime(QDate(year - 1, month, day), QTime(hour, minute));
        return candidate;
    }
    if (timeOrYear.size() == 4 && allDigits(timeOrYear))
        return QDateTime(QDate(timeOrYear.toInt(), month, day), QTime(0, 0));
    return {};
}

std::optional<FtpItem> FtpListingParser::parseAsUnix(const QByteArray& line) const {
    const QList<Token> words = tokens(line);
    if (words.size() < 6 || !isUnixMode(word(line, words[0]))) return std::nullopt;
    const char kind = line[words[0].start];

    // The date is found by its shape; the size stands just before it. Owner and
    // group may be missing or numeric, so positions before it vary.
    for (qsizetype k = 2; k + 2 < words.size(); ++k) {
        qint64 size = 0;
        if (!parseNumber(word(line, words[k - 1]), size)) continue;
        QDateTime when;
        qsizetype last = -1;
        if (const int month = monthNumber(word(line, words[k])); month > 0) {
            const QByteArray day = word(line, words[k + 1]);
            if (!allDigits(day) || day.size() > 2) continue;
            when = unixDate(month, day.toInt(), word(line, words[k + 2]));
            last = k + 2;
        } else {
            // ls --time-style=long-iso: "2024-03-05 14:07".
            const QDate date = QDate::fromString(QString::fromLatin1(word(line, words[k])),
                                                 QStringLiteral("yyyy-MM-dd"));
            int hour = 0, minute = 0;
            if (!date.isValid() || !parseClock(word(line, words[k + 1]), hour, minute)) continue;
            when = QDateTime(date, QTime(hour, minute));
            last = k + 1;
        }
        if (!when.isValid() || last + 1 > words.size()) continue;
        // The name is the rest of the line after one separating blank.
        const qsizetype nameStart = words[last].end + 1;
        if (nameStart >= line.size()) return std::nullopt;
        QByteArray name = line.mid(nameStart);
        QByteArray target;
        const int type = kind == 'd' ? FtpItem::Folder : kind == 'l' ? FtpItem::Link : FtpItem::File;
        if (type == FtpItem::Link) {
            const qsizetype arrow = name.indexOf(" -> ");
            if (arrow >= 0) {
                target = name.mid(arrow + 4);
                name = name.left(arrow);
            }
        }
        if (name.isEmpty() || isDotName(name)) return std::nullopt;
        FtpItem item = named(name, type);
        item.size = type == FtpItem::Folder ? 0 : size;
        item.dateTime = when;
        item.linkTarget = FtpText::decode(target);
        return item;
    }
    return std::nullopt;
}

std::optional<FtpItem> FtpListingParser::parseAsDos(const QByteArray& line) const {
    const QList<Token> words = tokens(line);
    if (words.size() < 4) return std::nullopt;
    const QByteArray dateText = word(line, words[0]);
    const QList<QByteArray> parts = dateText.split('-');
    if (parts.size() != 3 || !allDigits(parts[0]) || !allDigits(parts[1]) || !allDigits(parts[2]))
        return std::nullopt;
    int year = parts[2].toInt();
    if (parts[2].size() == 2)
        year += year < 70 ? 2000 : 1900;
    else if (parts[2].size() != 4)
        return std::nullopt;
    const QDate date(year, parts[0].toInt(), parts[1].toInt());

    QByteArray clock = word(line, words[1]).toUpper();
    int hourShift = -1;  // no AM/PM: a 24-hour clock
    if (clock.endsWith("AM") || clock.endsWith("PM")) {
        hourShift = clock.endsWith("PM") ? 12 : 0;
        clock.chop(2);
    }
    int hour = 0, minute = 0;
    if (!date.isValid() || !parseClock(clock, hour, minute)) return std::nullopt;
    if (hourShift >= 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + hourShift;
    }

    const QByteArray sizeText = word(line, words[2]);
    int type = FtpItem::File;
    qint64 size = 0;
    if (sizeText.toUpper() == "<DIR>") {
        type = FtpItem::Folder;
    } else if (!parseNumber(QByteArray(sizeText).replace(',', ""), size)) {
        return std::nullopt;
    }
    const QByteArray name = line.mid(words[3].start);
    if (isDotName(name)) return std::nullopt;
    FtpItem item = named(name, type);
    item.size = size;
    item.dateTime = QDateTime(date, QTime(hour, minute));
    return item;
}

std::optional<FtpItem> FtpListingParser::parseAsMlsd(const QByteArray& line) const {
    // The facts end at the first blank; the name runs from there to the end of
    // the line, blanks inside included.
    const qsizetype blank = line.indexOf(' ');
    if (blank <= 0 || blank + 1 >= line.size()) return std::nullopt;
    const QByteArray name = line.mid(blank + 1);
    int type = -1;
    qint64 size = 0;
    QDateTime when;
    QByteArray target;
    for (const QByteArray& fact : line.left(blank).split(';')) {
        const qsizetype equals = fact.indexOf('=');
        if (equals <= 0) continue;
        const QByteArray key = fact.left(equals).toLower();
        const QByteArray value = fact.mid(equals + 1);
        if (key == "type") {
            const QByteArray lower = value.toLower();
            if (lower == "file") {
                type = FtpItem::File;
            } else if (lower == "dir") {
                type = FtpItem::Folder;
            } else if (lower == "cdir" || lower == "pdir") {
                return std::nullopt;
            } else if (lower.startsWith("os.unix=slink") || lower.startsWith("os.unix=symlink")) {
                type = FtpItem::Link;
                const qsizetype colon = value.indexOf(':');
                if (colon >= 0) target = value.mid(colon + 1);
            } else {
                type = FtpItem::File;
            }
        } else if (key == "size" || key == "sizd") {
            if (!parseNumber(value, size)) size = 0;
        } else if (key == "modify" && value.size() >= 14 && allDigits(value.left(14))) {
            const QDateTime utc = QDateTime::fromString(QString::fromLatin1(value.left(14)),
                                                        QStringLiteral("yyyyMMddHHmmss"));
            if (utc.isValid()) {
                when = QDateTime(utc.date(), utc.time(), Qt::UTC).toLocalTime();
            }
        }
    }
    if (type < 0 || isDotName(name)) return std::nullopt;
    FtpItem item = named(name, type);
    item.size = type == FtpItem::Folder ? 0 : size;
    item.dateTime = when;
    item.linkTarget = FtpText::decode(target);
    return item;
}
