#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real FTP server (Debian's pyftpdlib) as a child of the test, on 127.0.0.1
// and a free port, serving a temporary folder: anonymous logins read, the one
// user of user()/password() reads and writes. Passive data ports are on
// loopback too. The server goes away with the object.
class PyFtpdServer {
public:
    PyFtpdServer();
    ~PyFtpdServer();
    PyFtpdServer(const PyFtpdServer&) = delete;
    PyFtpdServer& operator=(const PyFtpdServer&) = delete;

    // Returns once the server has greeted with 220, or false (within seconds)
    // with the reason in errorString().
    bool start();
    void stop();

    quint16 port() const { return port_; }
    QString errorString() const { return error_; }
    QString user() const { return QStringLiteral("karvo"); }
    QString password() const { return QStringLiteral("Karvo-Test-1"); }

    // The served folder: what lies here is what the server shows at "/".
    QString rootPath() const { return folder_.filePath(QStringLiteral("root")); }
    // `relativePath` below the served folder; folders on the way are made.
    bool putFile(const QString& relativePath, const QByteArray& data) const;

private:
    bool fail(const QString& reason);
    bool readPort();
    bool awaitGreeting();

    QTemporaryDir folder_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};
