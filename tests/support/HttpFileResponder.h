#pragma once

#include "support/ScriptedHttpServer.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <optional>

// A handler for ScriptedHttpServer that serves one byte array as a file the way
// a plain web server does: 200 with the whole file without "Range:", 206 with
// "Content-Range:" for "bytes=a-b", "bytes=a-" and "bytes=-n", 416 with
// "Content-Range: bytes */N" when the range starts past the end. Every reply
// ends with the server closing the connection. Copies share their state.
//
//   server.setHandler(HttpFileResponder(data, {.bytesPerTick = 4096}));
class HttpFileResponder {
public:
    struct Options {
        // Every request gets 200 and the whole file, as from a server without ranges.
        bool ignoreRanges = false;
        // A "Range:" that cannot be parsed ("bytes=-") or is empty ("bytes=5-4") is
        // answered 416, as nginx does; by default it is ignored (200, whole file).
        bool rejectBadRanges = false;
        // Pacing of every reply, bytes per 10 ms tick (0: as fast as possible).
        qint64 bytesPerTick = 0;
        // The first request that matches is cut: the server closes that connection
        // after `closeAfterBodyBytes` bytes of the body.
        std::function<bool(const ScriptedHttpServer::Request&)> closeEarlyWhen = {};
        qint64 closeAfterBodyBytes = 0;
        // Extra header lines for 200 and 206 replies, e.g. "Content-Type: text/plain".
        QList<QByteArray> extraHeaders = {};
    };

    // What a "Range:" value asks of a file of `size` bytes.
    struct Range {
        enum class Kind { Whole, Part, Unsatisfiable, Malformed };
        Kind kind = Kind::Whole;
        qint64 first = 0;
        qint64 last = -1;
    };

    explicit HttpFileResponder(QByteArray content) : HttpFileResponder(std::move(content), {}) {}
    HttpFileResponder(QByteArray content, Options options);

    ScriptedHttpServer::Reply operator()(const ScriptedHttpServer::Request& request);

    // `value` is the header value, null when the request has no "Range:".
    static Range parseRange(const QByteArray& value, qint64 size);

private:
    struct State {
        QByteArray content;
        Options options;
        bool cutDone = false;
    };
    std::shared_ptr<State> state_;
};
