#include "support/ScriptedFtpSession.h"

#include "support/AfterPeerRead.h"
#include "support/ScriptedFtpDataChannel.h"
#include "support/ScriptedFtpServer.h"

#include <QHash>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QTimer>

namespace {

// Listings show one fixed date so that their bytes do not depend on the clock.
QByteArray listLine(const QString& name, bool folder, qint64 size) {
    return (folder ? QByteArray("drwxr-xr-x 1 ftp ftp ") : QByteArray("-rw-r--r-- 1 ftp ftp ")) +
           QByteArray::number(size).rightJustified(12, ' ') + " Jan 01 00:00 " + name.toUtf8() +
           "\r\n";
}

// Commands a client may send before it has logged in.
bool allowedBeforeLogin(const QByteArray& verb) {
    return verb == "USER" || verb == "PASS" || verb == "QUIT" || verb == "SYST" || verb == "NOOP";
}

}  // namespace

ScriptedFtpSession::ScriptedFtpSession(ScriptedFtpServer* server, QTcpSocket* control, int index)
    : QObject(server), server_(server), control_(control), index_(index) {
    control_->setParent(this);
    connect(control_, &QTcpSocket::readyRead, this, &ScriptedFtpSession::readCommands);
    connect(control_, &QTcpSocket::disconnected, this, [this] {
        delete data_;
        delete running_;
    });
}

void ScriptedFtpSession::greet(const ScriptedFtpReply& greeting) {
    answer(greeting);
}

void ScriptedFtpSession::drop() {
    enqueue(0, [this] { control_->disconnectFromHost(); });
}

void ScriptedFtpSession::readCommands() {
    input_ += control_->readAll();
    for (qsizetype end = input_.indexOf('\n'); end >= 0; end = input_.indexOf('\n')) {
        const QByteArray line = input_.left(end + 1);
        input_.remove(0, end + 1);
        server_->record(index_, line);
        handle(line);
    }
}

void ScriptedFtpSession::handle(const QByteArray& line) {
    QByteArray text = line;
    while (text.endsWith('\n') || text.endsWith('\r')) text.chop(1);
    const qsizetype space = text.indexOf(' ');
    const QByteArray verb = (space < 0 ? text : text.left(space)).toUpper();
    const QByteArray argument = space < 0 ? QByteArray() : text.mid(space + 1);

    const ScriptedFtpReply scripted = server_->scriptedReply(verb, argument);
    if (!scripted.isStandard()) {
        // A scripted login that a real server would accept logs the session in.
        if ((verb == "USER" || verb == "PASS") && !scripted.pieces().isEmpty() &&
            scripted.pieces().first().startsWith("230")) {
            loggedIn_ = true;
        }
        answer(scripted);
        return;
    }

    static const QHash<QByteArray, Command> commands = {
        {"USER", &ScriptedFtpSession::user}, {"PASS", &ScriptedFtpSession::pass},
        {"QUIT", &ScriptedFtpSession::quit}, {"SYST", &ScriptedFtpSession::syst},
        {"NOOP", &ScriptedFtpSession::noop}, {"PWD", &ScriptedFtpSession::pwd},
        {"CWD", &ScriptedFtpSession::cwd},   {"CDUP", &ScriptedFtpSession::cdup},
        {"MKD", &ScriptedFtpSession::mkd},   {"RMD", &ScriptedFtpSession::rmd},
        {"DELE", &ScriptedFtpSession::dele}, {"RNFR", &ScriptedFtpSession::rnfr},
        {"RNTO", &ScriptedFtpSession::rnto}, {"SIZE", &ScriptedFtpSession::size},
        {"TYPE", &ScriptedFtpSession::type}, {"PASV", &ScriptedFtpSession::pasv},
        {"PORT", &ScriptedFtpSession::port}, {"REST", &ScriptedFtpSession::rest},
        {"EPSV", &ScriptedFtpSession::epsv}, {"EPRT", &ScriptedFtpSession::eprt},
        {"RETR", &ScriptedFtpSession::retr}, {"LIST", &ScriptedFtpSession::list},
        {"NLST", &ScriptedFtpSession::nlst}, {"STOR", &ScriptedFtpSession::stor},
        {"ABOR", &ScriptedFtpSession::abor}, {"APPE", &ScriptedFtpSession::appe},
        {"MLSD", &ScriptedFtpSession::mlsd},
    };
    const Command command = commands.value(verb);
    if (!command) {
        reply("502 Command not implemented.\r\n");
    } else if (!loggedIn_ && !allowedBeforeLogin(verb)) {
        reply("530 Please login with USER and PASS.\r\n");
    } else {
        // Names that are not UTF-8 are taken byte for byte (as Latin-1).
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(argument);
        (this->*command)(utf8.hasError() ? QString::fromLatin1(argument) : text);
    }
}

