// The HTTP side of the download window: the probe that learns status, size and
// new location, and the ranged requests of the segments.
#include "common/Dialogs.h"
#include "core/Language.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "transfer/frmDownload.h"

#include <QDateTime>
#include <QUrl>

namespace {

constexpr int kMaxRedirects = 20;
// A segment whose server keeps closing without sending a byte is left alone after
// this many reconnects; the stall rule picks it up again (without it, the download
// fails once no segment runs).
constexpr int kMaxClosesWithoutProgress = 5;

// Bytes of a request line or header: non-ASCII characters go out percent-encoded
// as UTF-8, everything else as it is.
QByteArray wireText(const QString& text) {
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    out.reserve(utf8.size());
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            out += '%';
            out += QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    return out;
}


}  // namespace

QByteArray frmDownload::ProbeRequest() const {
    QByteArray request;
    request += "GET " + wireText(RequestTarget()) + " HTTP/1.1\r\n";
    request += "Host: " + wireText(Host) + "\r\n";
    request += ProbeFullRange ? "Range: bytes=0-\r\n" : "Range: bytes=-\r\n";
    request += "User-Agent: Zu\r\n";
    request += "Referer: " + wireText(Host) + "\r\n";
    request += "Accept: *.*, */*\r\n";
    // A proxy that reads this request wants the login with the probe as well.
    if (route_.absoluteForm() && Settings.LoginProxy)
        request += "Proxy-Authorization: " + ProxyLogin() + "\r\n";
    request += "\r\n";
    return request;
}

QByteArray frmDownload::SegmentRequest(int i) const {
    const qint64 first = SegResume[i] ? SegNext[i] - 1 : SegStart[i];
    QByteArray request;
    request += "GET " + wireText(RequestTarget()) + " HTTP/1.1\r\n";
    request += "Host: " + wireText(Host) + "\r\n";
    request += "Range: bytes=" + QByteArray::number(first) + "-";
    // Without a known size the body runs to the end of the file.
    if (LengthKnown) request += QByteArray::number(SegStart[i + 1] - 1);
    request += "\r\n";
    // A continuation only fits the file it continues.
    const QByteArray ifRange = ifRangeValue();
    if (SegResume[i] && !ifRange.isEmpty()) request += "If-Range: " + ifRange + "\r\n";
    request += "User-Agent: Ostel Segment " + QByteArray::number(i) + "\r\n";
    request += "Accept:  */*\r\n";
    // Inside TLS only the server reads the request: the proxy login never goes there.
    if (Settings.UseProxy && Settings.LoginProxy && !IsHTTPS)
        request += "Proxy-Authorization: " + ProxyLogin() + "\r\n";
    request += "\r\n";
    return request;
}

// --- The probe

void frmDownload::onProbeConnected() {
    if (ContainsControlCharacters(Host) || ContainsControlCharacters(Path)) {
        WSHead.close(0);
        tmrTimeOut.stop();
        enterFailed(QStringLiteral("Invalid address: it contains control characters."));
        return;
    }
    WSHead.send(0, ProbeRequest());
}

void frmDownload::onProbeData() {
    WSHead.readInto(0, readBuffer_);
    if (probeAnalysed_) return;
    lastConnectError_.clear();
    const HttpResponseReader::Result result = probeReader_.feed(readBuffer_.constData(), readBuffer_.size());
    if (result.malformed) {
        probeAnalysed_ = true;
        WSHead.close(0);
        enterFailed(QStringLiteral("The server's reply is not HTTP."));
        return;
    }
    // Half a header, or interim replies only, is no answer yet: the time-out
    // keeps running until the final header is complete.
    if (!probeReader_.headerComplete()) return;
    tmrTimeOut.stop();
    lblTimerVisible = false;
    probeAnalysed_ = true;
    AnalyseProbeReply();
}

// The server ended the probe connection before its reply was complete, or the
// connection failed: the time-out decides, at its next tick, whether to retry.
void frmDownload::onProbeClosed() {
    if (probeAnalysed_) return;
    WSHead.close(0);
    connectFailed(QStringLiteral("The server closed the connection."));
}

