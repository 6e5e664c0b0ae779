#pragma once

#include "core/UrlParser.h"
#include "common/FtpReplyReader.h"
#include "transfer/HttpResponseReader.h"
#include "transfer/ListRow.h"
#include "transfer/ProgressJournal.h"
#include "transfer/SecondsTimer.h"
#include "transfer/SegmentFile.h"
#include "transfer/SocketSet.h"
#include "transfer/WrittenRanges.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <optional>

class ReportList;

// What a button of the download window shows.
struct ButtonState {
    QString Caption;
    bool Enabled = true;
    bool Visible = true;
};

// What a progress bar of the download window shows; Left and Width in twips.
struct BarState {
    int Value = 0;
    int Max = 100;
    bool Visible = false;
    int Left = 0;
    int Width = 0;
};

// One download: the address and its parts, the local file, the segment
// bookkeeping, the sockets, the timers and the list row that shows it.
//
// This is the window's logic. The controls it writes (labels, buttons, bars, the
// row's sub-items, the caption) are plain state here; a face shows them and calls
// the click handlers. changed() is emitted whenever that state may have changed.
//
// The address fields (Host, Port, User, Password, Path, FullPath, IsHTTP, IsFTP)
// come from UrlParts and are filled by ParseUrlInto.
class frmDownload : public QObject, public UrlParts {
    Q_OBJECT
public:
    static constexpr int kMaxSegments = 6;

    // The lists the window's row lives in: its row moves from lstMain to
    // lstComplete when the download completes. Either may be null.
    frmDownload(ReportList* lstMain, ReportList* lstComplete, QObject* parent = nullptr);
    ~frmDownload() override;

    // --- Properties the queue and the parser set or read
    double Rate = 0;
    int Index = 0;
    QString SavePath;
    QString URL;
    ListRowPtr ListItem;

    // --- Transfer state
    qint64 ContentLength = 0;
    qint64 Received = 0;
    int SegCount = 0;
    std::array<qint64, kMaxSegments + 1> SegStart{};
    std::array<qint64, kMaxSegments> SegNext{};
    std::array<bool, kMaxSegments> SegResume{};
    std::array<SegmentFile, kMaxSegments> SegFile;
    bool ResumeMode = false;
    double ElapsedSeconds = 0;
    qint64 LastReceived = 0;
    int TimeoutTicks = 0;
    int RetryCount = 0;
    int RedirectCount = 0;
    bool ProbeFullRange = false;
    // False while the server has not told the size (the probe has not answered,
    // or the reply had no length): the body then runs until the server ends it,
    // and completion waits for that end.
    bool LengthKnown = true;

    // --- FTP dialogue state
    QByteArray FtpReply;
    QByteArray FtpReplyCode;
    int FtpState = 0;
    bool PortSent = false;
    bool PasvConnected = false;
    double DataPort = 0;
    // Active-mode data ports are this + 6 to this + 139; a test that holds ports
    // moves the range onto ports of its own.
    int DataPortBase = 12 * 256;

    // Every HTTP response header and FTP reply received, in arrival order.
    QByteArray TransferLog;

    QString CaptionPause, CaptionResume, CaptionStop, CaptionClose;

    // --- Controls
    SocketSet WSHead{QStringLiteral("WSHead")};
    SocketSet wsHTTP{QStringLiteral("wsHTTP")};
    SocketSet wsHTTP1{QStringLiteral("wsHTTP1")};
    SocketSet wsFTPData{QStringLiteral("wsFTPData")};
    QTimer tmrUpdate;
    QTimer tmrUpdate2;
    QTimer tmrTimeOut;
    SecondsTimer tmrReconnect;

    ButtonState cmdPause, cmdStop, cmdOpen, cmdGotoDir;
    QString lblStatus, lblResume, lblFileSize, lblRecievedSize, lblTransferRate,
        lblTimeRemaining, lblElapsedTime, lblTimer, lblPer;
    bool lblTimerVisible = true;
    int lblPerLeft = 0;
    QString txtURL, txtSaveTo;
    QString Caption;  // window caption: "name [NN%]"
    BarState ProgressBar1;
    std::array<BarState, kMaxSegments> PVProgressBar;

