// The words a refused certificate is reported in.
#include "transfer/TlsErrorText.h"

#include <gtest/gtest.h>
#include <openssl/x509_vfy.h>

namespace {

TEST(TlsErrorTextTest, EachRefusalNamesItsReasonOnce) {
    const struct {
        std::vector<int> errors;
        const char* status;
    } cases[] = {
        {{X509_V_ERR_CERT_HAS_EXPIRED}, "TLS certificate of example.org refused: expired."},
        {{X509_V_ERR_CERT_NOT_YET_VALID}, "TLS certificate of example.org refused: not yet valid."},
        {{X509_V_ERR_HOSTNAME_MISMATCH}, "TLS certificate of example.org refused: wrong host."},
        {{X509_V_ERR_IP_ADDRESS_MISMATCH}, "TLS certificate of example.org refused: wrong host."},
        {{X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY, X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE},
         "TLS certificate of example.org refused: unknown issuer."},
        {{X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT},
         "TLS certificate of example.org refused: unknown issuer (self-signed)."},
        {{X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN, X509_V_ERR_HOSTNAME_MISMATCH, X509_V_ERR_CERT_HAS_EXPIRED},
         "TLS certificate of example.org refused: unknown issuer, wrong host, expired."},
        {{X509_V_ERR_CERT_REVOKED}, "TLS certificate of example.org refused: revoked."},
        {{X509_V_ERR_INVALID_PURPOSE}, "TLS certificate of example.org refused: not meant for a web server."},
        // Others in OpenSSL's own words.
        {{X509_V_ERR_CERT_SIGNATURE_FAILURE},
         "TLS certificate of example.org refused: certificate signature failure."},
        {{}, "TLS certificate of example.org refused: not trusted."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CertificateRefusedText(QStringLiteral("example.org"), c.errors), QLatin1String(c.status));
    }
}

}  // namespace
