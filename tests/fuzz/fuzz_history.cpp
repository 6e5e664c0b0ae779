// The history loader on any bytes: it never fails, and what it loads is saved and
// loaded again unchanged (apart from the save date).
#include "queue/HistoryFile.h"
#include "transfer/ReportList.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkSame(const ReportList& first, const ReportList& second) {
    check(first.Count() == second.Count());
    for (int i = 0; i < first.Count(); ++i) {
        for (int k = 1; k <= 6; ++k) check(first.At(i)->SubItem(k) == second.At(i)->SubItem(k));
        check(second.At(i)->SubItem(7) == QLatin1String("saved"));
        check(first.At(i)->SmallIcon == second.At(i)->SmallIcon);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ReportList downloads;
    ReportList complete;
    HistoryFile::Parse(content, downloads, complete);
    for (const ReportList* list : {&downloads, &complete})
        for (const ListRowPtr& row : list->Rows())
            for (int k = 1; k <= ListRow::kSubItems; ++k)
                check(!row->SubItem(k).contains(u'\r') && !row->SubItem(k).contains(u'\n'));

    const QByteArray saved = HistoryFile::Serialize(downloads, complete, QStringLiteral("saved"));
    ReportList downloadsAgain;
    ReportList completeAgain;
    HistoryFile::Parse(saved, downloadsAgain, completeAgain);
    checkSame(downloads, downloadsAgain);
    checkSame(complete, completeAgain);
    return 0;
}
