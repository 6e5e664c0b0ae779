#include "transfer/TlsErrorText.h"

#include <QStringList>
#include <openssl/x509_vfy.h>

QString CertificateErrorReason(int error) {
    switch (error) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return QStringLiteral("expired");
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return QStringLiteral("not yet valid");
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return QStringLiteral("wrong host");
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_CERT_UNTRUSTED:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return QStringLiteral("unknown issuer");
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
            return QStringLiteral("unknown issuer (self-signed)");
        case X509_V_ERR_CERT_REVOKED:
            return QStringLiteral("revoked");
        case X509_V_ERR_INVALID_PURPOSE:
        case X509_V_ERR_CERT_REJECTED:
            return QStringLiteral("not meant for a web server");
        default:
            return QString::fromLatin1(X509_verify_cert_error_string(error));
    }
}

QString CertificateRefusedText(const QString& host, const std::vector<int>& errors) {
    QStringList reasons;
    for (const int error : errors) {
        const QString reason = CertificateErrorReason(error);
        if (!reasons.contains(reason)) reasons << reason;
    }
    if (reasons.isEmpty()) reasons << QStringLiteral("not trusted");
    return QStringLiteral("TLS certificate of %1 refused: %2.").arg(host, reasons.join(QStringLiteral(", ")));
}
