#pragma once

#include <QString>
#include <memory>

typedef struct ssl_ctx_st SSL_CTX;

// What every TLS connection of a download shares: TLS 1.2 or later, the server's
// certificate always checked, against the system's certificate authorities and
// those of the PEM file the user names ("CAFile", `lumet --cacert`). One OpenSSL
// context behind it; TlsSession makes its connections from it.
class TlsContext {
public:
    // nullptr with a sentence in *error when caFile (when not empty) cannot be
    // read or holds no PEM certificate.
    static std::shared_ptr<const TlsContext> Create(const QString& caFile, QString* error);
    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    SSL_CTX* handle() const { return context_; }

    // "OpenSSL 3.0.x …", for `lumet --version`.
    static QString LibraryVersion();

private:
    explicit TlsContext(SSL_CTX* context) : context_(context) {}
    bool addAuthorities(const QString& caFile, QString* error);

    SSL_CTX* context_;
};
