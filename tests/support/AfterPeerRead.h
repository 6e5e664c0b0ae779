#pragma once

#include <QObject>
#include <functional>

class QTcpSocket;

// Runs `next` (on `context`) once the peer of `socket` has read every byte
// written so far, when that peer is a socket on this thread's event loop: the
// bytes have been acknowledged, so they wait in the peer's receive buffer, and
// then the loop has made a full pass, which reads every socket that had data
// when it began. What is written afterwards reaches that peer in a read of its
// own, however loaded the machine. A peer whose system stops taking bytes holds
// `next` back for at most 2000 polls a millisecond apart.
void afterPeerRead(QTcpSocket* socket, QObject* context, std::function<void()> next);
