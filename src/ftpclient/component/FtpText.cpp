#include "ftpclient/component/FtpText.h"

#include <QStringDecoder>

namespace FtpText {

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return decoder.hasError() ? QString::fromLatin1(bytes) : text;
}

QString forDisplay(const QByteArray& bytes) {
    QString text = decode(bytes);
    text.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != '\t') || u == 0x7f;
    });
    return text;
}

QString forLog(const QByteArray& commandLine) {
    QByteArray line = commandLine;
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    const QByteArray verb = line.left(line.indexOf(' ')).toUpper();
    if (verb == "PASS" || verb == "ACCT") return QString::fromLatin1(verb) + QStringLiteral(" ****");
    return forDisplay(line);
}

bool breaksCommand(const QByteArray& bytes) {
    return bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0');
}

}  // namespace FtpText
