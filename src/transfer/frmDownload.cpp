#include "transfer/frmDownload.h"

#include "common/CRegister.h"
#include "common/Dialogs.h"
#include "core/Language.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "transfer/ReportList.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrl>

namespace {
const QString kZeroRate = QStringLiteral("0 Bytes/Second");
}

frmDownload::frmDownload(ReportList* lstMain, ReportList* lstComplete, QObject* parent)
    : QObject(parent), lstMain_(lstMain), lstComplete_(lstComplete) {
    tmrUpdate.setInterval(500);
    tmrUpdate2.setInterval(2500);
    tmrTimeOut.setInterval(1500);
    connect(&tmrUpdate, &QTimer::timeout, this, &frmDownload::tmrUpdate_Timer);
    connect(&tmrUpdate2, &QTimer::timeout, this, &frmDownload::tmrUpdate2_Timer);
    connect(&tmrTimeOut, &QTimer::timeout, this, &frmDownload::tmrTimeOut_Timer);
    connect(&tmrReconnect, &SecondsTimer::Timer, this, &frmDownload::tmrReconnect_Timer);

    connect(&WSHead, &SocketSet::connected, this, [this](int) { onProbeConnected(); });
    connect(&WSHead, &SocketSet::dataArrival, this, [this](int, qint64) { onProbeData(); });
    connect(&WSHead, &SocketSet::closedByPeer, this, [this](int) { onProbeClosed(); });
    connect(&WSHead, &SocketSet::error, this,
            [this](int, int number, const QString& description) { onProbeError(number, description); });
    for (SocketSet* set : {&wsHTTP, &wsHTTP1}) {
        connect(set, &SocketSet::connected, this, [this, set](int i) { onSegmentConnected(*set, i); });
        connect(set, &SocketSet::dataArrival, this,
                [this, set](int i, qint64) { onSegmentData(*set, i); });
        connect(set, &SocketSet::closedByPeer, this,
                [this, set](int i) { onSegmentClosed(*set, i); });
        connect(set, &SocketSet::error, this,
                [this, set](int i, int number, const QString& description) {
                    onSegmentError(*set, i, number, description);
                });
    }
    connectFtpSockets();
    SegNext.fill(1);
    SetCaptions();
    lblTransferRate = kZeroRate;
}

frmDownload::~frmDownload() = default;

void frmDownload::SetCaptions() {
    CaptionPause = SetCaptionfromINI(QStringLiteral("04012"), QStringLiteral("&Pause"));
    CaptionResume = SetCaptionfromINI(QStringLiteral("04013"), QStringLiteral("&Resume"));
    CaptionStop = SetCaptionfromINI(QStringLiteral("04014"), QStringLiteral("&Stop"));
    CaptionClose = SetCaptionfromINI(QStringLiteral("04015"), QStringLiteral("&Close"));
    cmdPause.Caption = CaptionPause;
    cmdStop.Caption = CaptionStop;
}

void frmDownload::StartDownload() {
    SetCaptions();
    tmrReconnect.setEnabled(false);
    tmrReconnect.IntervalUnit = 0;
    tmrReconnect.setInterval(Settings.TimeResume);
    initBase64();
    // The decision about an existing file belongs to this download: later starts
    // of other downloads change the global, and a retry must not pick that up.
    if (!started_) {
        existChoice_ = ExistChoice;
        started_ = true;
    }
    probeAnalysed_ = false;
    setUpDone_ = false;
    ended_ = false;
    lastConnectError_.clear();
    if (!applyRoute()) return;

    if (!IsFTP) {
        if (existChoice_ != 0 && existChoice_ != -1) {
            Unload();
            return;
        }
        if (existChoice_ == 0 && FileExists(SavePath)) KillFileQuiet(SavePath);
        takeJournal(existChoice_ == -1);
        SegResume.fill(existChoice_ == -1);
        // Until the probe has answered nothing is known, not even that the file is empty.
        LengthKnown = false;
        ContentLength = 0;
        WSHead.close(0);
        probeReader_.reset();
        WSHead.connectTo(0, Host, static_cast<quint16>(Port));
        tmrTimeOut.start();
        TimeoutTicks = Settings.Timeout;
        lblTimerVisible = true;
        cmdOpen.Visible = false;
        cmdGotoDir.Visible = false;
        RefreshControls(this);
        emit changed();
        return;
    }
    startFtpDownload();
}

