#pragma once

#include <QDateTime>
#include <QtGlobal>

// Which files a folder synchronisation transfers. It only ever adds and
// replaces; nothing is deleted on either side.
//
// "By size" transfers a file whose sizes differ; "by date" one whose source is
// later than the target. Dates are compared to the minute, the finest a
// listing shows; where the remote date is unknown the sizes decide.
namespace SyncDecision {

struct Facts {
    bool targetExists = false;
    qint64 sourceSize = 0;
    QDateTime sourceTime;
    qint64 targetSize = 0;
    QDateTime targetTime;
};

bool transfer(const Facts& facts, bool bySize);

// "DIR SYNC BY FILE SIZE": numeric 1 compares sizes, anything else dates.
bool bySizeSetting();

}  // namespace SyncDecision
