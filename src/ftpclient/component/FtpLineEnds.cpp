#include "ftpclient/component/FtpLineEnds.h"

QByteArray FtpLineEnds::convert(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size() + (direction_ == Direction::ToNetwork ? bytes.size() / 16 + 2 : 1));
    if (direction_ == Direction::ToLocal) {
        for (const char c : bytes) {
            if (heldCr_) {
                heldCr_ = false;
                if (c != '\n') out += '\r';
            }
            if (c == '\r')
                heldCr_ = true;
            else
                out += c;
        }
        return out;
    }
    for (const char c : bytes) {
        if (c == '\n' && !lastWasCr_) out += '\r';
        out += c;
        lastWasCr_ = c == '\r';
    }
    return out;
}

QByteArray FtpLineEnds::finish() {
    if (direction_ == Direction::ToLocal && heldCr_) {
        heldCr_ = false;
        return QByteArray(1, '\r');
    }
    return {};
}
