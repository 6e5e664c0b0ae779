#pragma once

#include "ftpclient/component/FtpProxy.h"

#include <QString>
#include <optional>

// The SOCKS proxy ("firewall") settings of Karvo.
namespace KarvoFirewall {

// From the hive, under Software\VornelKarvo\FTP4.0: "Firewall Use" 1 turns it
// on; "Firewall Type" "SOCKS 4" is SOCKS 4, anything else SOCKS 5. An unset
// type or port reads as the options dialog shows them ("SOCKS 4", 1080); a port
// outside 1-65535 becomes 1080, with a note for the user in `note`.
FtpProxy fromHive(QString& note);

// "--socks4 HOST:PORT" / "--socks5 [USER:PASS@]HOST:PORT".
std::optional<FtpProxy> fromOption(int type, const QString& text, QString& error);

}  // namespace KarvoFirewall
