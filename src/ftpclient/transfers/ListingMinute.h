#pragma once

#include <QDateTime>
#include <QtGlobal>

// The minute of a time, counted from the epoch (floored, also before it).
// Listings show remote times to the minute at best, so local and remote times
// are compared in whole minutes.
inline qint64 listingMinute(const QDateTime& time) {
    const qint64 seconds = time.toSecsSinceEpoch();
    return seconds >= 0 ? seconds / 60 : (seconds - 59) / 60;
}
