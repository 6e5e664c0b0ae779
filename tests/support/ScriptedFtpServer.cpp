#include "support/ScriptedFtpServer.h"

#include "support/ScriptedFtpSession.h"

#include <QTcpServer>
#include <QTcpSocket>

ScriptedFtpServer::ScriptedFtpServer(QObject* parent)
    : QObject(parent), listener_(new QTcpServer(this)) {
    connect(listener_, &QTcpServer::newConnection, this, &ScriptedFtpServer::accept);
}

bool ScriptedFtpServer::start(const QHostAddress& address) {
    return listener_->listen(address, 0);
}

quint16 ScriptedFtpServer::port() const {
    return listener_->serverPort();
}

void ScriptedFtpServer::addFile(const QString& path, const QByteArray& data) {
    files_.addFile(path, data);
}

void ScriptedFtpServer::addFolder(const QString& path) {
    files_.addFolder(path);
}

void ScriptedFtpServer::requireLogin(const QString& user, const QString& password) {
    login_ = std::pair(user, password);
}

void ScriptedFtpServer::onCommand(const QByteArray& verb, const Reply& reply) {
    handlers_.insert(verb.toUpper(), [reply](const QByteArray&) { return reply; });
}

void ScriptedFtpServer::onCommand(const QByteArray& verb, Handler handler) {
    handlers_.insert(verb.toUpper(), std::move(handler));
}

void ScriptedFtpServer::queueReplies(const QByteArray& verb, const QList<Reply>& replies) {
    queuedReplies_[verb.toUpper()].append(replies);
}

void ScriptedFtpServer::dropControl(int connection) {
    if (ScriptedFtpSession* session = sessions_.value(connection)) session->drop();
}

void ScriptedFtpServer::accept() {
    while (QTcpSocket* socket = listener_->nextPendingConnection()) {
        const int index = int(sessions_.size());
        auto* session = new ScriptedFtpSession(this, socket, index);
        sessions_.append(session);
        commands_.append(QList<QByteArray>());
        session->greet(greeting_);
    }
}

void ScriptedFtpServer::record(int connection, const QByteArray& line) {
    commands_[connection].append(line);
    emit commandReceived(connection, line);
}

ScriptedFtpReply ScriptedFtpServer::scriptedReply(const QByteArray& verb,
                                                  const QByteArray& argument) {
    if (auto queued = queuedReplies_.find(verb); queued != queuedReplies_.end()) {
        if (!queued->isEmpty()) return queued->takeFirst();
    }
    if (auto handler = handlers_.find(verb); handler != handlers_.end()) {
        return (*handler)(argument);
    }
    return Reply::standard();
}

ScriptedFtpTransfer ScriptedFtpServer::nextTransfer() {
    return queuedTransfers_.isEmpty() ? transfer_ : queuedTransfers_.takeFirst();
}

bool ScriptedFtpServer::loginAccepted(const QString& user, const QString& password) const {
    return !login_ || (login_->first == user && login_->second == password);
}
