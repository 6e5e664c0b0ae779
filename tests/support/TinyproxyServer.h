#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A real tinyproxy (Debian's tinyproxy-bin), run in the foreground as this test's
// child on a free 127.0.0.1 port with a configuration and a log of its own. Its
// log names every request it took, which is how a test proves that a download
// went through it.
//
//   TinyproxyServer proxy({.basicAuth = "anna secret"});
//   ASSERT_TRUE(proxy.start()) << proxy.errorString().toStdString();
//   ... proxy.requestLines() contains "GET http://127.0.0.1:8080/f HTTP/1.1"
class TinyproxyServer {
public:
    static constexpr const char* kBinary = "/usr/bin/tinyproxy";

    struct Options {
        // "user password": the proxy wants this login (407 without it).
        QString basicAuth = {};
        // "host:port" of an HTTP proxy behind this one, which then gets every
        // request (tinyproxy takes ftp:// addresses only when it has one).
        QString upstream = {};
    };

    TinyproxyServer();
    explicit TinyproxyServer(Options options);
    ~TinyproxyServer();
    TinyproxyServer(const TinyproxyServer&) = delete;
    TinyproxyServer& operator=(const TinyproxyServer&) = delete;

    bool start();
    void stop();
    quint16 port() const { return port_; }
    QString errorString() const { return error_; }
    // The request lines of the log, in order ("CONNECT 127.0.0.1:443 HTTP/1.1" ...).
    QStringList requestLines() const;
    QString log() const;

private:
    bool startOnce(bool* portTaken);
    QString file(const QString& name) const { return workDir_.filePath(name); }

    Options options_;
    QTemporaryDir workDir_;
    std::unique_ptr<QProcess> process_;
    quint16 port_ = 0;
    QString error_;
};