void frmDownload::onProbeError(int number, const QString& description) {
    if (probeAnalysed_) return;
    WSHead.close(0);
    // A refused certificate or proxy stays refused: no retry, the reason is the status.
    if (SocketSet::IsFinal(number)) {
        probeAnalysed_ = true;
        tmrTimeOut.stop();
        lblTimerVisible = false;
        enterFailed(finalErrorText(number, description));
        return;
    }
    // Who refused: the proxy when the connection goes there.
    const QString peer = route_.viaProxy()
                             ? QStringLiteral("the proxy %1:%2").arg(route_.proxyHost).arg(route_.proxyPort)
                             : QStringLiteral("%1:%2").arg(Host).arg(Port);
    connectFailed(QStringLiteral("Cannot connect to %1: %2.").arg(peer, description));
}

void frmDownload::connectFailed(const QString& description) {
    lastConnectError_ = description;
    lblStatus = description;
    TimeoutTicks = 1;
    tmrTimeOut.start();
    emit changed();
}

QString frmDownload::finalErrorText(int number, const QString& description) const {
    if (number != SocketSet::kProxyRefused) return description;
    // The proxy's status line: a status of the table reads as it always did.
    const QString message = GetError(ParseStatusCode(description.toLatin1()));
    if (message != QLatin1String("SUCCESS")) return message;
    return QStringLiteral("The proxy refused the connection: %1").arg(description);
}

void frmDownload::AnalyseProbeReply() {
    const QByteArray& header = probeReader_.header();
    for (const QByteArray& interim : probeReader_.interimHeaders()) TransferLog += "\r\n" + interim + "\r\n";
    TransferLog += "\r\n" + header + "\r\n";
    const int code = ParseStatusCode(header);
    const QString message = GetError(code);
    if (message != QLatin1String("SUCCESS")) {
        WSHead.close(0);
        setRowSubItem(2, QStringLiteral("0 %"));
        cmdPause.Enabled = false;
        cmdStop.Enabled = false;
        RefreshControls(this);
        enterFailed(message);
        return;
    }
    switch (code) {
        case 200:
        case 206: {
            qint64 size = -1;
            const auto range = probeReader_.contentRange();
            if (code == 206 && range && range->total) {
                size = *range->total;
            } else if (probeReader_.framing() == HttpResponseReader::Framing::Length &&
                       probeReader_.contentLength()) {
                size = *probeReader_.contentLength();
            }
            acceptSize(code, size);
            return;
        }
        case 300:
        case 301:
        case 302:
        case 303:
        case 307:
        case 308:
            followRedirect(probeReader_.field("Location"));
            return;
        case 416: {
            const auto range = probeReader_.contentRange();
            if (!ProbeFullRange) {
                ProbeFullRange = true;
                reprobe();
            } else if (range && range->total && *range->total == 0) {
                // Nothing to fetch: the file is empty.
                acceptSize(200, 0);
            } else {
                WSHead.close(0);
                enterFailed(QStringLiteral("HTTP 416 - Requested Range Not Satisfiable"));
            }
            return;
        }
        default: {
            // A status the window has no rule for: show it and let the time-out
            // and its retries decide.
            WSHead.close(0);
            const qsizetype lineEnd = header.indexOf('\r');
            const QByteArray statusLine = header.left(lineEnd < 0 ? header.size() : lineEnd);
            lblStatus = QString::fromLatin1(statusLine);
            setRowStatus(lblStatus);
            waitForRetry(code);
            RefreshControls(this);
            emit changed();
            return;
        }
    }
}

// The time-out decides about a reply without a rule. A busy server (503, 429)
// may say how long to wait: the retry comes no earlier than that, and no later
// than "RetryTime" seconds ask.
void frmDownload::waitForRetry(int code) {
    TimeoutTicks = Settings.Timeout;
    if (code == 503 || code == 429) {
        const std::optional<qint64> asked = HttpResponseReader::RetryAfterSeconds(
            probeReader_.field("Retry-After"), QDateTime::currentDateTimeUtc());
        if (asked) {
            const qint64 seconds = qMin<qint64>(*asked, qMax<qint64>(0, Settings.RetryTime));
            // Ticks of 1.5 seconds, rounded up.
            const qint64 ticks = (seconds * 2 + 2) / 3;
            TimeoutTicks = static_cast<int>(qMax<qint64>(TimeoutTicks, ticks));
        }
    }
    tmrTimeOut.start();
}

void frmDownload::reprobe() {
    WSHead.close(0);
    probeReader_.reset();
    probeAnalysed_ = false;
    // The new connection gets its own time-out, so a silent server cannot hang it.
    TimeoutTicks = Settings.Timeout;
    tmrTimeOut.start();
    lblTimerVisible = true;
    WSHead.connectTo(0, Host, static_cast<quint16>(Port));
}

