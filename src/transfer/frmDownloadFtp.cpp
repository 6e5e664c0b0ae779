// The FTP side of the download window: the dialogue on the control connection
// (element 0 of wsHTTP), the data connection (wsFTPData, passive or active) that
// writes into the file as segment 0, and the resume rules.
#include "common/Dialogs.h"
#include "common/FtpReplies.h"
#include "core/Language.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "transfer/frmDownload.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>
#include <optional>

namespace {

// Active-mode data ports are DataPortBase + r, r from 6 to 139.
constexpr int kFirstPortOffset = 6;
constexpr int kPortOffsets = 134;
// A server that keeps closing the control connection without a byte of progress
// is left to the time-out after this many reconnects.
constexpr int kMaxClosesWithoutProgress = 5;
// Data that comes before the 150 reply waits, at most this much of it; beyond,
// the data connection is not read and the server waits.
constexpr qint64 kEarlyDataBytes = 256 * 1024;

// The port's high and low byte as PORT ends: ",12,r" for 12 × 256 + r.
QString portTail(int port) {
    return QStringLiteral(",%1,%2").arg(port / 256).arg(port % 256);
}


// Only the port of a 227 reply is used: the data connection goes to the server
// the control connection reached, whatever address the reply names.
std::optional<quint16> passivePortOf(const QByteArray& reply) {
    const std::optional<PassiveTarget> target = passiveTarget(reply);
    if (!target) return std::nullopt;
    return target->port;
}

// PORT and PASV speak IPv4 only; an IPv6 control connection takes their
// extended forms.
bool isIPv6(const QString& address) {
    return address.contains(QLatin1Char(':'));
}

}  // namespace

void frmDownload::connectFtpSockets() {
    connect(&wsFTPData, &SocketSet::connected, this, [this](int i) { onFtpDataConnected(i); });
    connect(&wsFTPData, &SocketSet::connectionRequest, this,
            [this](int i) { onFtpDataRequest(i); });
    connect(&wsFTPData, &SocketSet::dataArrival, this,
            [this](int i, qint64) { onFtpDataArrival(i); });
    connect(&wsFTPData, &SocketSet::closedByPeer, this, [this](int i) { onFtpDataClosed(i); });
    connect(&wsFTPData, &SocketSet::error, this,
            [this](int i, int, const QString& description) { onFtpDataError(i, description); });
}

// --- Start, resume, reconnect

void frmDownload::startFtpDownload() {
    // A retry starts from positions of its own, never from those of an earlier
    // transfer; the size is unknown until the 150 reply.
    SegStart[0] = 0;
    SegNext[0] = 1;
    ResumeMode = false;
    LengthKnown = false;
    ContentLength = 0;
    if (existChoice_ == -2) {
        Unload();
        return;
    }
    // An address that names a folder has no file to fetch.
    if (displayName().isEmpty()) {
        tmrTimeOut.stop();
        enterFailed(SetCaptionfromINI(QStringLiteral("13028"), QStringLiteral("Invalid File URL...")));
        return;
    }
    // A CR or LF in any of these would end a command early and start another.
    if (ContainsControlCharacters(Host) || ContainsControlCharacters(ftpRetrPath()) ||
        ContainsControlCharacters(User) || ContainsControlCharacters(Password)) {
        tmrTimeOut.stop();
        enterFailed(QStringLiteral("Invalid address: it contains control characters."));
        return;
    }
    // A continued file, and a retry of this window's own transfer, go on from
    // what is on disk: from the journal's position, else from the file's length.
    const bool continuing = (existChoice_ == -1 || ftpFileTaken_) && FileExists(SavePath);
    takeJournal(continuing);
    if (continuing) {
        const qint64 from = journal_ ? journal_->segments[0].next : QFileInfo(SavePath).size();
        SegStart[0] = qMax<qint64>(0, from - Settings.Rollback);
        SegNext[0] = SegStart[0] + 1;
        ResumeMode = true;
    }
    ftpClosesWithoutProgress_ = 0;
    connectFtpControl();
    setRowSubItem(1, SavePath);
    emit changed();
}

void frmDownload::resumeFtpDownload() {
    beginRound();
    SegStart[0] = qMax<qint64>(0, SegNext[0] - Settings.Rollback);
    SegNext[0] = SegStart[0] + 1;
    ResumeMode = true;
    connectFtpControl();
    tmrUpdate.start();
    tmrUpdate2.start();
}