void frmDownload::cmdPause_Click() {
    // A window that never started a download has nothing to pause or resume, and
    // a stopped one has closed its files.
    if (!started_ || ended_ || isFileDownloaded()) {
        RefreshControls(this);
        return;
    }
    if (cmdPause.Caption == CaptionPause) {
        cmdPause.Caption = CaptionResume;
        cmdStop.Enabled = false;
        CloseAllSockets();
        // A pause before the size was known also ends the probe; resume probes anew.
        WSHead.close(0);
        tmrTimeOut.stop();
        if (IsFTP) {
            FtpState = 0;
            PortSent = false;
            PasvConnected = false;
        }
        Rate = 0;
        lblStatus = SetCaptionfromINI(QStringLiteral("11055"), QStringLiteral("Paused/Stopped"));
    } else {
        lblStatus = SetCaptionfromINI(QStringLiteral("11051"), QStringLiteral("Downloading"));
        cmdPause.Caption = CaptionPause;
        cmdStop.Enabled = true;
        RefreshControls(this);
        if (IsFTP) {
            // FTP logs in again and continues from Rollback before the last byte.
            resumeFtpDownload();
            emit changed();
            return;
        }
        if (!setUpDone_) {
            StartDownload();
            return;
        }
        beginRound();
        const qint64 rollback = Settings.Rollback;
        if (rollback < SegNext[0]) SegNext[0] -= rollback;
        if (SegCount == 0) {
            SegResume[0] = true;
            segReader_[0].reset();
            nextAtConnect_[0] = SegNext[0];
            segSet_->connectTo(0, Host, static_cast<quint16>(Port));
        }
        for (int i = 0; i < SegCount; ++i) {
            SegResume[i] = true;
            // Moved back, but never into the range of the segment before.
            if (rollback < SegNext[i]) SegNext[i] = qMax(SegNext[i] - rollback, SegStart[i] + 1);
            closesWithoutProgress_[i] = 0;
            if (segmentComplete(i)) continue;
            segReader_[i].reset();
            nextAtConnect_[i] = SegNext[i];
            segSet_->connectTo(i, Host, static_cast<quint16>(Port));
        }
        tmrUpdate.start();
        tmrUpdate2.start();
    }
    RefreshControls(this);
    emit changed();
}

void frmDownload::cmdStop_Click() {
    if (FtpState == 550) {
        Unload();
        return;
    }
    if (cmdStop.Caption == CaptionClose || isFileDownloaded()) {
        Unload();
        return;
    }
    if (SegCount != 0) {
        const QString question = SetCaptionfromINI(
            QStringLiteral("13021"),
            QStringLiteral("you will not be able to resume this file later(Segmented mode only), Stop?"));
        // The question runs the event loop: the window may be unloaded meanwhile.
        const QPointer<frmDownload> self(this);
        if (!Dialogs::ask(question, Dialogs::Icon::Question) || !self) return;
        if (outcome_ != Outcome::Running) return;
    }
    cmdPause.Caption = CaptionResume;
    cmdStop.Enabled = false;
    RefreshControls(this);
    StopDown();
    lblStatus = SetCaptionfromINI(QStringLiteral("11055"), QStringLiteral("Paused/Stopped"));
    emit changed();
}

void frmDownload::CloseAllSockets() {
    // Whatever ends the transfer for now, the journal has its last positions.
    saveProgress(true);
    tmrUpdate2.stop();
    tmrUpdate.stop();
    lblTransferRate = kZeroRate;
    wsHTTP.closeAll();
    wsHTTP1.closeAll();
    if (IsFTP) {
        wsFTPData.closeAll();
        SegFile[0].close();
    }
}

