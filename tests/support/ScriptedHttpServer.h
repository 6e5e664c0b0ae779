#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <utility>

class QTcpServer;
class ScriptedHttpConnection;

// An HTTP server on 127.0.0.1 (a free port) that answers each request the way
// the test scripted it, including the ways real servers misbehave: replies cut
// short, replies that stop halfway, replies spread over many reads. It runs on
// the test thread's event loop and never blocks, so the code under test keeps
// running on the same loop. Every request is recorded byte for byte.
//
// A request ends at its first blank line (the client sends no bodies). Answers
// come from the queue first, then from the handler; a request that finds
// neither fails the running test and is answered 500.
class ScriptedHttpServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray raw;  // exactly as received, up to and including the blank line
        QByteArray method;
        QByteArray target;
        QByteArray version;
        QList<std::pair<QByteArray, QByteArray>> headers;  // in order; values trimmed
        int connection = 0;  // 1-based, in the order the connections were accepted
        int order = 0;       // 0-based, in the order the requests arrived on all connections

        // First header of that name, compared case-insensitively; null when absent.
        QByteArray header(QByteArrayView name) const;
        bool hasHeader(QByteArrayView name) const;
    };

    struct Reply {
        QByteArray status = "HTTP/1.1 200 OK";
        QList<QByteArray> headers;  // whole lines without CR LF, e.g. "Content-Length: 5"
        QByteArray body;
        std::optional<QByteArray> raw;  // when set, sent instead of status, headers and body

        // Offsets into the whole reply where a new write begins, once the client
        // has read the piece before (AfterPeerRead.h), so it reads them separately.
        QList<qint64> splitAt;
        // Closes the connection once this many bytes of the whole reply are out.
        std::optional<qint64> closeAfterBytes;
        // Stops sending once this many bytes are out and keeps the connection open
        // (also when that is the whole reply). A close at or before it wins.
        std::optional<qint64> stallAfterBytes;
        // At most this many bytes per 10 ms tick (0: no limit); a tick is skipped
        // while earlier bytes still wait to leave.
        qint64 bytesPerTick = 0;
        // Reads the next request on the same connection afterwards instead of closing.
        bool keepAlive = false;
        // Over TLS: the connection ends without the close alert, as a cut one does.
        bool closeWithoutTlsAlert = false;

        // Status, headers and body as given, with no header added.
        static Reply make(QByteArray status, QList<QByteArray> headers, QByteArray body);
        // The same with a "Content-Length:" line for the body appended to the headers.
        static Reply withLength(QByteArray status, QByteArray body, QList<QByteArray> headers);
        // Any bytes, e.g. a malformed status line.
        static Reply fromRaw(QByteArray bytes);
        // Closes the connection without a byte.
        static Reply hangUp();
        // Keeps the connection open and never answers.
        static Reply silence();
        // A body in chunked transfer coding, with the closing zero-size chunk.
        static QByteArray chunked(const QList<QByteArray>& chunks);

        QByteArray bytes() const;
        qint64 headerSize() const;  // bytes before the body (all of them for a raw reply)
    };

    using Handler = std::function<Reply(const Request&)>;

    explicit ScriptedHttpServer(QObject* parent = nullptr);
    ~ScriptedHttpServer() override;

    quint16 port() const;
    // "http://127.0.0.1:<port>/" + path (path without the leading "/"); https://
    // once the server speaks TLS.
    QString url(const QString& path) const;
    // From now on the server speaks TLS with this certificate and key (PEM files),
    // on a new port. False, with a failure of the running test, when they cannot
    // be read.
    bool useTls(const QString& certificateFile, const QString& keyFile);

    void enqueue(Reply reply);
    void setHandler(Handler handler);

    const QList<Request>& requests() const { return requests_; }
    int queuedReplies() const { return int(queue_.size()); }
    int connectionCount() const { return accepted_; }
    int openConnections() const;

private:
    friend class ScriptedHttpConnection;
    // Records a request that arrived on a connection and picks its reply.
    Reply answer(const QByteArray& raw, int connection);
    void accept();

    void listen(QTcpServer* listener);

    QTcpServer* listener_ = nullptr;
    bool tls_ = false;
    QList<Request> requests_;
    std::deque<Reply> queue_;
    Handler handler_;
    int accepted_ = 0;
};
