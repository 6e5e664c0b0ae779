#pragma once

#include "ftpclient/component/FtpError.h"
#include "ftpclient/component/FtpItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class FtpSession;
class FtpTransferJob;
class QFile;

// The FTP component of Karvo: one object per connection, driven by calls that
// look synchronous and by signals (events) that arrive while a call runs.
//
// How to use it
// -------------
// 1. Write the settings (the public fields below), then call connectToServer().
//    Every call returns an FtpResult: nothing on success, or an FtpError with a
//    number and a description ("Error while ... Description: " + description).
//    Calls never throw.
// 2. A call runs a local event loop until its operation has ended, so windows
//    keep drawing and their handlers run meanwhile. From such a handler only
//    these are allowed: state(), setAbort(true), and disconnectFromServer().
//    Any other call made while one runs fails at once with FtpErrors::kBusy and
//    sends nothing.
// 3. setAbort(true) ends the running operation; its call then fails with
//    FtpErrors::kAborted (0x8004201E) and operationCompleted(0x8004201E) is
//    emitted. Setting it while idle does nothing.
// 4. Events that ask something (fileExists, accountRequired, wrongPassword)
//    must be connected directly (the default for objects of the same thread);
//    the handler writes its answer into the reference argument and may show a
//    modal dialog meanwhile. The operation waits for it.
// 5. Every wait on the network ends when no byte has moved for timeLimitMs: the
//    call fails with FtpErrors::kTimedOut and the connection is closed.
//
// Safety rules the component keeps whatever it is told:
// - No CR, LF or NUL ever reaches the control connection: an argument holding
//   one fails with FtpErrors::kUnsafeArgument before any byte is sent.
// - The log never shows the argument of PASS or ACCT.
// - Listing entries whose names could leave a local folder ("", ".", "..",
//   names with "/") are dropped with skippingFile(reason kUnsafeName).
// - A receive from offset 0 writes a temporary file beside the target and
//   renames it over the target only when the transfer is complete; a failure
//   leaves an existing file as it was. A short transfer, a 426/451 or a failed
//   local write is a failure.
// - Folder transfers never follow links and always return to the remote folder
//   they started in.
// - Passive data connections go to the control connection's peer, whatever
//   address the server names; active mode accepts only the server.
class FtpComponent : public QObject {
    Q_OBJECT
public:
    // Values of state().
    enum State {
        NotConnected = 0,
        Connecting = 1,
        Idle = 2,
        Disconnecting = 3,
        Listing = 5,
        Commanding = 7,
        ReceivingFile = 11,
        ReceivingFiles = 13,
        SendingFile = 17,
        SendingFiles = 20,
    };

    // Reason codes of skippingFile().
    enum SkipReason {
        kExistsNotReplaced = 1,
        kUnsafeName = 2,
        kLinkNotFollowed = 3,
        kNotRegularFile = 4,
        kTooDeep = 5,
    };

    explicit FtpComponent(QObject* parent = nullptr);
    ~FtpComponent() override;

    // --- Settings, read when connecting
    QString serverAddress;
    quint16 serverPort = 21;
    QString userName;
    QString password;
    bool passiveMode = true;
    // 0 none, 4 SOCKS 4, 5 SOCKS 5.
    int firewallType = 0;
    QString firewallHost;
    quint16 firewallPort = 1080;
    QString firewallUserName;
    QString firewallPassword;

    // --- Settings, read by each operation
    // 0 binary, 1 ASCII (CR LF on the wire, LF on disk).
    int representation = 0;
    // 1: LIST, each line read as Unix or DOS. 2: MLSD when the server offers it
    // (links stay links where the server marks them), LIST otherwise.
    int listingOption = 1;
    // When not empty, every file of every transfer, single or in folders, goes
    // as ASCII when its extension (without dot, any case) is in the list and as
    // binary otherwise; `representation` is then not used for files.
    QStringList autoAsciiExtensions;
    // No-progress limit of every network wait.
    int timeLimitMs = 60000;

    int state() const { return state_; }
    // The abort flag: true aborts the operation in progress.
    void setAbort(bool abort);

