#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>
#include <optional>

// The certificate authorities a secure download trusts: the system's store, and
// the PEM certificates of the file the user names ("CAFile", `--cacert`).
class TlsTrust {
public:
    // The system's authorities plus those of caFile; for an empty caFile, an
    // empty list (the system's store is then used as it is). nullopt with a
    // sentence in *error when the file cannot be read or holds no certificate.
    static std::optional<QList<QSslCertificate>> Authorities(const QString& caFile, QString* error);

    // Only the file's part: its certificates, or nullopt with *error.
    static std::optional<QList<QSslCertificate>> ReadCertificateFile(const QString& caFile,
                                                                     QString* error);
};