    // --- Operations
    void StartDownload();
    void Pause_Resume() { cmdPause_Click(); }
    void StopMe() { cmdStop_Click(); }
    void cmdPause_Click();
    void cmdStop_Click();
    void StopDown();
    // Closes the window: stops the transfer and tells the owner to release it.
    void Unload();

    void Check_Create(qint64 size);
    void Check_Create1(qint64 size);
    void SetSegIndecies();
    qint64 ReceivedBytes() const;
    bool isFileDownloaded() const;
    void LayoutSegmentBars(int n);

    // The FTP dialogue: acts on FtpReply, the reply just received on control
    // connection `index`.
    void StartLoginFTP(int index);
    // Picks the active-mode data port: sets DataPort and returns the PORT tail
    // ",12,r".
    QString FindPort();

    QString GetError(int code) const;
    static int ParseStatusCode(const QByteArray& reply) {
        return HttpResponseReader::ParseStatusCode(reply);
    }
    void initBase64();
    QString Encode2Base64(const QByteArray& text) const;
    void SetCaptions();

    void Update(int i);
    void tmrUpdate_Timer();
    void tmrUpdate2_Timer();
    void tmrTimeOut_Timer();
    void tmrReconnect_Timer();

    // The request texts the window sends.
    QByteArray ProbeRequest() const;
    QByteArray SegmentRequest(int i) const;
    // What the request line asks for: "/" + Path from the server itself, the whole
    // address from a proxy (frmDownloadRoute.cpp).
    QString RequestTarget() const;
    // The proxy login's header value, "Basic " and the Base64 of the credentials.
    QByteArray ProxyLogin() const;
    // How the sockets reach the server, as last decided by the address and the settings.
    const ConnectionRoute& Route() const { return route_; }

    enum class Outcome { Running, Completed, Failed, Unloaded };
    Outcome outcome() const { return outcome_; }
    // The download failed because the file on the server is no longer the one
    // whose bytes are on disk.
    bool RemoteChanged() const { return remoteChanged_; }
    static QString RemoteChangedText();
    // True while the completion handler runs: its message box runs the event loop,
    // and until it has returned the window must not be given away or deleted.
    bool CompletionRunning() const { return completing_; }

signals:
    void changed();
    // The transfer ended: completed, failed (status text in lblStatus), or the
    // window was unloaded. Emitted once per outcome.
    void completed();
    void failed(const QString& status);
    void unloaded();
    // After each 2.5-second rate tick.
    void rateTick();
    // The main window's per-download status line of this window (slot Index).
    void statusLine(const QString& text);
    // The face sounds the system beep.
    void beep();
    // A line for the user that is not the download's outcome (a progress journal
    // that could not be used).
    void notice(const QString& text);

private:
    void onProbeConnected();
    void onProbeData();
    void onProbeClosed();
    void onProbeError(int number, const QString& description);
    // The status for an error that no retry can mend (SocketSet::IsFinal).
    QString finalErrorText(int number, const QString& description) const;
    void AnalyseProbeReply();
    void followRedirect(const QByteArray& location);
    void acceptSize(int code, qint64 size);
    void reprobe();
    void waitForRetry(int code);

    void onSegmentConnected(SocketSet& set, int i);
    void onSegmentData(SocketSet& set, int i);
    void onSegmentClosed(SocketSet& set, int i);
    void onSegmentError(SocketSet& set, int i, int number, const QString& description);
    bool takeSegmentHeader(SocketSet& set, int i);
    bool writeSegment(int i, const char* data, qint64 size);
    void reconnectSegment(SocketSet& set, int i);
    void fallBackToOneConnection();
    void finishUnknownLength();
    void completeWhenDone();
    bool segmentComplete(int i) const;
    void endIfNothingRuns();

