#pragma once

#include "ftpclient/component/FtpItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <optional>

// Turns the bytes of a folder listing into items. LIST answers are read line by
// line in whichever of the two common forms each line has:
//
//   Unix  "drwxr-xr-x  2 user group  4096 Mar  5 14:07 name"   (also 8 fields,
//         numeric owners, "Mon DD YYYY", long-iso dates, "-> target" of links)
//   DOS   "03-05-24  02:07PM  <DIR>  name" / "03-05-2024  14:07  12345 name"
//
// MLSD answers ("type=file;size=12;modify=20240305140700; name") are read when
// the parser is told the listing is one. Lines it cannot read ("total 12",
// banners, garbage) are skipped; "." and ".." are never reported. Names are
// kept as the server sent them (FtpItem::rawName); nothing is judged here about
// whether a name is safe to use locally.
//
//   FtpListingParser parser(FtpListingParser::Format::List, QDateTime::currentDateTime());
//   parser.addData(bytes);  // as often as bytes arrive
//   const QList<FtpItem> items = parser.parse();
class FtpListingParser {
public:
    enum class Format { List, Mlsd };

    // `now` decides the year of Unix dates that carry only a time.
    FtpListingParser(Format format, const QDateTime& now);

    void addData(const QByteArray& bytes) { pending_ += bytes; }
    // The items of every whole line added so far, and of a last line without its
    // line end; the parser is empty afterwards.
    QList<FtpItem> parse();

    // One line, without its line end.
    std::optional<FtpItem> parseLine(const QByteArray& line) const;

private:
    std::optional<FtpItem> parseAsUnix(const QByteArray& line) const;
    std::optional<FtpItem> parseAsDos(const QByteArray& line) const;
    std::optional<FtpItem> parseAsMlsd(const QByteArray& line) const;
    QDateTime unixDate(int month, int day, const QByteArray& timeOrYear) const;

    Format format_;
    QDateTime now_;
    QByteArray pending_;
};
