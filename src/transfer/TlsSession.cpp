#include "transfer/TlsSession.h"

#include "transfer/TlsContext.h"
#include "transfer/TlsErrorText.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <algorithm>
#include <climits>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace {

// The BIO between OpenSSL and the socket: reads take what the socket holds (none
// left: try again later), writes queue on the socket.
QTcpSocket* socketOf(BIO* bio) {
    return static_cast<QTcpSocket*>(BIO_get_data(bio));
}

int bioRead(BIO* bio, char* out, int length) {
    BIO_clear_retry_flags(bio);
    QTcpSocket* socket = socketOf(bio);
    const qint64 got = socket->read(out, length);
    if (got > 0) return static_cast<int>(got);
    // Nothing more will come once the connection has closed: the end of the stream.
    if (got < 0 || socket->state() != QAbstractSocket::ConnectedState) return 0;
    BIO_set_retry_read(bio);
    return -1;
}

int bioWrite(BIO* bio, const char* data, int length) {
    BIO_clear_retry_flags(bio);
    const qint64 written = socketOf(bio)->write(data, length);
    return written < 0 ? -1 : static_cast<int>(written);
}

long bioControl(BIO*, int command, long, void*) {
    // The socket sends what it queued by itself.
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int bioCreate(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

BIO_METHOD* socketMethod() {
    static BIO_METHOD* const method = [] {
        BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "QTcpSocket");
        BIO_meth_set_read(made, bioRead);
        BIO_meth_set_write(made, bioWrite);
        BIO_meth_set_ctrl(made, bioControl);
        BIO_meth_set_create(made, bioCreate);
        return made;
    }();
    return method;
}

// What one SSL_read may hand back at most: a record's plain text.
constexpr qint64 kRecordBytes = 16 * 1024;

}  // namespace

TlsSession::TlsSession(const TlsContext& context, QTcpSocket* socket, const QString& host)
    : ssl_(SSL_new(context.handle())), socket_(socket), host_(host) {
    BIO* bio = BIO_new(socketMethod());
    BIO_set_data(bio, socket_);
    SSL_set_bio(ssl_, bio, bio);
    SSL_set_app_data(ssl_, this);
    SSL_set_verify(ssl_, SSL_VERIFY_PEER, &TlsSession::verifyCallback);
    const QByteArray name = host.toUtf8();
    X509_VERIFY_PARAM* check = SSL_get0_param(ssl_);
    if (QHostAddress(host).isNull()) {
        SSL_set_tlsext_host_name(ssl_, name.constData());
        X509_VERIFY_PARAM_set1_host(check, name.constData(), 0);
    } else {
        X509_VERIFY_PARAM_set1_ip_asc(check, name.constData());
    }
    SSL_set_connect_state(ssl_);
}

TlsSession::~TlsSession() {
    SSL_free(ssl_);
}

int TlsSession::verifyCallback(int preverifyOk, X509_STORE_CTX* store) {
    if (preverifyOk) return 1;
    auto* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    auto* session = static_cast<TlsSession*>(SSL_get_app_data(ssl));
    session->certificateErrors_.push_back(X509_STORE_CTX_get_error(store));
    // Going on collects the other reasons; the handshake's end refuses the certificate.
    return 1;
}

TlsSession::Step TlsSession::handshake() {
    ERR_clear_error();
    const int result = SSL_do_handshake(ssl_);
    if (!certificateErrors_.empty()) {
        certificateRefused_ = true;
        failure_ = CertificateRefusedText(host_, certificateErrors_);
        return Step::Failed;
    }
    if (result == 1) return Step::Done;
    const int error = SSL_get_error(ssl_, result);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) return Step::Pending;
    failure_ = QStringLiteral("TLS handshake with %1 failed: %2").arg(host_, lastError(error));
    return Step::Failed;
}

bool TlsSession::decrypt(QByteArray& plain, qint64 limit) {
    while (plain.size() < limit) {
        const qsizetype used = plain.size();
        const qint64 room =
            std::min<qint64>({qMax(socket_->bytesAvailable(), kRecordBytes), limit - used, INT_MAX});
        plain.resize(used + room);
        ERR_clear_error();
        const int got = SSL_read(ssl_, plain.data() + used, static_cast<int>(room));
        if (got > 0) {
            plain.resize(used + got);
            continue;
        }
        plain.resize(used);
        const int error = SSL_get_error(ssl_, got);
        switch (error) {
            case SSL_ERROR_WANT_READ:
            case SSL_ERROR_WANT_WRITE:
            case SSL_ERROR_ZERO_RETURN:  // the server's close alert
                return true;
            case SSL_ERROR_SYSCALL:
            case SSL_ERROR_SSL: {
                // The connection ended before the close alert: the end of the
                // stream, which the download judges by the length it knows.
                const unsigned long code = ERR_peek_error();
                if (code == 0 || (ERR_GET_LIB(code) == ERR_LIB_SSL &&
                                  ERR_GET_REASON(code) == SSL_R_UNEXPECTED_EOF_WHILE_READING)) {
                    ERR_clear_error();
                    endedWithoutCloseAlert_ = true;
                    return true;
                }
                [[fallthrough]];
            }
            default:
                failure_ = QStringLiteral("TLS error with %1: %2").arg(host_, lastError(error));
                return false;
        }
    }
    return true;
}

bool TlsSession::hasPending() const {
    return SSL_pending(ssl_) > 0;
}

bool TlsSession::encrypt(const QByteArray& data) {
    if (data.isEmpty()) return true;
    ERR_clear_error();
    const int written = SSL_write(ssl_, data.constData(), static_cast<int>(data.size()));
    if (written == data.size()) return true;
    failure_ = QStringLiteral("TLS error with %1: %2").arg(host_, lastError(SSL_get_error(ssl_, written)));
    return false;
}

QString TlsSession::lastError(int result) const {
    const unsigned long code = ERR_peek_error();
    if (code != 0) {
        char text[256];
        ERR_error_string_n(code, text, sizeof text);
        return QString::fromLatin1(text);
    }
    if (result == SSL_ERROR_SYSCALL || result == SSL_ERROR_ZERO_RETURN)
        return QStringLiteral("the connection was closed");
    return QStringLiteral("error %1").arg(result);
}
