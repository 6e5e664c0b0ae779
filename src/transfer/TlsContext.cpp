#include "transfer/TlsContext.h"

#include <QFile>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

std::shared_ptr<const TlsContext> TlsContext::Create(const QString& caFile, QString* error) {
    SSL_CTX* handle = SSL_CTX_new(TLS_client_method());
    if (!handle) {
        *error = QStringLiteral("TLS cannot be set up.");
        return nullptr;
    }
    std::shared_ptr<TlsContext> context(new TlsContext(handle));
    SSL_CTX_set_min_proto_version(handle, TLS1_2_VERSION);
    // The session checks the outcome itself: every reason is named, not only the first.
    SSL_CTX_set_verify(handle, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_default_verify_paths(handle);
    // Fewer, larger reads of the socket's buffer.
    SSL_CTX_set_read_ahead(handle, 1);
    if (!caFile.trimmed().isEmpty() && !context->addAuthorities(caFile, error)) return nullptr;
    return context;
}

TlsContext::~TlsContext() {
    SSL_CTX_free(context_);
}

bool TlsContext::addAuthorities(const QString& caFile, QString* error) {
    QFile file(caFile);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read the certificate file %1: %2").arg(caFile, file.errorString());
        return false;
    }
    // Far more than any bundle of authorities; a wrong file named here must not
    // be read whole into memory.
    constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    const QByteArray pem = file.read(kMaxBytes);
    BIO* source = BIO_new_mem_buf(pem.constData(), static_cast<int>(pem.size()));
    X509_STORE* store = SSL_CTX_get_cert_store(context_);
    int added = 0;
    while (X509* certificate = PEM_read_bio_X509(source, nullptr, nullptr, nullptr)) {
        if (X509_STORE_add_cert(store, certificate) == 1) ++added;
        X509_free(certificate);
    }
    BIO_free(source);
    // The loop ends at the first text that is no certificate; what it left in the
    // error queue would be read as the reason of a later failure.
    ERR_clear_error();
    if (added == 0) {
        *error = QStringLiteral("The certificate file %1 holds no PEM certificate.").arg(caFile);
        return false;
    }
    return true;
}

QString TlsContext::LibraryVersion() {
    return QString::fromLatin1(OpenSSL_version(OPENSSL_VERSION));
}
