#pragma once

#include "support/ScriptedFtpFiles.h"
#include "support/ScriptedFtpReply.h"
#include "support/ScriptedFtpTransfer.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

class QTcpServer;
class ScriptedFtpSession;

// An FTP server inside the test process, on 127.0.0.1 and a free port, driven by
// the test thread's event loop like the client under test. It records every
// command line exactly as received and answers like an ordinary server serving
// an in-memory file tree, unless the test scripts the answer to a command.
//
//   ScriptedFtpServer server;
//   ASSERT_TRUE(server.start());
//   server.addFile("pub/file.bin", bytes);
//   server.onCommand("REST", "504 Reply marker for REST not supported.\r\n");
//   server.queueReplies("PASV", {ScriptedFtpServer::Reply::standard(),
//                                "227 Entering Passive Mode (10,0,0,5,4,1)\r\n"});
//   ... run the client ...
//   EXPECT_EQ(server.commands(0).first(), "USER anonymous\r\n");
//
// Answers to one command are looked up in this order: the queued replies, then
// the handler or the fixed reply, then the usual handling.
class ScriptedFtpServer : public QObject {
    Q_OBJECT
public:
    using Reply = ScriptedFtpReply;
    using Transfer = ScriptedFtpTransfer;
    using Handler = std::function<Reply(const QByteArray& argument)>;

    explicit ScriptedFtpServer(QObject* parent = nullptr);

    // On 127.0.0.1, or on the address given (::1 for an IPv6 server).
    bool start(const QHostAddress& address = QHostAddress::LocalHost);
    quint16 port() const;

    // Paths are taken from "/" ("pub/a.bin" is "/pub/a.bin"); folders on the way
    // are made.
    void addFile(const QString& path, const QByteArray& data);
    void addFolder(const QString& path);
    // Every file by absolute path, uploads included.
    const QMap<QString, QByteArray>& files() const { return files_.files(); }

    // Without this any user and password log in.
    void requireLogin(const QString& user, const QString& password);
    void setGreeting(const Reply& greeting) { greeting_ = greeting; }
    // `verb` as "REST" (letter case does not matter); the scripted answer replaces the usual
    // handling (a scripted 230 to USER or PASS counts as a login).
    void onCommand(const QByteArray& verb, const Reply& reply);
    void onCommand(const QByteArray& verb, Handler handler);
    // One reply per command, in order; afterwards the command is answered as before.
    void queueReplies(const QByteArray& verb, const QList<Reply>& replies);
    // How every RETR is carried out, unless one is queued.
    void setTransfer(const Transfer& transfer) { transfer_ = transfer; }
    // How the next RETR is carried out (one per RETR, in order).
    void queueTransfer(const Transfer& transfer) { queuedTransfers_.append(transfer); }

    // Control connections in the order they were accepted, from 0.
    int connectionCount() const { return int(commands_.size()); }
    // The command lines received on one connection, CR LF included.
    QList<QByteArray> commands(int connection = 0) const { return commands_.value(connection); }
    // Bytes written on data connections, all transfers together.
    qint64 dataBytesSent() const { return dataBytesSent_; }
    // Closes a control connection once the replies already queued on it are out.
    void dropControl(int connection);

    // What LIST and MLSD of `folder` send, byte for byte, in place of the lines
    // made from the tree: DOS lines, links, hostile names, any encoding.
    void setListing(const QString& folder, const QByteArray& bytes) { listings_.insert(folder, bytes); }
    // The address 227 names ("10,0,0,5"); the data port is the real one.
    void setPassiveAddress(const QByteArray& address) { passiveAddress_ = address; }

signals:
    void commandReceived(int connection, const QByteArray& line);

private:
    friend class ScriptedFtpSession;

    void accept();
    void record(int connection, const QByteArray& line);
    Reply scriptedReply(const QByteArray& verb, const QByteArray& argument);
    Transfer nextTransfer();
    bool loginAccepted(const QString& user, const QString& password) const;

    QTcpServer* listener_;
    ScriptedFtpFiles files_;
    std::optional<std::pair<QString, QString>> login_;
    Reply greeting_ = "220 Scripted FTP server ready.\r\n";
    QHash<QByteArray, Handler> handlers_;
    QHash<QByteArray, QList<Reply>> queuedReplies_;
    Transfer transfer_;
    QList<Transfer> queuedTransfers_;
    QList<QList<QByteArray>> commands_;
    QList<QPointer<ScriptedFtpSession>> sessions_;
    QHash<QString, QByteArray> listings_;
    QByteArray passiveAddress_ = "127,0,0,1";
    qint64 dataBytesSent_ = 0;
};
