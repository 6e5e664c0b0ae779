#include "ftpclient/transfers/UploadConflict.h"

#include "ftpclient/transfers/ListingMinute.h"

#include <QLocale>

namespace UploadConflict {

namespace {

QString dateText(const QDateTime& time) {
    return time.isValid() ? QLocale().toString(time, QLocale::ShortFormat) : QString();
}

}  // namespace

bool differs(qint64 localSize, const QDateTime& localTime, qint64 remoteSize,
             const QDateTime& remoteTime) {
    if (localSize != remoteSize) return true;
    if (!remoteTime.isValid() || !localTime.isValid()) return false;
    return listingMinute(localTime) != listingMinute(remoteTime);
}

bool canResume(qint64 localSize, qint64 remoteSize) {
    return remoteSize < localSize;
}

Plan apply(int eResumeFile, const QString& name, qint64 localSize, qint64 remoteSize) {
    Plan plan;
    switch (eResumeFile) {
        case ExistAnswer::Overwrite:
            break;
        case ExistAnswer::Resume:
            if (canResume(localSize, remoteSize)) {
                plan.offset = remoteSize;
                plan.resume = true;
            } else {
                plan.action = Plan::Skip;
                plan.note = name + QStringLiteral(
                                       " cannot be resumed: the remote file is not shorter than "
                                       "the local one.");
            }
            break;
        case ExistAnswer::Skip:
            plan.action = Plan::Skip;
            break;
        default:
            plan.action = Plan::Cancel;
            break;
    }
    return plan;
}

QString sourceText(qint64 localSize, const QDateTime& localTime) {
    return QStringLiteral("Source File Size:") + u' ' + QString::number(localSize) +
           QStringLiteral(" Last Modified: ") + dateText(localTime);
}

QString destinationText(qint64 remoteSize, const QDateTime& remoteTime) {
    return QStringLiteral("Destination File Size:") + u' ' + QString::number(remoteSize) +
           QStringLiteral(" Last Modified: ") + dateText(remoteTime);
}

}  // namespace UploadConflict