void frmDownload::connectFtpControl() {
    ftpReplies_.reset();
    FtpState = 0;
    PortSent = false;
    PasvConnected = false;
    ftpDataEnded_ = false;
    ftpTransferClosed_ = false;
    wsFTPData.closeAll();
    ftpNextAtConnect_ = SegNext[0];
    wsHTTP.connectTo(0, Host, static_cast<quint16>(Port));
    // Every wait of the dialogue, for the greeting too, ends by the time-out.
    TimeoutTicks = Settings.Timeout;
    tmrTimeOut.start();
    lblTimerVisible = true;
}

void frmDownload::stopFtpTimeOut() {
    tmrTimeOut.stop();
    lblTimerVisible = false;
}

// --- The control connection

void frmDownload::onFtpControlData(SocketSet& set, int i) {
    set.readInto(i, readBuffer_);
    if (&set != &wsHTTP || i != 0 || readBuffer_.isEmpty()) return;
    TransferLog += readBuffer_;
    ftpReplies_.feed(readBuffer_);
    // One reply at a time, in order; a reply that starts the dialogue over
    // empties the reader.
    while (const std::optional<QByteArray> reply = ftpReplies_.next()) {
        FtpReply = *reply;
        FtpReplyCode = FtpReply.left(3);
        StartLoginFTP(i);
        if (outcome_ != Outcome::Running) break;
    }
}

void frmDownload::onFtpControlClosed(SocketSet& set, int i) {
    set.close(i);
    if (&set != &wsHTTP || i != 0) return;
    if (outcome_ != Outcome::Running || isFileDownloaded()) return;
    ftpClosesWithoutProgress_ = SegNext[0] > ftpNextAtConnect_ ? 0 : ftpClosesWithoutProgress_ + 1;
    if (ftpClosesWithoutProgress_ > kMaxClosesWithoutProgress) {
        lblStatus = QStringLiteral("The server keeps closing the connection.");
        if (!tmrTimeOut.isActive()) {
            TimeoutTicks = Settings.Timeout;
            tmrTimeOut.start();
        }
        emit changed();
        return;
    }
    wsFTPData.closeAll();
    saveProgress(false);
    SegFile[0].close();
    resumeFtpDownload();
    emit changed();
}

void frmDownload::onFtpControlError(SocketSet& set, int i, int number, const QString& description) {
    set.close(i);
    if (&set != &wsHTTP || i != 0 || outcome_ != Outcome::Running) return;
    const QString text =
        SetCaptionfromINI(QStringLiteral("11033"), QStringLiteral("Error was occurred.")) +
        QStringLiteral("\r\n") + SetCaptionfromINI(QStringLiteral("11034"), QString()) +
        QString::number(number) + QStringLiteral("\r\n") + description;
    Dialogs::show(text, Dialogs::Icon::Exclamation,
                  SetCaptionfromINI(QStringLiteral("11035"), QStringLiteral("Error")));
    ftpFailed(description);
}

void frmDownload::sendFtp(const QString& command) {
    wsHTTP.send(0, command.toUtf8() + "\r\n");
}

QString frmDownload::FindPort() {
    const int r =
        static_cast<int>(QRandomGenerator::global()->bounded(kPortOffsets)) + kFirstPortOffset;
    DataPort = DataPortBase + r;
    return portTail(DataPortBase + r);
}

