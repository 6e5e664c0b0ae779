// The listing parser on any bytes: it never crashes, never reports "." or "..",
// gives the same items however the bytes are split, and every name it reports
// is a piece of the input. The first byte picks the format and the split.
#include "ftpclient/component/FtpListingParser.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

QList<FtpItem> items(FtpListingParser::Format format, const QByteArray& bytes, int step) {
    FtpListingParser parser(format, QDateTime(QDate(2024, 6, 15), QTime(12, 0)));
    for (qsizetype at = 0; at < bytes.size(); at += step) parser.addData(bytes.mid(at, step));
    return parser.parse();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const auto format = (data[0] & 1) ? FtpListingParser::Format::Mlsd : FtpListingParser::Format::List;
    const int step = 1 + (data[0] >> 1) % 61;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    const QList<FtpItem> whole = items(format, bytes, qMax<qsizetype>(1, bytes.size()));
    const QList<FtpItem> pieces = items(format, bytes, step);
    check(whole.size() == pieces.size());
    for (qsizetype i = 0; i < whole.size(); ++i) {
        const FtpItem& item = whole[i];
        check(item.rawName == pieces[i].rawName && item.size == pieces[i].size && item.type == pieces[i].type);
        check(!item.rawName.isEmpty() && item.rawName != "." && item.rawName != "..");
        check(bytes.contains(item.rawName));
        check(item.size >= 0);
        check(item.type >= FtpItem::File && item.type <= FtpItem::Link);
        check(!item.rawName.contains('\n'));
    }
    return 0;
}
