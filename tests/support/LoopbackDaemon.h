#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

// A server program run as a child of the test on 127.0.0.1. Programs that
// cannot bind port 0 and tell their port are given a port that was free a
// moment ago; when another process takes it first, the start is tried again on
// another port. The program goes away with the object.
class LoopbackDaemon {
public:
    LoopbackDaemon() = default;
    ~LoopbackDaemon();
    LoopbackDaemon(const LoopbackDaemon&) = delete;
    LoopbackDaemon& operator=(const LoopbackDaemon&) = delete;

    // `arguments(port)` gives the command line for a port; `log` takes the
    // program's output. True once the port accepts connections.
    bool start(const QString& program, const std::function<QStringList(quint16 port)>& arguments,
               const QString& log);
    void stop();

    quint16 port() const { return port_; }
    QString errorString() const { return error_; }

    // A port that nothing listens on at the moment of asking.
    static quint16 freePort();

private:
    bool awaitPort();

    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};