void ScriptedFtpSession::answer(const ScriptedFtpReply& reply) {
    int delay = reply.delayMs();
    for (const QByteArray& piece : reply.pieces()) {
        enqueue(delay, [this, piece] { write(piece); });
        delay = kAfterPeerRead;
    }
    if (reply.dropsConnection()) drop();
}

void ScriptedFtpSession::reply(const QByteArray& text) {
    answer(ScriptedFtpReply(text));
}

void ScriptedFtpSession::enqueue(int delayMs, std::function<void()> step) {
    steps_.append({delayMs, std::move(step)});
    runSteps();
}

void ScriptedFtpSession::runSteps() {
    while (!waiting_ && !steps_.isEmpty()) {
        Step step = steps_.takeFirst();
        if (step.delayMs == 0) {
            step.run();
            continue;
        }
        waiting_ = true;
        auto resume = [this, run = std::move(step.run)] {
            waiting_ = false;
            run();
            runSteps();
        };
        if (step.delayMs == kAfterPeerRead)
            afterPeerRead(control_, this, std::move(resume));
        else
            QTimer::singleShot(step.delayMs, this, std::move(resume));
    }
}

void ScriptedFtpSession::write(const QByteArray& bytes) {
    if (control_->state() != QAbstractSocket::ConnectedState) return;
    control_->write(bytes);
    // Out now, so that the next step's bytes reach the client in a read of their own.
    control_->flush();
}

QString ScriptedFtpSession::path(const QString& argument) const {
    return ScriptedFtpFiles::resolve(folder_, argument);
}

void ScriptedFtpSession::user(const QString& argument) {
    user_ = argument;
    loggedIn_ = false;
    reply("331 Password required for " + argument.toUtf8() + ".\r\n");
}

void ScriptedFtpSession::pass(const QString& argument) {
    if (user_.isNull()) return reply("503 Login with USER first.\r\n");
    loggedIn_ = server_->loginAccepted(user_, argument);
    reply(loggedIn_ ? "230 Login successful.\r\n" : "530 Login incorrect.\r\n");
}

void ScriptedFtpSession::quit(const QString&) {
    reply("221 Goodbye.\r\n");
    drop();
}

void ScriptedFtpSession::syst(const QString&) {
    reply("215 UNIX Type: L8\r\n");
}

void ScriptedFtpSession::noop(const QString&) {
    reply("200 NOOP ok.\r\n");
}

void ScriptedFtpSession::pwd(const QString&) {
    reply("257 \"" + folder_.toUtf8() + "\" is the current directory.\r\n");
}

void ScriptedFtpSession::cwd(const QString& argument) {
    const QString folder = path(argument);
    if (!server_->files_.isFolder(folder)) return reply("550 Failed to change directory.\r\n");
    folder_ = folder;
    reply("250 Directory successfully changed.\r\n");
}

void ScriptedFtpSession::cdup(const QString&) {
    cwd(QStringLiteral(".."));
}

void ScriptedFtpSession::mkd(const QString& argument) {
    const QString folder = path(argument);
    ScriptedFtpFiles& files = server_->files_;
    if (files.isFile(folder) || files.isFolder(folder) ||
        !files.isFolder(ScriptedFtpFiles::parentOf(folder))) {
        return reply("550 Create directory operation failed.\r\n");
    }
    files.addFolder(folder);
    reply("257 \"" + folder.toUtf8() + "\" created.\r\n");
}

void ScriptedFtpSession::rmd(const QString& argument) {
    reply(server_->files_.removeFolder(path(argument))
              ? "250 Remove directory operation successful.\r\n"
              : "550 Remove directory operation failed.\r\n");
}

void ScriptedFtpSession::dele(const QString& argument) {
    reply(server_->files_.removeFile(path(argument)) ? "250 Delete operation successful.\r\n"
                                                     : "550 Delete operation failed.\r\n");
}

void ScriptedFtpSession::rnfr(const QString& argument) {
    const QString from = path(argument);
    if (!server_->files_.isFile(from) && !server_->files_.isFolder(from)) {
        return reply("550 RNFR command failed.\r\n");
    }
    renameFrom_ = from;
    reply("350 Ready for RNTO.\r\n");
}

void ScriptedFtpSession::rnto(const QString& argument) {
    if (renameFrom_.isNull()) return reply("503 RNFR required first.\r\n");
    const QString from = std::exchange(renameFrom_, QString());
    reply(server_->files_.rename(from, path(argument)) ? "250 Rename successful.\r\n"
                                                       : "550 Rename failed.\r\n");
}

