#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <optional>

// One message of the browser extension to its native host, read from JSON:
//   {"type":"attach","window":W}                      a browser window opened
//   {"type":"detach","window":W}                      it closed
//   {"type":"navigate","window":W,"url":U,"method":"GET","kind":"main"}
// Every message may carry an "id" (a number or a text), which the answer repeats;
// "method" is "GET" when not given, "kind" (main, sub, download, click) is only
// logged. A message that is not a JSON object, lacks a field its type needs, or
// gives a field of the wrong kind has an error and is not acted on.
struct NativeRequest {
    enum class Type { Attach, Detach, Navigate, Unknown };

    Type type = Type::Unknown;
    QJsonValue id = QJsonValue::Undefined;
    std::optional<qint64> window;
    QString url;
    QString method = QStringLiteral("GET");
    QString kind;
    QString error;  // empty when the message can be acted on

    static NativeRequest Parse(const QByteArray& json);
};

// The host's answer to every message: {"id":N,"cancel":false}, without "id" when
// the message had none.
QByteArray NativeAnswer(const QJsonValue& id, bool cancel);
