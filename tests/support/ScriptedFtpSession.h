#pragma once

#include "support/ScriptedFtpReply.h"
#include "support/ScriptedFtpTransfer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QTcpSocket;
class ScriptedFtpDataChannel;
class ScriptedFtpServer;

// One control connection of the scripted FTP server: reads command lines, lets
// the server record them and look up a scripted answer, and otherwise answers
// as an ordinary server would. Replies and the steps of a transfer go out in
// order through one queue, so a delayed reply holds back the ones after it.
class ScriptedFtpSession : public QObject {
    Q_OBJECT
public:
    ScriptedFtpSession(ScriptedFtpServer* server, QTcpSocket* control, int index);

    void greet(const ScriptedFtpReply& greeting);
    // Closes the control connection once what is already queued is written.
    void drop();

private:
    using Command = void (ScriptedFtpSession::*)(const QString& argument);

    void readCommands();
    void handle(const QByteArray& line);
    void answer(const ScriptedFtpReply& reply);
    void reply(const QByteArray& text);
    void enqueue(int delayMs, std::function<void()> step);
    void runSteps();
    void write(const QByteArray& bytes);
    QString path(const QString& argument) const;
    void replaceDataChannel(ScriptedFtpDataChannel* channel);
    // Runs one transfer on the data channel that PASV or PORT set up.
    void transfer(const QByteArray& opening, const QByteArray& payload,
                  const ScriptedFtpTransfer& plan, std::function<void(QByteArray)> received);

    void user(const QString& argument);
    void pass(const QString& argument);
    void quit(const QString& argument);
    void syst(const QString& argument);
    void noop(const QString& argument);
    void pwd(const QString& argument);
    void cwd(const QString& argument);
    void cdup(const QString& argument);
    void mkd(const QString& argument);
    void rmd(const QString& argument);
    void dele(const QString& argument);
    void rnfr(const QString& argument);
    void rnto(const QString& argument);
    void size(const QString& argument);
    void type(const QString& argument);
    void pasv(const QString& argument);
    void epsv(const QString& argument);
    void port(const QString& argument);
    void eprt(const QString& argument);
    void openActive(const QHostAddress& host, int port);
    void rest(const QString& argument);
    void retr(const QString& argument);
    void list(const QString& argument);
    void nlst(const QString& argument);
    void stor(const QString& argument);
    void appe(const QString& argument);
    void mlsd(const QString& argument);
    void store(const QString& argument, bool append);
    void abor(const QString& argument);
    void listing(const QString& argument, bool namesOnly);

    // A step's delay that waits for the client to read what is out instead.
    static constexpr int kAfterPeerRead = -1;
    struct Step {
        int delayMs;
        std::function<void()> run;
    };

    ScriptedFtpServer* server_;
    QTcpSocket* control_;
    int index_;
    QByteArray input_;
    QList<Step> steps_;
    bool waiting_ = false;
    QString folder_ = QStringLiteral("/");
    QString user_;
    bool loggedIn_ = false;
    qint64 restOffset_ = 0;
    QString renameFrom_;
    QPointer<ScriptedFtpDataChannel> data_;
    QPointer<ScriptedFtpDataChannel> running_;
};