void ScriptedFtpSession::size(const QString& argument) {
    const QString file = path(argument);
    if (!server_->files_.isFile(file)) return reply("550 Could not get file size.\r\n");
    reply("213 " + QByteArray::number(server_->files_.content(file).size()) + "\r\n");
}

void ScriptedFtpSession::type(const QString& argument) {
    reply("200 Type set to " + argument.toUtf8() + ".\r\n");
}

void ScriptedFtpSession::replaceDataChannel(ScriptedFtpDataChannel* channel) {
    delete data_;
    data_ = channel;
}

void ScriptedFtpSession::pasv(const QString&) {
    auto* channel = new ScriptedFtpDataChannel(this);
    replaceDataChannel(channel);
    const quint16 port = channel->listen(control_->localAddress());
    if (port == 0) return reply("425 Cannot open passive connection.\r\n");
    reply("227 Entering Passive Mode (" + server_->passiveAddress_ + "," + QByteArray::number(port / 256) + "," +
          QByteArray::number(port % 256) + ").\r\n");
}

void ScriptedFtpSession::epsv(const QString&) {
    auto* channel = new ScriptedFtpDataChannel(this);
    replaceDataChannel(channel);
    const quint16 port = channel->listen(control_->localAddress());
    if (port == 0) return reply("425 Cannot open passive connection.\r\n");
    reply("229 Entering Extended Passive Mode (|||" + QByteArray::number(port) + "|)\r\n");
}

// "|2|::1|5282|": protocol, address and port between delimiters of the client's choice.
void ScriptedFtpSession::eprt(const QString& argument) {
    const QStringList fields = argument.isEmpty() ? QStringList() : argument.split(argument.front());
    bool ok = false;
    const int port = fields.size() == 5 ? fields[3].toInt(&ok) : 0;
    const QHostAddress host(fields.size() == 5 ? fields[2] : QString());
    if (!ok || host.isNull()) return reply("501 Illegal EPRT command.\r\n");
    openActive(host, port);
}

void ScriptedFtpSession::openActive(const QHostAddress& host, int port) {
    auto* channel = new ScriptedFtpDataChannel(this);
    channel->setTarget(host, quint16(port));
    replaceDataChannel(channel);
    reply("200 PORT command successful.\r\n");
}

void ScriptedFtpSession::port(const QString& argument) {
    const QStringList fields = argument.split(QLatin1Char(','));
    QList<int> numbers;
    for (const QString& field : fields) {
        bool ok = false;
        const int number = field.trimmed().toInt(&ok);
        if (ok && number >= 0 && number <= 255) numbers.append(number);
    }
    if (fields.size() != 6 || numbers.size() != 6) return reply("501 Illegal PORT command.\r\n");
    openActive(QHostAddress(QStringLiteral("%1.%2.%3.%4")
                                .arg(numbers[0])
                                .arg(numbers[1])
                                .arg(numbers[2])
                                .arg(numbers[3])),
               numbers[4] * 256 + numbers[5]);
}

void ScriptedFtpSession::rest(const QString& argument) {
    bool ok = false;
    const qint64 offset = argument.toLongLong(&ok);
    if (!ok || offset < 0) return reply("501 Bad REST argument.\r\n");
    restOffset_ = offset;
    reply("350 Restart position accepted (" + QByteArray::number(offset) + ").\r\n");
}

void ScriptedFtpSession::retr(const QString& argument) {
    const QString file = path(argument);
    const qint64 offset = std::exchange(restOffset_, 0);
    if (!server_->files_.isFile(file)) return reply("550 Failed to open file.\r\n");
    const QByteArray content = server_->files_.content(file);
    const ScriptedFtpTransfer plan = server_->nextTransfer();
    const QByteArray opening = !plan.opening.isEmpty()
                                   ? plan.opening
                                   : "150 Opening BINARY mode data connection for " +
                                         argument.toUtf8() + " (" +
                                         QByteArray::number(content.size()) + " bytes).\r\n";
    transfer(opening, content.mid(offset), plan, nullptr);
}

void ScriptedFtpSession::list(const QString& argument) {
    listing(argument, false);
}

void ScriptedFtpSession::nlst(const QString& argument) {
    listing(argument, true);
}

