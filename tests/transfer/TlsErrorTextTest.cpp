// The words a refused certificate is reported in.
#include "transfer/TlsErrorText.h"

#include <gtest/gtest.h>

namespace {

TEST(TlsErrorTextTest, EachRefusalNamesItsReasonOnce) {
    using E = QSslError::SslError;
    const struct {
        QList<E> errors;
        const char* status;
    } cases[] = {
        {{E::CertificateExpired}, "TLS certificate of example.org refused: expired."},
        {{E::CertificateNotYetValid}, "TLS certificate of example.org refused: not yet valid."},
        {{E::HostNameMismatch}, "TLS certificate of example.org refused: wrong host."},
        {{E::UnableToGetLocalIssuerCertificate, E::UnableToVerifyFirstCertificate},
         "TLS certificate of example.org refused: unknown issuer."},
        {{E::SelfSignedCertificate}, "TLS certificate of example.org refused: unknown issuer (self-signed)."},
        {{E::SelfSignedCertificateInChain, E::HostNameMismatch, E::CertificateExpired},
         "TLS certificate of example.org refused: unknown issuer, wrong host, expired."},
        {{E::CertificateRevoked}, "TLS certificate of example.org refused: revoked."},
        {{}, "TLS certificate of example.org refused: not trusted."},
    };
    for (const auto& c : cases) {
        QList<QSslError> errors;
        for (const E error : c.errors) errors << QSslError(error);
        EXPECT_EQ(CertificateRefusedText(QStringLiteral("example.org"), errors), QLatin1String(c.status));
    }
}

}  // namespace
