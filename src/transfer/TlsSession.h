#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class QTcpSocket;
class TlsContext;
typedef struct ssl_st SSL;

// One TLS client connection over a connected QTcpSocket. First the handshake,
// which ends only when the server's certificate passed the check for the host name
// (every reason it failed for is collected, not only the first); then what arrives
// is decrypted into plain bytes and what is sent is encrypted.
//
// The encrypted bytes stay in the socket's own buffers: OpenSSL reads and writes
// them through a small BIO over the socket, and decrypts straight into the buffer
// it is handed, so a byte is copied once on its way from the socket's buffer to
// the caller.
class TlsSession {
public:
    enum class Step { Pending, Done, Failed };

    // The socket must outlive the session; host names the server (a name or an
    // address) for the certificate check and, for a name, the server name sent.
    TlsSession(const TlsContext& context, QTcpSocket* socket, const QString& host);
    ~TlsSession();
    TlsSession(const TlsSession&) = delete;
    TlsSession& operator=(const TlsSession&) = delete;

    // Drives the handshake with what has arrived (call again when more has).
    Step handshake();
    // Appends to plain the bytes that the arrived records hold, until plain holds
    // `limit` bytes; the rest stays in the socket's buffer (and the session's
    // record) for the next call. False on a TLS error (failure() says which). A
    // closed connection is no error: what it brought is there, and nothing more
    // comes.
    bool decrypt(QByteArray& plain, qint64 limit);
    // Decrypted bytes of a record that the last decrypt left for the next one.
    bool hasPending() const;
    // The connection ended without the server's close alert: whether what came
    // is all there is, only a known length can tell.
    bool endedWithoutCloseAlert() const { return endedWithoutCloseAlert_; }
    // Queues data, encrypted, on the socket.
    bool encrypt(const QByteArray& data);

    const QString& failure() const { return failure_; }
    // The handshake failed because the certificate was refused (not for another reason).
    bool certificateRefused() const { return certificateRefused_; }

private:
    static int verifyCallback(int preverifyOk, struct x509_store_ctx_st* store);
    // The reason of a failed call from OpenSSL's error queue, in its words.
    QString lastError(int result) const;

    SSL* ssl_ = nullptr;
    QTcpSocket* socket_;
    QString host_;
    std::vector<int> certificateErrors_;
    bool certificateRefused_ = false;
    bool endedWithoutCloseAlert_ = false;
    QString failure_;
};
