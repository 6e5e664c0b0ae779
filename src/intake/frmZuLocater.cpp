#include "intake/frmZuLocater.h"

#include "common/HandOverSender.h"
#include "intake/HandOverConnection.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <algorithm>

frmZuLocater::frmZuLocater(std::function<void(const QString&)> downLoadURL, QObject* parent)
    : QObject(parent), downLoadURL_(std::move(downLoadURL)) {}

frmZuLocater::~frmZuLocater() {
    Unload();
}

bool frmZuLocater::Load() {
    if (isLoaded()) return true;
    const QString path = HandOverSender::socketPath();
    if (path.isEmpty()) return false;
    server_ = new QLocalServer(this);
    // Only this user may connect; the runtime folder is private as well.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a Lumet that crashed; only one Lumet runs at a time.
    QLocalServer::removeServer(path);
    connect(server_, &QLocalServer::newConnection, this, &frmZuLocater::accept);
    if (server_->listen(path)) return true;
    delete server_;
    server_ = nullptr;
    return false;
}

// A shutdown can come while an address is being handled (its dialogs run the
// event loop), with that handler and the socket's own code still on the stack:
// the connections are aborted now and deleted from the event loop.
void frmZuLocater::Unload() {
    delete server_;
    server_ = nullptr;
    waiting_.clear();
    for (HandOverConnection* connection :
         findChildren<HandOverConnection*>(Qt::FindDirectChildrenOnly)) {
        connection->disconnect(this);
        connection->abort();
        connection->deleteLater();
    }
    connections_ = 0;
}

bool frmZuLocater::isLoaded() const {
    return server_ && server_->isListening();
}

void frmZuLocater::setTxtChager(const QString& text) {
    if (text == txtChager_) return;
    txtChager_ = text;
    txtChager_Change();
}

void frmZuLocater::txtChager_Change() {
    const QString text = txtChager_;
    // Also the change raised by emptying the box below.
    if (text.isEmpty()) return;
    // "MENU..." texts are commands of the browser add-on that this version ignores.
    if (!text.startsWith(QLatin1String("MENU"))) {
        QPointer<frmZuLocater> self(this);
        downLoadURL_(text);
        if (!self) return;
    }
    // Emptied so that the same address sent again is a change again.
    setTxtChager(QString());
}

void frmZuLocater::accept() {
    while (server_ && server_->hasPendingConnections()) {
        QLocalSocket* socket = server_->nextPendingConnection();
        if (connections_ >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connections_;
        auto* connection = new HandOverConnection(socket, kMaxAddressBytes, readTimeoutMs_, this);
        connect(connection, &HandOverConnection::addressRead, this, &frmZuLocater::onAddressRead);
        connect(connection, &HandOverConnection::finished, this, &frmZuLocater::onFinished);
    }
}

// Handled from the event loop, not inside the socket's signal: the add-address
// flow may show dialogs, and nothing of the socket is to be on the stack then.
void frmZuLocater::onAddressRead(HandOverConnection* connection) {
    waiting_.push_back(connection);
    if (!handling_) QTimer::singleShot(0, this, &frmZuLocater::handleWaiting);
}

void frmZuLocater::onFinished(HandOverConnection* connection) {
    --connections_;
    waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), connection), waiting_.end());
    connection->deleteLater();
}

void frmZuLocater::handleWaiting() {
    if (handling_) return;
    handling_ = true;
    QPointer<frmZuLocater> self(this);
    while (!waiting_.empty()) {
        QPointer<HandOverConnection> connection = waiting_.front();
        waiting_.pop_front();
        setTxtChager(connection->address());
        if (!self) return;
        // The sender learns only now, as it did when the hand-over was synchronous.
        if (connection) connection->acknowledge();
    }
    handling_ = false;
}