void frmDownload::acceptSize(int code, qint64 size) {
    LengthKnown = size >= 0;
    ContentLength = LengthKnown ? size : 0;
    lblFileSize = LengthKnown ? FormatSize(ContentLength) : QStringLiteral("N/A");
    lblResume = SetCaptionfromINI(QStringLiteral("04018"), QStringLiteral("** Resume Supported **"));
    setRowSubItem(1, SavePath);
    setRowSubItem(3, lblFileSize);
    // The probe has done its work; closing it first keeps a question asked during
    // the set-up from seeing more of its bytes.
    WSHead.close(0);
    if (!probeMatchesDisk()) return;
    if (Settings.StopResume) tmrReconnect.setEnabled(true);
    if (code == 200)
        Check_Create(ContentLength);
    else
        Check_Create1(ContentLength);
    emit changed();
}

void frmDownload::followRedirect(const QByteArray& location) {
    ++RedirectCount;
    WSHead.close(0);
    if (RedirectCount > kMaxRedirects) {
        enterFailed(QStringLiteral("Too many redirects (more than %1).").arg(kMaxRedirects));
        return;
    }
    const QString current = txtURL.isEmpty() ? URL : txtURL;
    const QUrl resolved = QUrl(current).resolved(QUrl(QString::fromUtf8(location)));
    const QString scheme = resolved.scheme().toLower();
    if (location.isEmpty() || !resolved.isValid()) {
        enterFailed(QStringLiteral("The server redirected to an invalid address."));
        return;
    }
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
        scheme != QLatin1String("ftp")) {
        enterFailed(QStringLiteral("The server redirected to an unsupported address."));
        return;
    }
    // Leaving TLS would let anyone on the way read or change the file.
    if (IsHTTPS && scheme != QLatin1String("https") && !Settings.AllowDowngrade) {
        enterFailed(QStringLiteral("The server redirected from a secure (https) address to an "
                                   "insecure one (%1); the setting \"AllowDowngrade\" allows that.")
                        .arg(resolved.toString(QUrl::RemoveUserInfo)));
        return;
    }
    const QString next = resolved.toString(QUrl::FullyEncoded);
    txtURL = next;
    ParseUrlInto(next, *this);
    ftpViaProxy_ = false;
    // Another scheme is another protocol: the download starts anew on it. From
    // the fifth redirect on, the same holds for any address.
    if (IsFTP || RedirectCount > 4) {
        StartDownload();
        return;
    }
    if (!applyRoute()) return;
    reprobe();
    emit changed();
}

// --- The segments

void frmDownload::onSegmentConnected(SocketSet& set, int i) {
    // The FTP control connection waits for the server's greeting.
    if (IsFTP) return;
    if (&set != segSet_ || i >= kMaxSegments) return;
    setRowStatus(SetCaptionfromINI(QStringLiteral("11051"), QStringLiteral("Downloading...")));
    segReader_[i].reset();
    set.send(i, SegmentRequest(i));
}

void frmDownload::onSegmentData(SocketSet& set, int i) {
    if (IsFTP) {
        onFtpControlData(set, i);
        return;
    }
    set.readInto(i, readBuffer_);
    if (&set != segSet_ || i >= kMaxSegments || readBuffer_.isEmpty()) return;
    HttpResponseReader& reader = segReader_[i];
    const HttpResponseReader::Result result = reader.feed(readBuffer_.constData(), readBuffer_.size());
    if (result.malformed) {
        set.close(i);
        lblStatus = QStringLiteral("The server's reply is not HTTP.");
        endIfNothingRuns();
        return;
    }
    if (result.headerCompleted && !takeSegmentHeader(set, i)) return;
    if (result.bodySize > 0 && !writeSegment(i, result.body, result.bodySize)) return;
    if (result.messageComplete) {
        if (!LengthKnown && i == 0) {
            finishUnknownLength();
        } else if (segmentComplete(i)) {
            set.close(i);
            endIfNothingRuns();
        } else {
            // The reply ended short of the range: fetch the rest.
            reconnectSegment(set, i);
        }
    }
}