void frmDownload::StartLoginFTP(int index) {
    Q_UNUSED(index);
    const QByteArray& code = FtpReplyCode;
    if (code == "220") {
        sendFtp(QStringLiteral("USER ") + User);
        const QString status =
            SetCaptionfromINI(QStringLiteral("11049"), QStringLiteral("Logging In..."));
        lblStatus = status;
        setRowStatus(status);
        FtpState = 220;
        // The time-out runs from the connect; the greeting starts its count again.
        TimeoutTicks = Settings.Timeout;
        cmdStop.Enabled = true;
        RefreshControls(this);
    } else if (code == "331") {
        sendFtp(QStringLiteral("PASS ") + Password);
        FtpState = 331;
    } else if (code == "230") {
        if (Settings.UsePASV)
            sendFtp(isIPv6(wsHTTP.localIP(0)) ? QStringLiteral("EPSV") : QStringLiteral("PASV"));
        else
            listenForData();
        txtURL = URL;
        lblStatus = SetCaptionfromINI(QStringLiteral("11050"),
                                      QStringLiteral("Connected... Setting Up Transfer!"));
        setRowStatus(SetCaptionfromINI(QStringLiteral("11048"), QStringLiteral("Connected")));
        TimeoutTicks = Settings.Timeout;
        tmrTimeOut.start();
        FtpState = 230;
        PasvConnected = false;
    } else if (code == "227" || code == "229") {
        const bool first = FtpState != 227 && FtpState != 229 && !PasvConnected;
        const std::optional<quint16> port =
            !first ? std::nullopt : code == "227" ? passivePortOf(FtpReply) : extendedPassivePort(FtpReply);
        if (!port) {
            ftpPassiveFailed();
            return;
        }
        DataPort = *port;
        // The server the control connection reached, not the address a 227 names:
        // behind a NAT that is a private one, and from a hostile server any host.
        const QString peer = wsHTTP.peerIP(0);
        wsFTPData.connectTo(0, peer.isEmpty() ? Host : peer, *port);
        wsFTPData.setReadLimit(0, kEarlyDataBytes);
        PasvConnected = true;
        sendFtp(QStringLiteral("TYPE I"));
        FtpState = code == "227" ? 227 : 229;
    } else if (code == "200") {
        // Only the first 200 after the login or the passive reply asks for REST:
        // the other one answers TYPE or PORT, and a server may send PORT's 200
        // once its data connection stands, after the transfer has begun.
        if (FtpState != 230 && FtpState != 227 && FtpState != 229) return;
        if (ResumeMode) {
            SegStart[0] = qMax<qint64>(0, SegNext[0] - Settings.Rollback);
            SegNext[0] = SegStart[0] + 1;
        }
        sendFtp(QStringLiteral("REST ") + QString::number(SegStart[0]));
        lblResume =
            SetCaptionfromINI(QStringLiteral("04018"), QStringLiteral("** Resume Supported **"));
        FtpState = 200;
    } else if (code == "350") {
        // Only the answer to REST asks for the file; a second RETR would send
        // the file again down the same data connection.
        if (FtpState != 200) return;
        sendFtp(QStringLiteral("RETR ") + ftpRetrPath());
        lblStatus =
            SetCaptionfromINI(QStringLiteral("13031"), QStringLiteral("Waiting For File..."));
        FtpState = 350;
    } else if (code == "550") {
        if (FtpState == 350) ftpFileNotFound();
    } else if (code == "504") {
        lblResume =
            SetCaptionfromINI(QStringLiteral("04019"), QStringLiteral("**RESUME NOT SUPPORTED**"));
        if (Settings.StopResume) tmrReconnect.setEnabled(true);
        tmrReconnect.IntervalUnit = 0;
        tmrReconnect.setInterval(Settings.TimeNoResume);
        // REST refused: the transfer goes on from the first byte rather than not at all.
        if (FtpState == 200) {
            restartFtpFromFirstByte();
            return;
        }
        FtpState = 504;
    } else if (code == "150" || code == "125") {
        // 125 is the same start of the transfer on a data connection already open.
        ftpTransferStarting();
    } else if (code == "425") {
        const QString status = SetCaptionfromINI(
            QStringLiteral("11043"), QStringLiteral("Could Not Establish Data Connection"));
        lblStatus = status;
        setRowStatus(status);
        FtpState = 425;
    } else if (code == "226") {
        lblStatus =
            SetCaptionfromINI(QStringLiteral("11046"), QStringLiteral("Transfer Completed..."));
        ftpTransferReplied();
    } else if (code == "530") {
        ftpLoginFailed();
    } else if (code == "426") {
        if (FtpState == 150) ftpTransferAborted();
    } else if (FtpState == 200 && code.startsWith('5')) {
        // REST not understood at all (500, 501, 502): as refused.
        lblResume =
            SetCaptionfromINI(QStringLiteral("04019"), QStringLiteral("**RESUME NOT SUPPORTED**"));
        restartFtpFromFirstByte();
    }
    emit changed();
}