void frmDownload::StopDown() {
    endTransfer(SetCaptionfromINI(QStringLiteral("11056"), QStringLiteral("Transfer Stopped")));
    emit changed();
}

// What stopping and completing share: sockets and files closed, the figures
// frozen, the buttons of a transfer that has ended.
void frmDownload::endTransfer(const QString& status) {
    ended_ = true;
    // No timer may take the transfer up again: not the retry, not the stall rule.
    tmrReconnect.setEnabled(false);
    CloseAllSockets();
    WSHead.close(0);
    ProgressBar1.Value = percentage();
    if (SegCount == 0) SegFile[0].close();
    for (int i = 0; i < SegCount; ++i) {
        PVProgressBar[i].Value = PVProgressBar[i].Max;
        SegFile[i].close();
    }
    Rate = 0;
    tmrTimeOut.stop();
    lblTimerVisible = false;
    Received = ReceivedBytes();
    lblRecievedSize = FormatSize(Received);
    lblTransferRate = kZeroRate;
    lblTimeRemaining = FormatSeconds(0);
    lblStatus = status;
    setRowSubItem(4, lblRecievedSize);
    tmrUpdate.stop();
    tmrUpdate2.stop();
    cmdOpen.Visible = true;
    cmdGotoDir.Visible = true;
    cmdPause.Enabled = false;
    cmdStop.Enabled = true;
    cmdStop.Visible = true;
    cmdStop.Caption = CaptionClose;
}

void frmDownload::Unload() {
    if (outcome_ == Outcome::Unloaded) return;
    StopDown();
    outcome_ = Outcome::Unloaded;
    emit unloaded();
}

void frmDownload::Completion() {
    completing_ = true;
    // A continued file that was longer than the server's file keeps no stale tail.
    for (SegmentFile& file : SegFile)
        if (file.isOpen()) {
            file.truncate(ContentLength);
            break;
        }
    completeJournal();
    endTransfer(SetCaptionfromINI(QStringLiteral("11046"), QStringLiteral("Transfer Completed...")));
    setRowSubItem(5, SetCaptionfromINI(QStringLiteral("11052"), QStringLiteral("Download Success")));

    if (ListItem && lstComplete_) {
        ListRowPtr done = lstComplete_->Add(4);
        for (int k = 1; k <= 6; ++k) done->setSubItem(k, ListItem->SubItem(k));
    }
    if (ListItem && lstMain_) lstMain_->Remove(ListItem);

    Settings.Downloads += 1;
    Settings.AllBytes += static_cast<double>(Received);
    CRegister reg;
    reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("Downloads"),
                       QString::number(Settings.Downloads));
    reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("AllBytes"),
                       QString::number(Settings.AllBytes, 'f', 0));

    outcome_ = Outcome::Completed;
    emit changed();
    emit completed();

    if (reg.REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("PromptDone"),
                          QStringLiteral("1")) == QLatin1String("1")) {
        const QPointer<frmDownload> self(this);
        Dialogs::show(SetCaptionfromINI(QStringLiteral("11031"), QStringLiteral("Download Successful.")),
                      Dialogs::Icon::Information, QCoreApplication::applicationName());
        // The program may have shut down while the box was open.
        if (!self) return;
    }
    completing_ = false;
    if (reg.REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("CloseDownloadWindowWhenDone"),
                          QStringLiteral("0")) == QLatin1String("1")) {
        Unload();
    }
    RefreshControls(this);
}

void frmDownload::enterFailed(const QString& status) {
    saveProgress(true);
    // A failed download waits for the user; no timer restarts it.
    tmrTimeOut.stop();
    tmrReconnect.setEnabled(false);
    tmrUpdate.stop();
    tmrUpdate2.stop();
    lblStatus = status;
    setRowStatus(status);
    // Every end state can be closed.
    cmdStop = {CaptionClose, true, true};
    outcome_ = Outcome::Failed;
    emit changed();
    emit failed(status);
}

