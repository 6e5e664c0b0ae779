#include "transfer/TlsErrorText.h"

#include <QStringList>

QString CertificateErrorReason(const QSslError& error) {
    switch (error.error()) {
        case QSslError::CertificateExpired:
            return QStringLiteral("expired");
        case QSslError::CertificateNotYetValid:
            return QStringLiteral("not yet valid");
        case QSslError::HostNameMismatch:
            return QStringLiteral("wrong host");
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
        case QSslError::SelfSignedCertificateInChain:
            return QStringLiteral("unknown issuer");
        case QSslError::SelfSignedCertificate:
            return QStringLiteral("unknown issuer (self-signed)");
        case QSslError::CertificateRevoked:
            return QStringLiteral("revoked");
        case QSslError::InvalidPurpose:
        case QSslError::CertificateRejected:
            return QStringLiteral("not meant for a web server");
        default:
            return error.errorString();
    }
}

QString CertificateRefusedText(const QString& host, const QList<QSslError>& errors) {
    QStringList reasons;
    for (const QSslError& error : errors) {
        const QString reason = CertificateErrorReason(error);
        if (!reasons.contains(reason)) reasons << reason;
    }
    if (reasons.isEmpty()) reasons << QStringLiteral("not trusted");
    return QStringLiteral("TLS certificate of %1 refused: %2.").arg(host, reasons.join(QStringLiteral(", ")));
}
