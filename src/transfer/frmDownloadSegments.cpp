// Segment set-up, resume positions, writes and the received-bytes count of the
// download window.
#include "common/Dialogs.h"
#include "core/Language.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "transfer/frmDownload.h"

#include <QFileInfo>

void frmDownload::Check_Create(qint64 size) { setUp(size, false); }

void frmDownload::Check_Create1(qint64 size) {
    ProbeFullRange = false;
    setUp(size, true);
}

void frmDownload::setUp(qint64 size, bool after206) {
    segSet_ = after206 ? &wsHTTP1 : &wsHTTP;
    setUpDone_ = true;
    // A continued journal fixes the segments: its file is laid out by them.
    if (journal_ && IsHTTP) {
        resumeFromJournal();
        return;
    }
    const auto segmentable = [&] {
        return IsHTTP && LengthKnown && Settings.Segment == 1 &&
               static_cast<double>(size) >= Settings.SegmentSize1;
    };
    bool oneConnection = false;
    if (segmentable()) {
        const QString question =
            after206 ? SetCaptionfromINI(
                           QStringLiteral("13022"),
                           QStringLiteral("If you use segemnted downloading, you will not be able to "
                                          "resume after stopping(you still be able to resume after "
                                          "pausing),Use Segemnted?!"))
                     : QStringLiteral(
                           "If you use segemnted downloading,you will not be able to resume after "
                           "stopping (you still be able to resume after pausing, and more segments "
                           "will cause the program solwer),Use Segemnted?!");
        if (!Dialogs::ask(question, Dialogs::Icon::Question)) oneConnection = true;
    }
    if (!oneConnection && segmentable()) {
        const double s = static_cast<double>(size);
        if (s >= Settings.SegmentSize1 && s <= Settings.SegmentSize2)
            SegCount = 2;
        else if (s >= Settings.SegmentSize3 && s <= Settings.SegmentSize4)
            SegCount = 3;
        else if (s >= Settings.SegmentSize5 && s <= Settings.SegmentSize6)
            SegCount = 4;
        else if (s >= Settings.SegmentSize7 && s <= Settings.SegmentSize8)
            SegCount = 5;
        else if (s >= Settings.SegmentSize9)
            SegCount = 6;
    }
    // A file that is being continued always uses one connection.
    if (existChoice_ == -1 || oneConnection || !segmentable()) SegCount = 0;

    if (SegCount != 0) {
        SegStart[0] = 0;
        SegNext[0] = 1;
        for (int k = 1; k <= SegCount - 1; ++k) {
            SegStart[k] = size / SegCount + SegStart[k - 1];
            segSet_->create(k);
            SegNext[k] = SegStart[k] + 1;
            if (!openSegmentFile(k - 1)) return;
        }
        SegStart[SegCount] = size;
        if (!openSegmentFile(SegCount - 1)) return;
        LayoutSegmentBars(SegCount);
        startJournal();
        for (int k = 0; k < SegCount; ++k) {
            segReader_[k].reset();
            closesWithoutProgress_[k] = 0;
            nextAtConnect_[k] = SegNext[k];
            segSet_->connectTo(k, Host, static_cast<quint16>(Port));
        }
    } else {
        if (!ResumeMode) {
            SegStart[0] = 0;
            SegStart[1] = size;
            SegNext[0] = 1;
        }
        LayoutSegmentBars(1);
        if (!openSegmentFile(0)) return;
        if (IsHTTP) {
            if (existChoice_ == -1) SetSegIndecies();
            startJournal();
            segReader_[0].reset();
            closesWithoutProgress_[0] = 0;
            nextAtConnect_[0] = SegNext[0];
            // An empty file needs no request: the first tick completes it.
            if (!LengthKnown || size > 0) segSet_->connectTo(0, Host, static_cast<quint16>(Port));
        }
    }
    tmrUpdate.start();
    tmrUpdate2.start();
}

bool frmDownload::openSegmentFile(int handle) {
    if (SegFile[handle].open(SavePath)) return true;
    CloseAllSockets();
    enterFailed(QStringLiteral("Cannot open %1: %2").arg(SavePath, SegFile[handle].lastError()));
    return false;
}