void frmDownload::setRowSubItem(int k, const QString& text) {
    if (ListItem) ListItem->setSubItem(k, text);
}

void frmDownload::setRowStatus(const QString& text) { setRowSubItem(5, text); }

int frmDownload::percentage() const {
    if (!LengthKnown || ContentLength <= 0) return ProgressBar1.Value;
    return static_cast<int>(static_cast<double>(Received) / static_cast<double>(ContentLength) * 100.0);
}

// The file's name as the server knows it: the last part of the path, "%20"
// and the like decoded.
QString frmDownload::displayName() const {
    const QString name = FullPath.mid(FullPath.lastIndexOf(QLatin1Char('/')) + 1);
    return QUrl::fromPercentEncoding(name.toUtf8());
}

void frmDownload::LayoutSegmentBars(int n) {
    ProgressBar1.Visible = n >= 2;
    for (int i = 0; i < kMaxSegments; ++i) {
        BarState& bar = PVProgressBar[i];
        bar.Visible = i < n;
        if (i >= n) continue;
        bar.Width = 4600 / n;
        bar.Left = 4600 / n * i + 120;
        bar.Value = 0;
    }
    if (n == 1) lblPerLeft = 2055;
    emit changed();
}

QString frmDownload::GetError(int code) const {
    struct Entry {
        int code;
        const char* key;
        const char* text;
    };
    static const Entry table[] = {
        {400, "13033", "HTTP 400-Bad Request"},
        {401, "13034", "HTTP 401.x-You are not authorized to view this page"},
        {403, "13035", "HTTP 403.x - Forbidden: Acess Denied"},
        {404, "13032", "HTTP 404-Object Not Found"},
        {405, "13036", "HTTP 405 - Resource Not Allowed"},
        {406, "13037", "HTTP Error 406 - Not Acceptable"},
        {407, "13038", "HTTP 407 - Proxy Authentication Required"},
        {410, "13039", "HTTP Error 410 - Permanently not available"},
        {412, "13040", "HTTP 412 - Precondition Failed"},
        {414, "13041", "HTTP 414 - Request - URI Too Long"},
        {500, "13044",
         "HTTP Error 500-Server Error - The server failed to fulfill an apparently valid request"},
        {501, "13042", "Error 501 - Not implemented"},
        {502, "13043", "HTTP 502 - Bad Gateway"},
    };
    for (const Entry& entry : table)
        if (entry.code == code)
            return SetCaptionfromINI(QLatin1String(entry.key), QLatin1String(entry.text));
    return QStringLiteral("SUCCESS");
}

void frmDownload::initBase64() {
    int n = 0;
    for (char c = 'A'; c <= 'Z'; ++c) base64Table_[n++] = c;
    for (char c = 'a'; c <= 'z'; ++c) base64Table_[n++] = c;
    for (char c = '0'; c <= '9'; ++c) base64Table_[n++] = c;
    base64Table_[n++] = '+';
    base64Table_[n++] = '/';
}

QString frmDownload::Encode2Base64(const QByteArray& text) const {
    QString out;
    out.reserve((text.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < text.size(); i += 3) {
        const int remaining = static_cast<int>(qMin<qsizetype>(3, text.size() - i));
        quint32 group = static_cast<quint8>(text[i]) << 16;
        if (remaining > 1) group |= static_cast<quint8>(text[i + 1]) << 8;
        if (remaining > 2) group |= static_cast<quint8>(text[i + 2]);
        out += QLatin1Char(base64Table_[(group >> 18) & 63]);
        out += QLatin1Char(base64Table_[(group >> 12) & 63]);
        out += remaining > 1 ? QLatin1Char(base64Table_[(group >> 6) & 63]) : QLatin1Char('=');
        out += remaining > 2 ? QLatin1Char(base64Table_[group & 63]) : QLatin1Char('=');
    }
    return out;
}