    // --- Operations
    FtpResult connectToServer();
    // Also while another call runs: that one is aborted first (waiting at most
    // a few seconds), then QUIT. State 0 afterwards, then disconnected().
    FtpResult disconnectFromServer();
    FtpResult currentFolder(QString& path);
    FtpResult changeFolder(const QString& path);
    FtpResult changeToParent();
    // One listingItem() per entry whose name matches the mask ("" = all).
    FtpResult listFolder(const QString& mask);
    // The entries of the current folder; `format` 0 is the only format.
    FtpResult folderContents(const QString& mask, int format, QList<FtpItem>& items);
    FtpResult receiveFile(const QString& remoteName, qint64 startOffset, const QString& localPath);
    // `resume` with an offset above 0 continues the remote file from there
    // (REST + STOR, or APPE); an offset of 0 always stores the whole file anew.
    FtpResult sendFile(const QString& localPath, qint64 startOffset, const QString& remoteName,
                       bool resume);
    // localMask "folder/*" (or another pattern); the files go into remoteFolder,
    // made when missing when createFolders is set; subfolders too when asked.
    FtpResult sendFiles(const QString& localMask, const QString& remoteFolder, bool createFolders,
                        bool includeSubfolders);
    // remoteMask "folder/*" (the folder relative to the current one, or absolute).
    FtpResult receiveFiles(const QString& remoteMask, const QString& localFolder,
                           bool includeSubfolders);
    FtpResult deleteFile(const QString& name);
    FtpResult rename(const QString& from, const QString& to);
    FtpResult createFolder(const QString& name);
    FtpResult removeFolder(const QString& name);
    // Sent as it is; the replies arrive as log lines. A 4xx/5xx answer is the
    // server's answer, not a failure of the call.
    FtpResult sendCommand(const QString& line);

signals:
    void disconnected();
    // One command sent or one reply line (PASS/ACCT masked, control characters removed).
    void logLine(const QString& line);
    void progress(const QString& fileName, const QString& secondName, qint64 fileSize,
                  qint64 bytesDone, int percent);
    void listingItem(const QString& name, const QDateTime& dateTime, qint64 size, int type);
    void receivingFile(const QString& name);
    void sendingFile(const QString& name);
    void scanningFolder(const QString& name);
    // The local target exists and the receive starts at 0; `replace` starts false.
    void fileExists(const QString& name, bool& replace);
    void skippingFile(const QString& name, const QString& secondName, qint32 reason);
    // The server wants an account / refused the password: write the answer;
    // an empty answer ends the login as failed.
    void accountRequired(QString& answer);
    void wrongPassword(QString& answer);
    // At the end of every operation: 0 or the error number.
    void operationCompleted(qint32 result);

private:
    FtpResult begin(State state);
    FtpResult finish(const FtpResult& result);
    FtpResult command(const QByteArray& line, QList<int> accepted, QByteArray* replyOut = nullptr);
    FtpResult readCurrentFolder();
    FtpResult list(const QString& mask, QList<FtpItem>& items);
    // `listed`: the item comes from a listing, whose size stands for SIZE.
    FtpResult receiveOne(const FtpItem& item, const QByteArray& remotePath, qint64 startOffset,
                         const QString& localPath, bool listed);
    FtpResult sendOne(const QString& localPath, qint64 startOffset, const QByteArray& remoteName,
                      bool resume);
    FtpResult receiveTree(const QByteArray& remoteFolder, const QString& pattern,
                          const QString& localFolder, bool includeSubfolders, int depth);
    FtpResult sendTree(const QString& localFolder, const QString& pattern, bool includeSubfolders,
                       int depth);
    FtpResult makeAndEnterFolder(const QByteArray& name, bool create);
    FtpResult returnTo(const QByteArray& folder, const FtpResult& result);
    char typeFor(const QString& fileName) const;
    // Runs a transfer with progress events; the size is the local file's for
    // uploads, else what the server announced.
    FtpResult runTransfer(FtpTransferJob* job, const QString& fileName, const QString& secondName,
                          qint64 offset, std::optional<qint64> localSize);
    bool abortRequested() const { return abortRequested_; }
    void onConnectionLost();

    FtpSession* session_;
    int state_ = NotConnected;
    int depth_ = 0;
    bool abortRequested_ = false;
    bool loggedIn_ = false;
    bool disconnectPending_ = false;
    qint64 lastProgressMs_ = 0;
};