    // FTP (frmDownloadFtp.cpp)
    void connectFtpSockets();
    void startFtpDownload();
    void resumeFtpDownload();
    void connectFtpControl();
    void onFtpControlData(SocketSet& set, int i);
    void onFtpControlClosed(SocketSet& set, int i);
    void onFtpControlError(SocketSet& set, int i, int number, const QString& description);
    void onFtpDataConnected(int i);
    void onFtpDataRequest(int i);
    void onFtpDataArrival(int i);
    void onFtpDataClosed(int i);
    void onFtpDataError(int i, const QString& description);
    void takeFtpData();
    void sendFtp(const QString& command);
    void listenForData();
    void ftpTransferStarting();
    void ftpTransferReplied();
    void ftpTransferAborted();
    void endFtpTransfer();
    void restartFtpFromFirstByte();
    QString ftpRetrPath() const;
    void ftpFileNotFound();
    void ftpLoginFailed();
    void ftpPassiveFailed();
    void ftpFailed(const QString& status);
    void stopFtpTimeOut();

    // Decides the route for the current address and settings and gives it to the
    // HTTP socket sets; false (the download failed) when the trusted
    // certificates cannot be read.
    bool applyRoute();
    // A connection could not be made: the time-out decides about a retry; what
    // the socket said is the status when no retry is left.
    void connectFailed(const QString& description);

    // The progress journal and the verified rollback (frmDownloadJournal.cpp)
    void takeJournal(bool continuing);
    void resumeFromJournal();
    void startJournal();
    void beginRound();
    void saveProgress(bool untilOnDisk);
    ProgressJournal journalNow() const;
    bool probeMatchesDisk();
    bool replyChanged(const HttpResponseReader& reader) const;
    QByteArray ifRangeValue() const;
    bool matchesDisk(int i, qint64 at, const char* data, qint64 size);
    void refuseChangedFile();
    void completeJournal();

    void setUp(qint64 size, bool after206);
    bool openSegmentFile(int handle);
    void CloseAllSockets();
    void Completion();
    void endTransfer(const QString& status);
    void enterFailed(const QString& status);
    void setRowStatus(const QString& text);
    void setRowSubItem(int k, const QString& text);
    int percentage() const;
    QString displayName() const;

    ReportList* lstMain_;
    ReportList* lstComplete_;
    SocketSet* segSet_ = &wsHTTP;  // the set the segments run on
    std::array<HttpResponseReader, kMaxSegments> segReader_;
    std::array<int, kMaxSegments> closesWithoutProgress_{};
    std::array<qint64, kMaxSegments> nextAtConnect_{};
    HttpResponseReader probeReader_;
    bool probeAnalysed_ = false;
    bool setUpDone_ = false;
    bool started_ = false;
    // Stopped or completed: nothing but a new StartDownload moves the transfer again.
    bool ended_ = false;
    int existChoice_ = 0;  // the existing-file decision taken when this download started
    FtpReplyReader ftpReplies_;
    bool ftpDataEnded_ = false;       // the server ended the data connection of this transfer
    bool ftpTransferClosed_ = false;  // ... and said 226 on the control connection
    int ftpClosesWithoutProgress_ = 0;
    // The file holds what this window wrote: a retry continues it.
    bool ftpFileTaken_ = false;
    qint64 ftpNextAtConnect_ = 1;
    Outcome outcome_ = Outcome::Running;
    // The journal this download continues, when it had a usable one.
    std::optional<ProgressJournal> journal_;
    // The server's validators of the bytes on disk.
    QByteArray etag_;
    QByteArray lastModified_;
    WrittenRanges onDisk_;
    // What was on disk when the current requests began: all of it is the old
    // file's, whatever the requests bring.
    WrittenRanges roundStart_;
    bool journalActive_ = false;
    QByteArray journalSaved_;  // the text last written
    bool remoteChanged_ = false;
    QByteArray compareBuffer_;
    bool completing_ = false;
    ConnectionRoute route_;
    // An ftp:// address that the HTTP proxy fetches: the window speaks HTTP.
    bool ftpViaProxy_ = false;
    // Why the last connection attempt failed, in the socket's words; "" when the
    // server answered.
    QString lastConnectError_;
    QByteArray readBuffer_;
    std::array<char, 64> base64Table_{};
    int lastPercent_ = -1;
};
