#pragma once

#include "support/ScriptedHttpServer.h"

#include <QByteArray>
#include <QObject>

class QTcpSocket;

// One accepted connection of ScriptedHttpServer: collects request bytes up to
// the blank line, asks the server for the reply and sends it as scripted
// (pieces, pacing, early close, stall). Deletes itself once closed.
class ScriptedHttpConnection : public QObject {
    Q_OBJECT
public:
    ScriptedHttpConnection(QTcpSocket* socket, int number, ScriptedHttpServer* server);
    ~ScriptedHttpConnection() override;

    bool isOpen() const;

private:
    void readRequests();
    void startReply(ScriptedHttpServer::Reply reply);
    void sendNext();
    void endReply();
    void close();

    QTcpSocket* socket_;
    ScriptedHttpServer* server_;
    int number_;
    QByteArray received_;

    bool replying_ = false;
    ScriptedHttpServer::Reply reply_;
    QByteArray out_;
    qint64 sent_ = 0;
    qint64 stopAt_ = 0;  // where sending ends: the reply's end, a close or a stall
};