// Active mode: the window listens before PORT goes out, since a server may
// connect as soon as it reads PORT. A port already taken gives way to the next.
void frmDownload::listenForData() {
    const QString ip = wsHTTP.localIP(0);
    if (PortSent) {
        wsFTPData.listen(0, ip, static_cast<quint16>(DataPort));
        return;
    }
    FindPort();
    int r = static_cast<int>(DataPort) - DataPortBase;
    for (int attempt = 0; attempt < kPortOffsets; ++attempt) {
        if (attempt > 0) {
            r = kFirstPortOffset + (r - kFirstPortOffset + 1) % kPortOffsets;
            DataPort = DataPortBase + r;
        }
        if (wsFTPData.listen(0, ip, static_cast<quint16>(DataPort))) {
            if (isIPv6(ip))
                sendFtp(QStringLiteral("EPRT |2|%1|%2|").arg(ip).arg(static_cast<int>(DataPort)));
            else
                sendFtp(QStringLiteral("PORT ") +
                        QString(ip).replace(QLatin1Char('.'), QLatin1Char(',')) +
                        portTail(int(DataPort)));
            sendFtp(QStringLiteral("TYPE I"));
            PortSent = true;
            return;
        }
    }
    // Every port is taken: the time-out tries again later.
    wsFTPData.close(0);
    lblStatus = QStringLiteral("No free port for the data connection.");
}

// The address spells some characters in %XX form (the parser writes spaces as
// "%20"); the server knows the file by its real name.
QString frmDownload::ftpRetrPath() const {
    return QUrl::fromPercentEncoding(FullPath.toUtf8());
}

void frmDownload::restartFtpFromFirstByte() {
    SegStart[0] = 0;
    SegNext[0] = 1;
    ResumeMode = false;
    sendFtp(QStringLiteral("RETR ") + ftpRetrPath());
    lblStatus = SetCaptionfromINI(QStringLiteral("13031"), QStringLiteral("Waiting For File..."));
    FtpState = 350;
    emit changed();
}

void frmDownload::ftpTransferStarting() {
    std::optional<qint64> size = announcedSize(FtpReply);
    // After REST past the first byte servers differ in what they announce (the
    // whole file or what is left of it), so only a fresh transfer's size, or the
    // size an earlier transfer announced, marks the end of the file. Otherwise the
    // end of the data connection, confirmed by 226, does.
    bool trusted = size && (SegStart[0] == 0 || (LengthKnown && *size == ContentLength));
    if (journal_) {
        // The journal knows the size; the server tells it whole or less what REST skipped.
        const qint64 whole = journal_->size;
        if (size && *size != whole && *size != whole - SegStart[0]) {
            refuseChangedFile();
            return;
        }
        trusted = true;
        size = whole;
    }
    LengthKnown = trusted;
    ContentLength = trusted ? *size : 0;
    lblFileSize = trusted ? FormatSize(ContentLength) : QStringLiteral("N/A");
    setRowSubItem(3, lblFileSize);
    const QString status =
        SetCaptionfromINI(QStringLiteral("11051"), QStringLiteral("Downloading"));
    setRowStatus(status);
    lblStatus = status;
    cmdPause.Enabled = true;
    Check_Create(ContentLength);
    if (outcome_ != Outcome::Running) return;
    // A resumed transfer keeps its positions through the set-up; its end is set here.
    SegStart[1] = ContentLength;
    // Everything past what is known to be on disk comes anew: no stale bytes stay
    // behind. What is known stays, to be compared with what the server sends again.
    const qint64 kept = onDisk_.reachFrom(SegNext[0] - 1);
    SegFile[0].truncate(kept);
    onDisk_.cutAt(kept);
    ftpFileTaken_ = true;
    startJournal();
    // The time-out still watches for a data connection that has not come.
    if (wsFTPData.state(0) == SocketSet::Connected || ftpDataEnded_) stopFtpTimeOut();
    if (Settings.StopResume) tmrReconnect.setEnabled(true);
    FtpState = 150;
    RefreshControls(this);
    // Data that came before this reply waited in the socket.
    wsFTPData.setReadLimit(0, 0);
    takeFtpData();
    if (ftpDataEnded_) {
        wsFTPData.close(0);
        endFtpTransfer();
    }
}

void frmDownload::ftpTransferReplied() {
    ftpTransferClosed_ = true;
    endFtpTransfer();
}

