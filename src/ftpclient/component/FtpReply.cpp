#include "ftpclient/component/FtpReply.h"

#include "ftpclient/component/FtpText.h"

QString FtpReply::lastLine() const {
    QByteArray text = raw;
    while (text.endsWith('\n') || text.endsWith('\r')) text.chop(1);
    const qsizetype lineStart = text.lastIndexOf('\n') + 1;
    return FtpText::forDisplay(text.mid(lineStart));
}
