#pragma once

#include <QString>
#include <QTemporaryDir>

// Certificates for TLS tests, made with the openssl command in a temporary folder:
// an authority the test trusts ("CAFile") and server certificates signed by it or
// by a stranger, for 127.0.0.1 (common name and subject alternative names, DNS and
// IP) or for another host, valid or expired.
//
//   TestCertificates certificates;
//   ASSERT_TRUE(certificates.make()) << certificates.error().toStdString();
//   NginxServer nginx({.documentRoot = docs, .tls = certificates.server()});
//   Settings.CAFile = certificates.authorityFile();
class TestCertificates {
public:
    struct Pair {
        QString certificate;  // PEM file
        QString key;          // PEM file
    };

    bool make();
    QString error() const { return error_; }

    QString authorityFile() const { return file(QStringLiteral("ca.pem")); }
    // For 127.0.0.1, signed by the authority.
    Pair server() const { return pair(QStringLiteral("server")); }
    // For other.example, signed by the authority.
    Pair wrongHost() const { return pair(QStringLiteral("wronghost")); }
    // For 127.0.0.1, signed by an authority nobody trusts.
    Pair unknownIssuer() const { return pair(QStringLiteral("stranger-signed")); }
    // For 127.0.0.1, signed by the authority, valid only in January 2020.
    Pair expired() const { return pair(QStringLiteral("expired")); }

private:
    bool run(const QStringList& arguments);
    bool writeFile(const QString& name, const QByteArray& text);
    bool makeAuthority(const QString& name, const QString& commonName);
    bool makeServer(const QString& name, const QString& authority, const QString& host);
    bool makeExpired();
    QString file(const QString& name) const { return dir_.filePath(name); }
    Pair pair(const QString& name) const {
        return {file(name + QStringLiteral(".pem")), file(name + QStringLiteral(".key"))};
    }

    QTemporaryDir dir_;
    QString error_;
};
