#pragma once

#include "apps/karvo/KarvoAddress.h"
#include "ftpclient/component/FtpProxy.h"

#include <QString>
#include <optional>

// One headless command of karvo, as the command line asked for it.
struct KarvoRequest {
    enum class Command { List, Get, Put, Mirror, MirrorUp };

    Command command = Command::List;
    KarvoAddress address;
    // The local file or folder.
    QString local;
    bool active = false;
    bool ascii = false;
    // From --socks4/--socks5; nothing: the hive's firewall settings.
    std::optional<FtpProxy> proxy;
};