// Looks at the header of a segment's reply. Returns false when its body must not
// reach the file.
bool frmDownload::takeSegmentHeader(SocketSet& set, int i) {
    HttpResponseReader& reader = segReader_[i];
    for (const QByteArray& interim : reader.interimHeaders()) TransferLog += "\r\n" + interim + "\r\n";
    TransferLog += "\r\n" + reader.header() + "\r\n";
    const int code = reader.statusCode();
    const qint64 asked = SegResume[i] ? SegNext[i] - 1 : SegStart[i];
    if ((code == 206 || code == 200) && replyChanged(reader)) {
        refuseChangedFile();
        return false;
    }
    if (code == 206) {
        const auto range = reader.contentRange();
        if (range && range->first) {
            if (*range->first > asked) {
                // The server skipped bytes we need; its body would leave a hole.
                set.close(i);
                endIfNothingRuns();
                return false;
            }
            SegNext[i] = *range->first + 1;
        } else {
            SegNext[i] = asked + 1;
        }
        return true;
    }
    if (code == 200) {
        if (SegCount > 0) {
            // The server ignores ranges: every segment would get the whole file.
            fallBackToOneConnection();
            return false;
        }
        // The whole file from its first byte.
        SegNext[0] = 1;
        if (reader.framing() == HttpResponseReader::Framing::Length && reader.contentLength() &&
            LengthKnown && *reader.contentLength() != ContentLength) {
            ContentLength = *reader.contentLength();
            SegStart[1] = ContentLength;
            lblFileSize = FormatSize(ContentLength);
            setRowSubItem(3, lblFileSize);
        }
        return true;
    }
    // An error page or an empty range is never written into the file.
    set.close(i);
    if (!segmentComplete(i)) {
        const qsizetype lineEnd = reader.header().indexOf('\r');
        lblStatus = QString::fromLatin1(reader.header().left(lineEnd < 0 ? reader.header().size() : lineEnd));
        emit changed();
    }
    endIfNothingRuns();
    return false;
}

void frmDownload::onSegmentClosed(SocketSet& set, int i) {
    if (IsFTP) {
        onFtpControlClosed(set, i);
        return;
    }
    if (&set != segSet_ || i >= kMaxSegments) {
        set.close(i);
        return;
    }
    if (isFileDownloaded()) {
        set.close(i);
        if (i > 0) set.remove(i);
        return;
    }
    if (!LengthKnown && i == 0 && segReader_[0].headerComplete() &&
        segReader_[0].framing() == HttpResponseReader::Framing::UntilClose) {
        // Over TLS only the close alert tells the file's end from a cut connection.
        if (set.endedWithoutCloseAlert(0)) {
            set.close(0);
            enterFailed(QStringLiteral("TLS connection with %1 ended without the server's close alert: "
                                       "the file may be incomplete.")
                            .arg(Host));
            return;
        }
        finishUnknownLength();
        return;
    }
    if (segmentComplete(i)) {
        set.close(i);
        endIfNothingRuns();
        return;
    }
    reconnectSegment(set, i);
}

void frmDownload::reconnectSegment(SocketSet& set, int i) {
    closesWithoutProgress_[i] = SegNext[i] > nextAtConnect_[i] ? 0 : closesWithoutProgress_[i] + 1;
    set.close(i);
    if (closesWithoutProgress_[i] > kMaxClosesWithoutProgress) {
        lblStatus = QStringLiteral("The server keeps closing the connection.");
        emit changed();
        endIfNothingRuns();
        return;
    }
    SegResume[i] = true;
    segReader_[i].reset();
    nextAtConnect_[i] = SegNext[i];
    set.connectTo(i, Host, static_cast<quint16>(Port));
}

void frmDownload::onSegmentError(SocketSet& set, int i, int number, const QString& description) {
    if (IsFTP) {
        onFtpControlError(set, i, number, description);
        return;
    }
    if (&set != segSet_) {
        set.close(i);
        return;
    }
    // A refused certificate or proxy refuses every segment alike: the download ends.
    if (SocketSet::IsFinal(number)) {
        CloseAllSockets();
        enterFailed(finalErrorText(number, description));
        return;
    }
    const QString text = SetCaptionfromINI(QStringLiteral("11033"), QStringLiteral("Error was occurred.")) +
                         QStringLiteral("\r\n") + SetCaptionfromINI(QStringLiteral("11034"), QString()) +
                         QString::number(number) + QStringLiteral("\r\n") + description;
    Dialogs::show(text, Dialogs::Icon::Exclamation,
                  SetCaptionfromINI(QStringLiteral("11035"), QStringLiteral("Error")));
    set.close(i);
    // One segment's error is not the download's end: the others go on, and the
    // stall rule picks this one up again.
    lblStatus = description;
    emit changed();
    endIfNothingRuns();
}