void ScriptedFtpSession::listing(const QString& argument, bool namesOnly) {
    // Options such as "-la" are accepted and ignored.
    QStringList words = argument.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (!words.isEmpty() && words.first().startsWith(QLatin1Char('-'))) words.removeFirst();
    const QString target = path(words.join(QLatin1Char(' ')));
    const ScriptedFtpFiles& files = server_->files_;
    ScriptedFtpTransfer plan;
    plan.closing = "226 Directory send OK.\r\n";
    if (const auto scripted = server_->listings_.constFind(target);
        !namesOnly && scripted != server_->listings_.constEnd()) {
        return transfer("150 Here comes the directory listing.\r\n", *scripted, plan, nullptr);
    }
    QByteArray text;
    const auto add = [&](const QString& entry) {
        text += namesOnly ? ScriptedFtpFiles::nameOf(entry).toUtf8() + "\r\n"
                          : listLine(ScriptedFtpFiles::nameOf(entry), files.isFolder(entry),
                                     files.content(entry).size());
    };
    if (files.isFile(target)) {
        add(target);
    } else if (files.isFolder(target)) {
        for (const QString& name : files.children(target)) {
            add(ScriptedFtpFiles::resolve(target, name));
        }
    } else {
        return reply("550 No such file or directory.\r\n");
    }
    transfer("150 Here comes the directory listing.\r\n", text, plan, nullptr);
}

void ScriptedFtpSession::mlsd(const QString& argument) {
    const QString target = path(argument);
    ScriptedFtpTransfer plan;
    plan.closing = "226 MLSD complete.\r\n";
    if (const auto scripted = server_->listings_.constFind(target); scripted != server_->listings_.constEnd()) {
        return transfer("150 MLSD follows.\r\n", *scripted, plan, nullptr);
    }
    const ScriptedFtpFiles& files = server_->files_;
    if (!files.isFolder(target)) return reply("550 No such directory.\r\n");
    QByteArray text;
    for (const QString& name : files.children(target)) {
        const QString entry = ScriptedFtpFiles::resolve(target, name);
        text += (files.isFolder(entry) ? QByteArray("type=dir;")
                                       : "type=file;size=" + QByteArray::number(files.content(entry).size()) + ";") +
                "modify=20240101000000; " + name.toUtf8() + "\r\n";
    }
    transfer("150 MLSD follows.\r\n", text, plan, nullptr);
}

void ScriptedFtpSession::stor(const QString& argument) {
    store(argument, false);
}

void ScriptedFtpSession::appe(const QString& argument) {
    store(argument, true);
}

void ScriptedFtpSession::store(const QString& argument, bool append) {
    const QString file = path(argument);
    const qint64 offset = append ? server_->files_.content(file).size() : std::exchange(restOffset_, 0);
    if (server_->files_.isFolder(file) ||
        !server_->files_.isFolder(ScriptedFtpFiles::parentOf(file))) {
        return reply("553 Could not create file.\r\n");
    }
    transfer("150 Ok to send data.\r\n", {}, ScriptedFtpTransfer{},
             [this, file, offset](const QByteArray& data) {
                 // A restarted upload keeps what lies before the offset.
                 const QByteArray kept = server_->files_.content(file).left(offset);
                 server_->files_.addFile(file, kept + data);
             });
}

void ScriptedFtpSession::abor(const QString&) {
    if (!running_) return reply("225 No transfer to abort.\r\n");
    delete running_;
    reply("426 Transfer aborted.\r\n");
    reply("226 Abort successful.\r\n");
}

void ScriptedFtpSession::transfer(const QByteArray& opening, const QByteArray& payload,
                                  const ScriptedFtpTransfer& plan,
                                  std::function<void(QByteArray)> received) {
    ScriptedFtpDataChannel* channel = data_;
    data_ = nullptr;
    if (!channel) return reply("425 Use PORT or PASV first.\r\n");
    running_ = channel;
    connect(channel, &ScriptedFtpDataChannel::failed, this, [this, channel] {
        reply("425 Can't open data connection.\r\n");
        channel->deleteLater();
    });
    connect(channel, &ScriptedFtpDataChannel::opened, this,
            [this, channel, opening, payload, plan, received] {
                reply(opening);
                // The data starts once the client has read the opening reply.
                enqueue(kAfterPeerRead,
                        [channel = QPointer(channel), payload, plan, received] {
                            if (!channel) return;
                            if (received) {
                                channel->receive();
                            } else {
                                channel->send(payload, plan);
                            }
                        });
            });
    connect(channel, &ScriptedFtpDataChannel::sent, this,
            [this](qint64 bytes) { server_->dataBytesSent_ += bytes; });
    connect(channel, &ScriptedFtpDataChannel::finished, this,
            [this, channel, plan, received](bool complete) {
                channel->deleteLater();
                if (!complete) return reply("426 Connection closed; transfer aborted.\r\n");
                if (received) received(channel->received());
                if (!plan.closing.isEmpty()) {
                    enqueue(kAfterPeerRead,
                            [this, closing = plan.closing] { write(closing); });
                }
            });
    channel->open();
}