void frmDownload::SetSegIndecies() {
    const qint64 length = QFileInfo(SavePath).size();
    const qint64 rollback = Settings.Rollback;
    if (length <= rollback) return;
    if (SegCount == 0) {
        if (SegNext[0] < length) SegNext[0] = length - rollback;
        return;
    }
    for (int i = 0; i < SegCount; ++i) {
        if (SegNext[i] < length)
            SegNext[i] = length > SegStart[i + 1] ? SegStart[i + 1] : length - rollback / SegCount;
    }
}

qint64 frmDownload::ReceivedBytes() const {
    qint64 total = SegNext[0] - 1;
    for (int i = 1; i < SegCount; ++i) total += SegNext[i] - SegStart[i] - 1;
    return total;
}

bool frmDownload::isFileDownloaded() const { return LengthKnown && ReceivedBytes() >= ContentLength; }

bool frmDownload::segmentComplete(int i) const {
    if (!LengthKnown) return false;
    const qint64 end = SegCount == 0 ? SegStart[1] : SegStart[i + 1];
    return SegNext[i] - 1 >= end;
}

bool frmDownload::writeSegment(int i, const char* data, qint64 size) {
    qint64 take = size;
    if (LengthKnown) {
        // Bytes past the end of this segment's range belong to the next one.
        const qint64 end = SegCount == 0 ? SegStart[1] : SegStart[i + 1];
        take = qBound<qint64>(0, end - (SegNext[i] - 1), size);
    }
    if (take > 0) {
        const qint64 at = SegNext[i] - 1;
        if (!matchesDisk(i, at, data, take)) return false;
        if (!SegFile[i].writeAt(at, data, take)) {
            const QString error = SegFile[i].lastError();
            StopDown();
            enterFailed(QStringLiteral("Cannot write %1: %2").arg(SavePath, error));
            return false;
        }
        onDisk_.add(at, at + take);
        SegNext[i] += take;
        Update(i);
        completeWhenDone();
    }
    if (take < size) {
        segSet_->close(i);
        if (IsHTTP) endIfNothingRuns();
    }
    return true;
}

// A segment has stopped: its range is done, or an error or a server that keeps
// closing left it short. When no segment runs any more, the file is short, the
// user has not paused, and the stall rule will not take it up again, nothing
// will: the download has failed with what the window says last.
void frmDownload::endIfNothingRuns() {
    if (outcome_ != Outcome::Running || ended_ || !setUpDone_ || isFileDownloaded()) return;
    if (tmrReconnect.Enabled() || cmdPause.Caption == CaptionResume) return;
    for (int i = 0; i < qMax(SegCount, 1); ++i)
        if (segSet_->state(i) != SocketSet::Closed) return;
    CloseAllSockets();
    enterFailed(lblStatus);
}

// The last byte is in: complete now rather than at the next 500 ms tick. The
// completion is still the tick's own step, only run early.
void frmDownload::completeWhenDone() {
    if (!isFileDownloaded() || !tmrUpdate.isActive()) return;
    QTimer::singleShot(0, this, [this] {
        if (tmrUpdate.isActive() && isFileDownloaded()) tmrUpdate_Timer();
    });
}

void frmDownload::fallBackToOneConnection() {
    segSet_->closeAll();
    for (int k = 1; k < SegCount; ++k) SegFile[k].close();
    SegCount = 0;
    SegStart[0] = 0;
    SegStart[1] = ContentLength;
    SegNext[0] = 1;
    SegResume[0] = false;
    LayoutSegmentBars(1);
    segReader_[0].reset();
    closesWithoutProgress_[0] = 0;
    nextAtConnect_[0] = 1;
    segSet_->connectTo(0, Host, static_cast<quint16>(Port));
}

void frmDownload::finishUnknownLength() {
    segSet_->close(0);
    ContentLength = SegNext[0] - 1;
    SegStart[1] = ContentLength;
    LengthKnown = true;
    lblFileSize = FormatSize(ContentLength);
    setRowSubItem(3, lblFileSize);
    Update(0);
    emit changed();
    completeWhenDone();
}
