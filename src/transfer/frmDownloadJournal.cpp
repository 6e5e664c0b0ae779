// The progress journal of the download window and the verified rollback: where a
// continued download takes its positions from, when they are written, and how a
// file that changed on the server is told from the one whose bytes are on disk.
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "transfer/JournalWriter.h"
#include "transfer/frmDownload.h"

#include <QFileInfo>
#include <cstring>

namespace {

// An entity tag compared the weak way: "W/" says how the server made it, not
// which file it names.
QByteArray opaqueTag(const QByteArray& etag) {
    return etag.startsWith("W/") ? etag.mid(2) : etag;
}

// Two sets of validators name different files when both have an entity tag and
// the tags differ or, without tags on both sides, both have a date and the dates
// differ. A validator only one side has proves nothing.
bool validatorsDiffer(const QByteArray& etagA, const QByteArray& dateA, const QByteArray& etagB,
                      const QByteArray& dateB) {
    if (!etagA.isEmpty() && !etagB.isEmpty()) return opaqueTag(etagA) != opaqueTag(etagB);
    if (!dateA.isEmpty() && !dateB.isEmpty()) return dateA != dateB;
    return false;
}

// A validator goes back to the server in a header line: one with a control
// character is not used.
QByteArray usableValidator(const QByteArray& value) {
    for (char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return {};
    return value;
}

}  // namespace

QString frmDownload::RemoteChangedText() {
    return QStringLiteral("The file on the server has changed since this download began.");
}

// A download that continues a file (`continuing`) takes its positions from the
// file's journal when there is a usable one; without one, from the file's length.
// Any other start begins with nothing on disk.
void frmDownload::takeJournal(bool continuing) {
    journal_.reset();
    onDisk_.clear();
    etag_.clear();
    lastModified_.clear();
    journalActive_ = false;
    journalSaved_.clear();
    remoteChanged_ = false;
    const QString path = ProgressJournal::PathFor(SavePath);
    // A journal this window handed over (before a retry) is on disk first.
    JournalWriter::instance().wait(path);
    if (!continuing || !FileExists(SavePath)) {
        ProgressJournal::remove(path);
        return;
    }
    const qint64 length = QFileInfo(SavePath).size();
    bool damaged = false;
    const std::optional<ProgressJournal> found = ProgressJournal::read(path, damaged);
    QString ignored;
    if (damaged) {
        ignored = QStringLiteral("it is damaged");
    } else if (found) {
        const ProgressJournal& journal = *found;
        // The bytes the journal counts lie in the file; a segment that has none
        // may begin past the file's end.
        qint64 furthest = 0;
        for (const ProgressJournal::Segment& segment : journal.segments)
            if (segment.next > segment.start) furthest = qMax(furthest, segment.next);
        if (journal.url != URL)
            ignored = QStringLiteral("it belongs to another address");
        else if (length > journal.size || furthest > length)
            ignored = QStringLiteral("it does not match the file");
        else if (IsFTP && journal.segments.size() > 1)
            ignored = QStringLiteral("it is damaged");
        else if (journal.complete())
            ProgressJournal::remove(path);  // left by a download that completed
        else
            journal_ = journal;
    }
    if (!ignored.isEmpty()) {
        const QString text = QStringLiteral("The progress journal %1 is ignored: %2.")
                                 .arg(QFileInfo(path).fileName(), ignored);
        lblStatus = text;
        TransferLog += text.toUtf8() + "\r\n";
        emit notice(text);
    }
    if (!journal_) {
        onDisk_.add(0, length);
        return;
    }
    for (const ProgressJournal::Segment& segment : journal_->segments)
        onDisk_.add(segment.start, segment.next);
    etag_ = journal_->etag;
    lastModified_ = journal_->lastModified;
}

// Set-up of a download that continues its journal: the journal's segments, each
// from its own next byte less the rollback, never before the segment's start.
void frmDownload::resumeFromJournal() {
    const ProgressJournal& journal = *journal_;
    const int n = static_cast<int>(journal.segments.size());
    SegCount = n == 1 ? 0 : n;
    for (int k = 0; k < n; ++k) {
        const ProgressJournal::Segment& segment = journal.segments[k];
        SegStart[k] = segment.start;
        SegNext[k] = qMax(segment.start, segment.next - Settings.Rollback) + 1;
        SegResume[k] = true;
        segSet_->create(k);
        if (!openSegmentFile(k)) return;
    }
    SegStart[n] = journal.size;
    LayoutSegmentBars(n);
    startJournal();
    for (int k = 0; k < n; ++k) {
        if (segmentComplete(k)) continue;
        segReader_[k].reset();
        closesWithoutProgress_[k] = 0;
        nextAtConnect_[k] = SegNext[k];
        segSet_->connectTo(k, Host, static_cast<quint16>(Port));
    }
    tmrUpdate.start();
    tmrUpdate2.start();
}

// The positions are set: from here on the journal follows the download. A
// download of unknown size has none (it runs on one connection, which its
// file's length describes). The first journal is on disk before any request
// goes out: once segments write, the file's length says nothing, and a kill
// before the first tick must not leave such a file without its journal.
void frmDownload::startJournal() {
    journalActive_ = LengthKnown && !ContainsControlCharacters(URL);
    journalSaved_.clear();
    beginRound();
    saveProgress(true);
}

void frmDownload::beginRound() {
    roundStart_ = onDisk_;
}

ProgressJournal frmDownload::journalNow() const {
    ProgressJournal journal;
    journal.url = URL;
    journal.size = ContentLength;
    journal.etag = etag_;
    journal.lastModified = lastModified_;
    const int n = qMax(SegCount, 1);
    for (int k = 0; k < n; ++k) {
        const qint64 start = SegStart[k];
        const qint64 end = qMax(start, SegStart[k + 1]);
        journal.segments.append({start, end, qMin(qMax(start, onDisk_.reachFrom(start)), end)});
    }
    return journal;
}

// Hands the journal to the writer when the positions moved; it syncs the file's
// data first, so that the journal never names a byte a power cut could still take.
// `untilOnDisk`: returns once it is written (a pause, a stop, the end of the program).
void frmDownload::saveProgress(bool untilOnDisk) {
    if (!journalActive_ || !LengthKnown) return;
    const QString path = ProgressJournal::PathFor(SavePath);
    const QByteArray text = journalNow().toText();
    if (text != journalSaved_) {
        JournalWriter::instance().submit(path, SavePath, text);
        journalSaved_ = text;
    }
    if (untilOnDisk) JournalWriter::instance().wait(path);
}

// The file is whole: its journal goes, once no write of it is under way.
void frmDownload::completeJournal() {
    journalActive_ = false;
    const QString path = ProgressJournal::PathFor(SavePath);
    JournalWriter::instance().wait(path);
    ProgressJournal::remove(path);
}

// The probe's answer against the bytes on disk: a continued journal names the
// size and validators of its file, and a server that now tells others has
// another file. Takes the validators for the requests that follow. False when
// the download was refused.
bool frmDownload::probeMatchesDisk() {
    const QByteArray etag = usableValidator(probeReader_.field("ETag"));
    const QByteArray date = usableValidator(probeReader_.field("Last-Modified"));
    if (journal_ && (!LengthKnown || ContentLength != journal_->size ||
                     validatorsDiffer(etag_, lastModified_, etag, date))) {
        refuseChangedFile();
        return false;
    }
    if (etag_.isEmpty()) etag_ = etag;
    if (lastModified_.isEmpty()) lastModified_ = date;
    return true;
}

// A segment's reply names another file than the one on disk: other validators,
// or a range of a file of another size.
bool frmDownload::replyChanged(const HttpResponseReader& reader) const {
    if (validatorsDiffer(etag_, lastModified_, usableValidator(reader.field("ETag")),
                         usableValidator(reader.field("Last-Modified"))))
        return true;
    if (reader.statusCode() != 206 || !LengthKnown) return false;
    const auto range = reader.contentRange();
    return range && range->total && *range->total != ContentLength;
}

// What a continuing request sends in "If-Range:": a strong entity tag, else the
// date. A server whose file changed then answers with the whole new file (200)
// instead of a part of it.
QByteArray frmDownload::ifRangeValue() const {
    if (!etag_.isEmpty() && !etag_.startsWith("W/")) return etag_;
    return lastModified_;
}

// Bytes that arrive for a place the disk already holds are fetched again anyway:
// they must be the same, or the server's file is another one.
bool frmDownload::matchesDisk(int i, qint64 at, const char* data, qint64 size) {
    for (const WrittenRanges::Range& part : onDisk_.overlaps(at, at + size)) {
        const qint64 length = part.second - part.first;
        compareBuffer_.resize(length);
        // Bytes the file no longer holds (it was cut meanwhile) are written, not compared.
        if (!SegFile[i].readAt(part.first, compareBuffer_.data(), length)) continue;
        if (std::memcmp(compareBuffer_.constData(), data + (part.first - at),
                        static_cast<size_t>(length)) != 0) {
            refuseChangedFile();
            return false;
        }
    }
    return true;
}

// The server's file is not the one this download began with. Nothing of it is
// kept: the journal names only what was on disk before the current requests
// began, and the download ends. A new start ("overwrite") fetches the new file.
void frmDownload::refuseChangedFile() {
    remoteChanged_ = true;
    onDisk_ = roundStart_;
    saveProgress(true);
    tmrReconnect.setEnabled(false);
    CloseAllSockets();
    WSHead.close(0);
    wsFTPData.closeAll();
    cmdPause.Enabled = false;
    RefreshControls(this);
    enterFailed(RemoteChangedText());
}
