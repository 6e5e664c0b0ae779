#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A real nginx, run as this test's child on a free 127.0.0.1 port with a
// configuration, logs, pid file and temporary paths of its own, serving a
// document root. It runs as one plain process (no daemon, no master), which
// as root also keeps it from switching to an unprivileged user that could not
// read the test's private temporary folders.
//
//   NginxServer nginx({.documentRoot = dir.path(), .limitRate = 16'000'000});
//   ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();
class NginxServer {
public:
    static constexpr const char* kBinary = "/usr/sbin/nginx";

    struct Options {
        QString documentRoot = {};
        // Bytes per second for each connection (nginx `limit_rate`, sent in pieces
        // of 64 KiB); 0: no limit.
        qint64 limitRate = 0;
        // Blocks added to the server, e.g. "location = /old { return 302 /new; }".
        QStringList extraLocations = {};
        // PEM files of the server's certificate and key: the server speaks TLS.
        QString certificate = {};
        QString certificateKey = {};
    };

    explicit NginxServer(Options options);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // Starts nginx and waits (bounded) until its port takes connections.
    bool start();
    // Ends nginx and reaps it; also done by the destructor.
    void stop();

    bool isRunning() const;
    quint16 port() const { return port_; }
    // "http://127.0.0.1:<port>/" + path (path without the leading "/"); https://
    // when the server speaks TLS.
    QString url(const QString& path) const;
    QString errorString() const { return error_; }
    QString configText() const;
    QString accessLogPath() const;

private:
    bool startOnce(bool* portTaken);
    QString file(const QString& name) const { return workDir_.filePath(name); }

    Options options_;
    QTemporaryDir workDir_;
    std::unique_ptr<QProcess> process_;
    quint16 port_ = 0;
    QString error_;
};
