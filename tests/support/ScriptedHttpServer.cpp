#include "support/ScriptedHttpServer.h"

#include "support/ScriptedHttpConnection.h"

#include <gtest/gtest.h>
#include <QHostAddress>
#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

ScriptedHttpServer::Request parseRequest(const QByteArray& raw) {
    ScriptedHttpServer::Request request;
    request.raw = raw;
    QList<QByteArray> lines = raw.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) line.chop(1);
    }
    const QList<QByteArray> words = lines.value(0).split(' ');
    request.method = words.value(0);
    request.target = words.value(1);
    request.version = words.value(2);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0) continue;
        request.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    return request;
}

}  // namespace

QByteArray ScriptedHttpServer::Request::header(QByteArrayView name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value.isNull() ? QByteArray("") : value;
    }
    return {};
}

bool ScriptedHttpServer::Request::hasHeader(QByteArrayView name) const {
    return !header(name).isNull();
}

ScriptedHttpServer::Reply ScriptedHttpServer::Reply::make(QByteArray status,
                                                          QList<QByteArray> headers,
                                                          QByteArray body) {
    Reply reply;
    reply.status = std::move(status);
    reply.headers = std::move(headers);
    reply.body = std::move(body);
    return reply;
}

ScriptedHttpServer::Reply ScriptedHttpServer::Reply::withLength(QByteArray status, QByteArray body,
                                                                QList<QByteArray> headers) {
    headers.append("Content-Length: " + QByteArray::number(body.size()));
    return make(std::move(status), std::move(headers), std::move(body));
}

ScriptedHttpServer::Reply ScriptedHttpServer::Reply::fromRaw(QByteArray bytes) {
    Reply reply;
    reply.raw = std::move(bytes);
    return reply;
}

ScriptedHttpServer::Reply ScriptedHttpServer::Reply::hangUp() {
    Reply reply = fromRaw({});
    reply.closeAfterBytes = 0;
    return reply;
}

ScriptedHttpServer::Reply ScriptedHttpServer::Reply::silence() {
    Reply reply = fromRaw({});
    reply.stallAfterBytes = 0;
    return reply;
}

QByteArray ScriptedHttpServer::Reply::chunked(const QList<QByteArray>& chunks) {
    QByteArray out;
    for (const QByteArray& chunk : chunks) {
        if (chunk.isEmpty()) continue;  // an empty chunk would end the body early
        out += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return out + "0\r\n\r\n";
}

QByteArray ScriptedHttpServer::Reply::bytes() const {
    if (raw) return *raw;
    QByteArray out = status + "\r\n";
    for (const QByteArray& line : headers) out += line + "\r\n";
    return out + "\r\n" + body;
}

qint64 ScriptedHttpServer::Reply::headerSize() const {
    if (raw) return raw->size();
    qint64 size = status.size() + 2 + 2;
    for (const QByteArray& line : headers) size += line.size() + 2;
    return size;
}

ScriptedHttpServer::ScriptedHttpServer(QObject* parent) : QObject(parent) {
    listen(new QTcpServer(this));
}

void ScriptedHttpServer::listen(QTcpServer* listener) {
    if (listener_) {
        listener_->close();
        listener_->deleteLater();
    }
    listener_ = listener;
    // A TLS server has a connection to hand out once its handshake is done.
    connect(listener_, &QTcpServer::newConnection, this, &ScriptedHttpServer::accept);
    connect(listener_, &QTcpServer::pendingConnectionAvailable, this, &ScriptedHttpServer::accept);
    if (!listener_->listen(QHostAddress::LocalHost, 0))
        ADD_FAILURE() << "ScriptedHttpServer cannot listen: "
                      << listener_->errorString().toStdString();
}

bool ScriptedHttpServer::useTls(const QString& certificateFile, const QString& keyFile) {
    QFile certificate(certificateFile);
    QFile key(keyFile);
    if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "ScriptedHttpServer cannot read " << certificateFile.toStdString() << " or "
                      << keyFile.toStdString();
        return false;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(certificate.readAll(), QSsl::Pem));
    configuration.setPrivateKey(QSslKey(key.readAll(), QSsl::Ec, QSsl::Pem));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    auto* server = new QSslServer(this);
    server->setSslConfiguration(configuration);
    tls_ = true;
    listen(server);
    return true;
}

ScriptedHttpServer::~ScriptedHttpServer() {
    listener_->close();
    // Connections go first, while the server they report to is still whole.
    qDeleteAll(findChildren<ScriptedHttpConnection*>(Qt::FindDirectChildrenOnly));
}

quint16 ScriptedHttpServer::port() const {
    return listener_->serverPort();
}

QString ScriptedHttpServer::url(const QString& path) const {
    const QString scheme = tls_ ? QStringLiteral("https") : QStringLiteral("http");
    return QStringLiteral("%1://127.0.0.1:%2/%3").arg(scheme).arg(port()).arg(path);
}

void ScriptedHttpServer::enqueue(Reply reply) {
    queue_.push_back(std::move(reply));
}

void ScriptedHttpServer::setHandler(Handler handler) {
    handler_ = std::move(handler);
}

int ScriptedHttpServer::openConnections() const {
    int open = 0;
    for (const auto* connection : findChildren<ScriptedHttpConnection*>(Qt::FindDirectChildrenOnly))
        open += connection->isOpen() ? 1 : 0;
    return open;
}

void ScriptedHttpServer::accept() {
    while (QTcpSocket* socket = listener_->nextPendingConnection())
        new ScriptedHttpConnection(socket, ++accepted_, this);
}

ScriptedHttpServer::Reply ScriptedHttpServer::answer(const QByteArray& raw, int connection) {
    Request request = parseRequest(raw);
    request.connection = connection;
    request.order = int(requests_.size());
    requests_.append(request);
    if (!queue_.empty()) {
        Reply reply = std::move(queue_.front());
        queue_.pop_front();
        return reply;
    }
    if (handler_) return handler_(request);
    ADD_FAILURE() << "ScriptedHttpServer: no reply scripted for request " << request.order
                  << " on connection " << connection << ":\n"
                  << raw.toStdString();
    return Reply::withLength("HTTP/1.1 500 Internal Server Error", "no reply scripted\n", {});
}
