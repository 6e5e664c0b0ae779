#pragma once

#include "apps/karvo/KarvoRequest.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// The arguments of the karvo executable: one command (--list, --get, --put,
// --mirror, --mirror-up) with its operands, and the modifiers --active,
// --ascii, --socks4 HOST:PORT and --socks5 [USER:PASS@]HOST:PORT anywhere.
// A usage error prints the reason and the usage text to stderr and ends with 2.
class KarvoCommandLine {
public:
    static constexpr int kUsageError = 2;

    // The arguments after the program name.
    explicit KarvoCommandLine(QStringList arguments) : arguments_(std::move(arguments)) {}

    int run();
    static QString usage();

    // The request the arguments describe; nothing, with the reason in `error`,
    // on a usage error.
    std::optional<KarvoRequest> parse(QString& error) const;

private:
    QStringList arguments_;
};
