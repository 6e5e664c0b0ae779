#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Why a call of the FTP component failed: a number in the component's own range
// and a description for the user. For a refusal by the server the description is
// the server's reply line ("550 No such file or directory.").
struct FtpError {
    qint32 number = 0;
    QString description;
};

// The outcome of a call: nothing when it succeeded.
using FtpResult = std::optional<FtpError>;

namespace FtpErrors {
// The operation was aborted through the abort flag; callers compare with it.
constexpr qint32 kAborted = static_cast<qint32>(0x8004201Eu);
constexpr qint32 kNotConnected = static_cast<qint32>(0x80042001u);
constexpr qint32 kBusy = static_cast<qint32>(0x80042002u);
constexpr qint32 kCannotConnect = static_cast<qint32>(0x80042003u);
constexpr qint32 kTimedOut = static_cast<qint32>(0x80042004u);
constexpr qint32 kServerRefused = static_cast<qint32>(0x80042005u);
constexpr qint32 kUnsafeArgument = static_cast<qint32>(0x80042006u);
constexpr qint32 kLocalFile = static_cast<qint32>(0x80042007u);
constexpr qint32 kProxyRefused = static_cast<qint32>(0x80042008u);
constexpr qint32 kLoginRefused = static_cast<qint32>(0x80042009u);
constexpr qint32 kConnectionLost = static_cast<qint32>(0x8004200Au);
constexpr qint32 kShortTransfer = static_cast<qint32>(0x8004200Bu);
constexpr qint32 kProtocol = static_cast<qint32>(0x8004200Cu);

inline FtpError make(qint32 number, const QString& description) {
    return FtpError{number, description};
}
}  // namespace FtpErrors
