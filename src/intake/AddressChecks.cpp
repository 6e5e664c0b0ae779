#include "intake/AddressChecks.h"

#include "core/SettingsLists.h"
#include "core/modFunctions.h"
#include "core/UrlParser.h"
#include "transfer/ReportList.h"

#include <limits>

namespace {

// Longest name of one folder entry, in bytes, on the usual Linux file systems.
constexpr qsizetype kNameMax = 255;

// The leading whole number of a text (blanks before it skipped); 0 when none.
qint64 leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+'))
        negative = text.at(i++) == u'-';
    qint64 value = 0;
    constexpr qint64 kCap = std::numeric_limits<int>::max();
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
        value = qMin(kCap, value * 10 + (text.at(i).unicode() - u'0'));
    return negative ? -value : value;
}

}  // namespace

bool IsUnsafeFolderEntry(const QString& name) {
    if (name.contains(u'/') || name.contains(QChar(0))) return true;
    if (name.toUtf8().size() > kNameMax) return true;
    return !name.isEmpty() && name.count(u'.') == name.size();
}

bool IsLimitOk(const QString& address, const ReportList& downloads) {
    const QString server = GetServerName(address);
    // Only the lower-case schemes have a limit; any other spelling allows none.
    qint64 limit = 0;
    if (address.startsWith(QLatin1String("htt")))
        limit = leadingNumber(SettingsLists::instance().LimitHTTP);
    else if (address.startsWith(QLatin1String("ftp")))
        limit = leadingNumber(SettingsLists::instance().LimitFTP);

    qint64 active = 0;
    for (const ListRowPtr& row : downloads.Rows()) {
        const QString progress = row->SubItem(2);
        if (progress == QLatin1String("0%") || progress == QLatin1String("100%")) continue;
        if (GetServerName(row->SubItem(6)) == server) ++active;
    }
    return active <= limit;
}

bool IsServerPermitted(const QString& address) {
    return !ServerListMatches(SettingsLists::instance().MonitorServer, GetServerName(address));
}

bool IsExtPermitted(const QString& address) {
    return ExtListMatches(SettingsLists::instance().MonitorTypes,
                          u'.' + FileExtension(GetFileName(address)));
}
