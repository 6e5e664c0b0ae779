#include "browserhelper/NativeRequest.h"

#include "core/modFunctions.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>

namespace {

// Window ids are whole numbers; a double beyond 2^53 is no longer exact.
std::optional<qint64> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number ||
        std::fabs(number) > 9007199254740992.0)
        return std::nullopt;
    return static_cast<qint64>(number);
}

NativeRequest::Type typeOf(const QString& text) {
    if (text == QLatin1String("attach")) return NativeRequest::Type::Attach;
    if (text == QLatin1String("detach")) return NativeRequest::Type::Detach;
    if (text == QLatin1String("navigate")) return NativeRequest::Type::Navigate;
    return NativeRequest::Type::Unknown;
}

}  // namespace

NativeRequest NativeRequest::Parse(const QByteArray& json) {
    NativeRequest request;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        request.error = QStringLiteral("not a JSON object");
        return request;
    }
    const QJsonObject object = document.object();
    const QJsonValue id = object.value(QLatin1String("id"));
    if (id.isString() || wholeNumber(id)) request.id = id;

    const QJsonValue type = object.value(QLatin1String("type"));
    if (!type.isString()) {
        request.error = QStringLiteral("no \"type\"");
        return request;
    }
    request.type = typeOf(type.toString());
    if (request.type == Type::Unknown) return request;

    request.window = wholeNumber(object.value(QLatin1String("window")));
    if (!request.window) {
        request.error = QStringLiteral("no whole-number \"window\"");
        return request;
    }
    if (request.type != Type::Navigate) return request;

    const QJsonValue url = object.value(QLatin1String("url"));
    if (!url.isString() || url.toString().isEmpty()) {
        request.error = QStringLiteral("no \"url\"");
        return request;
    }
    request.url = url.toString();
    // The hand-over ends at a NUL: Lumet would take another address than the browser's.
    if (ContainsControlCharacters(request.url)) {
        request.error = QStringLiteral("the address contains control characters");
        return request;
    }
    const QJsonValue method = object.value(QLatin1String("method"));
    if (method.isString()) {
        request.method = method.toString();
    } else if (!method.isUndefined()) {
        request.error = QStringLiteral("\"method\" is not a text");
        return request;
    }
    request.kind = object.value(QLatin1String("kind")).toString();
    return request;
}

QByteArray NativeAnswer(const QJsonValue& id, bool cancel) {
    QJsonObject answer;
    if (!id.isUndefined()) answer.insert(QLatin1String("id"), id);
    answer.insert(QLatin1String("cancel"), cancel);
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}
