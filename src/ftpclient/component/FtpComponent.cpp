// The component's calls: connecting, the state rules shared by every call, and
// the operations that are one or two commands. Transfers are in
// FtpComponentTransfers.cpp, folder trees in FtpComponentFolders.cpp.
#include "ftpclient/component/FtpComponent.h"

#include "ftpclient/component/FtpCommandJob.h"
#include "ftpclient/component/FtpListingParser.h"
#include "ftpclient/component/FtpLoginJob.h"
#include "ftpclient/component/FtpNames.h"
#include "ftpclient/component/FtpSession.h"
#include "ftpclient/component/FtpText.h"
#include "ftpclient/component/FtpTransferJob.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

// How long disconnecting waits for a running operation to end after aborting
// it, and for the server's goodbye.
constexpr int kDisconnectWaitMs = 10000;
constexpr int kQuitWaitMs = 5000;

FtpError unsafe() {
    return FtpErrors::make(FtpErrors::kUnsafeArgument,
                           QStringLiteral("The name or command holds a line break or NUL and was not sent."));
}

// The folder of a 257 reply: the first quoted text, where "" stands for one ".
std::optional<QByteArray> quotedPath(const QByteArray& reply) {
    const qsizetype open = reply.indexOf('"');
    if (open < 0) return std::nullopt;
    QByteArray path;
    for (qsizetype at = open + 1; at < reply.size(); ++at) {
        if (reply[at] != '"') {
            if (reply[at] == '\r' || reply[at] == '\n') return std::nullopt;
            path += reply[at];
        } else if (at + 1 < reply.size() && reply[at + 1] == '"') {
            path += '"';
            ++at;
        } else {
            return path;
        }
    }
    return std::nullopt;
}

}  // namespace

FtpComponent::FtpComponent(QObject* parent) : QObject(parent), session_(new FtpSession(this)) {
    connect(session_, &FtpSession::logLine, this, &FtpComponent::logLine);
    connect(session_, &FtpSession::connectionLost, this, &FtpComponent::onConnectionLost);
}

FtpComponent::~FtpComponent() = default;

void FtpComponent::setAbort(bool abort) {
    if (!abort || depth_ == 0) return;
    abortRequested_ = true;
    session_->abort();
}

FtpResult FtpComponent::begin(State state) {
    if (depth_ > 0) {
        return FtpErrors::make(FtpErrors::kBusy, QStringLiteral("Another operation is in progress."));
    }
    if (state != Connecting && !session_->control().isOpen()) {
        return FtpErrors::make(FtpErrors::kNotConnected, QStringLiteral("Not connected."));
    }
    ++depth_;
    state_ = state;
    abortRequested_ = false;
    session_->timeLimitMs = timeLimitMs;
    return std::nullopt;
}

FtpResult FtpComponent::finish(const FtpResult& result) {
    --depth_;
    state_ = loggedIn_ && session_->control().isOpen() ? Idle : NotConnected;
    abortRequested_ = false;
    emit operationCompleted(result ? result->number : 0);
    if (disconnectPending_) {
        disconnectPending_ = false;
        emit disconnected();
    }
    return result;
}

void FtpComponent::onConnectionLost() {
    if (!loggedIn_) return;
    loggedIn_ = false;
    if (depth_ > 0) {
        disconnectPending_ = true;
        return;
    }
    state_ = NotConnected;
    emit disconnected();
}

FtpResult FtpComponent::command(const QByteArray& line, QList<int> accepted, QByteArray* replyOut) {
    auto* job = new FtpCommandJob(*session_, line);
    FtpReply reply;
    connect(job, &FtpJob::finished, this, [job, &reply] { reply = job->reply(); });
    if (FtpResult error = session_->run(job)) return error;
    if (replyOut) *replyOut = reply.raw;
    const bool ok = accepted.isEmpty() ? reply.isPositive() : accepted.contains(reply.code);
    if (!ok) return FtpErrors::make(FtpErrors::kServerRefused, reply.lastLine());
    return std::nullopt;
}

// --- Connecting

FtpResult FtpComponent::connectToServer() {
    if (session_->control().isOpen() || depth_ > 0) {
        return FtpErrors::make(FtpErrors::kBusy, QStringLiteral("Already connected."));
    }
    if (FtpText::breaksCommand(userName.toUtf8()) || FtpText::breaksCommand(password.toUtf8())) {
        return unsafe();
    }
    if (FtpResult error = begin(Connecting)) return error;
    session_->serverHost = serverAddress.trimmed();
    session_->serverPort = serverPort;
    session_->proxy = FtpProxy{firewallType, firewallHost.trimmed(), firewallPort, firewallUserName,
                               firewallPassword};
    session_->passive = passiveMode;
    session_->currentType = 0;
    session_->offersMlsd = false;
    session_->currentFolder.clear();
    session_->rawNames.clear();
    if (session_->proxy.isUsed() && !passiveMode) {
        emit logLine(QStringLiteral("Active mode cannot pass the SOCKS proxy; using passive mode."));
    }
    auto* job = new FtpLoginJob(
        *session_, userName, password,
        [this](QString& answer) {
            emit accountRequired(answer);
            return !answer.isEmpty();
        },
        [this](QString& answer) {
            emit wrongPassword(answer);
            return !answer.isEmpty();
        });
    const FtpResult result = session_->run(job);
    if (result) {
        session_->closeConnection();
        FtpError error = *result;
        if (error.number == FtpErrors::kConnectionLost && !session_->control().isOpen())
            error.number = FtpErrors::kCannotConnect;
        return finish(error);
    }
    loggedIn_ = true;
    return finish(std::nullopt);
}

