#include "transfer/TlsTrust.h"

#include <QFile>
#include <QSslConfiguration>

std::optional<QList<QSslCertificate>> TlsTrust::ReadCertificateFile(const QString& caFile,
                                                                    QString* error) {
    QFile file(caFile);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read the certificate file %1: %2").arg(caFile, file.errorString());
        return std::nullopt;
    }
    // Far more than any bundle of authorities; a wrong file named here must not
    // be read whole into memory.
    constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    const QByteArray pem = file.read(kMaxBytes);
    QList<QSslCertificate> certificates = QSslCertificate::fromData(pem, QSsl::Pem);
    if (certificates.isEmpty()) {
        *error = QStringLiteral("The certificate file %1 holds no PEM certificate.").arg(caFile);
        return std::nullopt;
    }
    return certificates;
}

std::optional<QList<QSslCertificate>> TlsTrust::Authorities(const QString& caFile, QString* error) {
    if (caFile.trimmed().isEmpty()) return QList<QSslCertificate>();
    std::optional<QList<QSslCertificate>> extra = ReadCertificateFile(caFile, error);
    if (!extra) return std::nullopt;
    // Naming authorities of our own switches off the store's loading on demand,
    // so the system's are listed with them; they are read once per process.
    static const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
    return system + *extra;
}
