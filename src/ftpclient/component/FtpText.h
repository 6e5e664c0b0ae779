#pragma once

#include <QByteArray>
#include <QString>

// How bytes of the control connection become text and text becomes bytes.
// Servers send names in any encoding: UTF-8 when the bytes are valid UTF-8,
// otherwise each byte is taken as Latin-1, so nothing is ever lost for display.
namespace FtpText {

QString decode(const QByteArray& bytes);
bool isValidUtf8(const QByteArray& bytes);

// The text for a log line or a message: decoded, line ends removed, and every
// other control character (TAB excepted) dropped, so a server cannot break the
// log's one-line-per-record form.
QString forDisplay(const QByteArray& bytes);

// A command line as it is logged: the argument of PASS and ACCT is replaced by
// "****", whatever the letter case of the verb.
QString forLog(const QByteArray& commandLine);

// True when the bytes hold CR, LF or NUL: sent on the control connection they
// would end the command early and start another one.
bool breaksCommand(const QByteArray& bytes);

}  // namespace FtpText