FtpResult FtpComponent::disconnectFromServer() {
    if (session_->isRunning()) {
        // Called from a handler while another call runs (that call is lower on
        // the stack and returns after this one): stop its operation first.
        setAbort(true);
        const QDeadlineTimer deadline(kDisconnectWaitMs);
        while (session_->isRunning() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        if (session_->isRunning()) {
            emit logLine(QStringLiteral("The operation did not end after the abort; closing the connection."));
            session_->cutOff(FtpErrors::make(FtpErrors::kAborted, QStringLiteral("The operation was aborted.")));
        }
    }
    const bool wasConnected = loggedIn_;
    // From here on the connection's end is expected, not news.
    loggedIn_ = false;
    disconnectPending_ = false;
    if (session_->control().isOpen()) {
        state_ = Disconnecting;
        ++depth_;
        session_->timeLimitMs = kQuitWaitMs;
        command("QUIT", {});
        session_->closeConnection();
        --depth_;
    }
    state_ = NotConnected;
    if (wasConnected) emit disconnected();
    return std::nullopt;
}

// --- Folders

FtpResult FtpComponent::readCurrentFolder() {
    QByteArray reply;
    if (FtpResult error = command("PWD", {257}, &reply)) return error;
    const std::optional<QByteArray> path = quotedPath(reply);
    if (!path) {
        return FtpErrors::make(FtpErrors::kProtocol,
                               QStringLiteral("The server's answer to PWD names no folder: ") +
                                   FtpText::forDisplay(reply.trimmed()));
    }
    session_->currentFolder = *path;
    return std::nullopt;
}

FtpResult FtpComponent::currentFolder(QString& path) {
    if (FtpResult error = begin(Commanding)) return error;
    const FtpResult result = readCurrentFolder();
    if (!result) path = FtpText::decode(session_->currentFolder);
    return finish(result);
}

FtpResult FtpComponent::changeFolder(const QString& path) {
    if (FtpResult error = begin(Commanding)) return error;
    return finish(command("CWD " + session_->encodeName(path), {}));
}

FtpResult FtpComponent::changeToParent() {
    if (FtpResult error = begin(Commanding)) return error;
    QByteArray reply;
    FtpResult result = command("CDUP", {}, &reply);
    // A server without CDUP gets the long form.
    if (result && result->number == FtpErrors::kServerRefused &&
        (reply.startsWith("500") || reply.startsWith("502"))) {
        result = command("CWD ..", {});
    }
    return finish(result);
}

// --- Listings

FtpResult FtpComponent::list(const QString& mask, QList<FtpItem>& items) {
    const bool mlsd = listingOption == 2 && session_->offersMlsd;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    FtpTransferJob::Plan plan;
    plan.direction = FtpTransferJob::Direction::Receive;
    plan.command = mlsd ? "MLSD" : "LIST";
    plan.type = session_->currentType ? session_->currentType : 'I';
    plan.device = &buffer;
    if (FtpResult error = session_->run(new FtpTransferJob(*session_, plan))) return error;

    FtpListingParser parser(mlsd ? FtpListingParser::Format::Mlsd : FtpListingParser::Format::List,
                            QDateTime::currentDateTime());
    parser.addData(buffer.data());
    items.clear();
    for (const FtpItem& item : parser.parse()) {
        if (!FtpNames::isSafeLocalName(item.name)) {
            emit skippingFile(FtpText::forDisplay(item.rawName), QString(), kUnsafeName);
            continue;
        }
        session_->rawNames.insert(item.name, item.rawName);
        if (FtpNames::matches(mask, item.name)) items.append(item);
    }
    return std::nullopt;
}

FtpResult FtpComponent::listFolder(const QString& mask) {
    if (FtpResult error = begin(Listing)) return error;
    QList<FtpItem> items;
    const FtpResult result = list(mask, items);
    if (!result) {
        for (const FtpItem& item : items) emit listingItem(item.name, item.dateTime, item.size, item.type);
    }
    return finish(result);
}

FtpResult FtpComponent::folderContents(const QString& mask, int format, QList<FtpItem>& items) {
    Q_UNUSED(format);
    if (FtpResult error = begin(Listing)) return error;
    return finish(list(mask, items));
}

// --- Single commands

FtpResult FtpComponent::deleteFile(const QString& name) {
    if (FtpResult error = begin(Commanding)) return error;
    return finish(command("DELE " + session_->encodeName(name), {}));
}

FtpResult FtpComponent::rename(const QString& from, const QString& to) {
    const QByteArray fromBytes = session_->encodeName(from);
    const QByteArray toBytes = session_->encodeName(to);
    // Both checked before the first is sent: half a rename is worse than none.
    if (FtpText::breaksCommand(fromBytes) || FtpText::breaksCommand(toBytes)) return unsafe();
    if (FtpResult error = begin(Commanding)) return error;
    if (FtpResult error = command("RNFR " + fromBytes, {350})) return finish(error);
    return finish(command("RNTO " + toBytes, {}));
}

FtpResult FtpComponent::createFolder(const QString& name) {
    if (FtpResult error = begin(Commanding)) return error;
    return finish(command("MKD " + session_->encodeName(name), {}));
}

FtpResult FtpComponent::removeFolder(const QString& name) {
    if (FtpResult error = begin(Commanding)) return error;
    return finish(command("RMD " + session_->encodeName(name), {}));
}

FtpResult FtpComponent::sendCommand(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    if (FtpText::breaksCommand(bytes)) return unsafe();
    if (FtpResult error = begin(Commanding)) return error;
    // Whatever the server answers is in the log; only a broken connection fails.
    return finish(session_->run(new FtpCommandJob(*session_, bytes)));
}