// The transfer has ended when the server has both closed the data connection and
// said 226, in either order.
void frmDownload::endFtpTransfer() {
    if (FtpState != 150 || !ftpDataEnded_ || !ftpTransferClosed_ || outcome_ != Outcome::Running)
        return;
    if (!LengthKnown) {
        finishUnknownLength();
        return;
    }
    // Short of the announced size: pause and resume at once to fetch the rest.
    if (ReceivedBytes() < ContentLength) {
        cmdPause_Click();
        cmdPause_Click();
    }
}

void frmDownload::ftpTransferAborted() {
    if (!isFileDownloaded()) {
        // The server gave up on the transfer; fetch the rest.
        cmdPause_Click();
        cmdPause_Click();
        return;
    }
    const QString status =
        SetCaptionfromINI(QStringLiteral("11044"), QStringLiteral("Download Completed!"));
    lblStatus = status;
    setRowStatus(status);
    cmdOpen.Visible = true;
    cmdGotoDir.Visible = true;
    cmdStop.Visible = false;
    cmdPause.Visible = false;
    RefreshControls(this);
}

void frmDownload::ftpFileNotFound() {
    emit beep();
    const QString status =
        SetCaptionfromINI(QStringLiteral("11042"), QStringLiteral("File Not Found"));
    emit statusLine(SetCaptionfromINI(QStringLiteral("11035"), QStringLiteral("Error")));
    FtpState = 550;
    cmdStop.Caption = CaptionClose;
    cmdStop.Enabled = true;
    ftpFailed(status);
}

void frmDownload::ftpLoginFailed() {
    ftpFailed(SetCaptionfromINI(QStringLiteral("11047"), QStringLiteral("User ")) + User +
              SetCaptionfromINI(QStringLiteral("11045"), QStringLiteral(" can not log in.")));
    setRowStatus(SetCaptionfromINI(QStringLiteral("11045"), QStringLiteral(" can not log in.")));
}

// A second 227, or one without an address: passive mode does not work with this
// server, and trying again would not change that.
void frmDownload::ftpPassiveFailed() {
    const QString text =
        SetCaptionfromINI(QStringLiteral("11036"),
                          QStringLiteral("FTP Server could not build PASV Mode data connection!  "
                                         "Try Non-PASV mode!"));
    Dialogs::show(text, Dialogs::Icon::Exclamation);
    ftpFailed(text);
}

// The dialogue ends here: no time-out, retry or stall rule takes it up again.
void frmDownload::ftpFailed(const QString& status) {
    if (outcome_ != Outcome::Running) return;
    stopFtpTimeOut();
    tmrReconnect.setEnabled(false);
    tmrUpdate.stop();
    tmrUpdate2.stop();
    wsHTTP.close(0);
    wsFTPData.closeAll();
    enterFailed(status);
}

// --- The data connection

void frmDownload::onFtpDataConnected(int i) {
    if (i == 0 && FtpState == 150) stopFtpTimeOut();
}

// Only the server the control connection reached may bring the data; anyone
// else who finds the open port is turned away and the port stays open.
void frmDownload::onFtpDataRequest(int i) {
    if (!wsFTPData.accept(i, wsHTTP.peerIP(0))) return;
    if (i != 0) return;
    if (FtpState == 150)
        stopFtpTimeOut();
    else
        wsFTPData.setReadLimit(0, kEarlyDataBytes);
}

void frmDownload::onFtpDataArrival(int i) {
    if (i != 0) {
        wsFTPData.close(i);
        return;
    }
    // Before the 150 reply the file is not set up; the bytes wait in the socket.
    if (FtpState != 150) return;
    takeFtpData();
}

void frmDownload::takeFtpData() {
    wsFTPData.readInto(0, readBuffer_);
    if (!readBuffer_.isEmpty()) writeSegment(0, readBuffer_.constData(), readBuffer_.size());
}

void frmDownload::onFtpDataClosed(int i) {
    if (i != 0) {
        wsFTPData.close(i);
        return;
    }
    ftpDataEnded_ = true;
    // Before the 150 reply what is left stays readable until that reply takes it.
    if (FtpState != 150) return;
    takeFtpData();
    wsFTPData.close(0);
    endFtpTransfer();
}

void frmDownload::onFtpDataError(int i, const QString& description) {
    Q_UNUSED(i);
    Dialogs::show(
        SetCaptionfromINI(QStringLiteral("11032"), QStringLiteral("FTP Downloading error:")) +
            description,
        Dialogs::Icon::Exclamation);
}
