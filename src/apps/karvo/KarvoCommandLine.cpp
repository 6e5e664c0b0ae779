#include "apps/karvo/KarvoCommandLine.h"

#include "ftpclient/main/KarvoFirewall.h"
#include "apps/karvo/KarvoHeadless.h"

#include <cstdio>

namespace {

struct CommandShape {
    QLatin1String option;
    KarvoRequest::Command command;
    // Which of the two operands is the address.
    bool addressFirst;
    bool takesLocal;
};

const CommandShape kCommands[] = {
    {QLatin1String("--list"), KarvoRequest::Command::List, true, false},
    {QLatin1String("--get"), KarvoRequest::Command::Get, true, true},
    {QLatin1String("--put"), KarvoRequest::Command::Put, false, true},
    {QLatin1String("--mirror"), KarvoRequest::Command::Mirror, true, true},
    {QLatin1String("--mirror-up"), KarvoRequest::Command::MirrorUp, false, true},
};

}  // namespace

QString KarvoCommandLine::usage() {
    return QStringLiteral(
        "usage: karvo --list URL\n"
        "       karvo --get URL FILE\n"
        "       karvo --put FILE URL\n"
        "       karvo --mirror URL DIR        (a remote folder tree down into DIR)\n"
        "       karvo --mirror-up DIR URL     (a local folder tree up)\n"
        "  URL: ftp://[user:password@]host[:port]/path (anonymous without a user)\n"
        "  options: --active          active mode (PORT) instead of passive\n"
        "           --ascii           ASCII representation (CR LF on the wire, LF on disk)\n"
        "           --socks4 HOST:PORT\n"
        "           --socks5 [USER:PASS@]HOST:PORT\n"
        "           (without these, the firewall settings of the hive)\n"
        "  exit: 0 done, 1 failed (the reason on stderr), 2 usage\n");
}

std::optional<KarvoRequest> KarvoCommandLine::parse(QString& error) const {
    KarvoRequest request;
    const CommandShape* shape = nullptr;
    QStringList operands;
    for (qsizetype i = 0; i < arguments_.size(); ++i) {
        const QString& argument = arguments_[i];
        if (argument == QLatin1String("--active")) {
            request.active = true;
        } else if (argument == QLatin1String("--ascii")) {
            request.ascii = true;
        } else if (argument == QLatin1String("--socks4") || argument == QLatin1String("--socks5")) {
            if (i + 1 >= arguments_.size()) {
                error = argument + QStringLiteral(" needs HOST:PORT");
                return std::nullopt;
            }
            request.proxy = KarvoFirewall::fromOption(argument.endsWith(u'4') ? 4 : 5, arguments_[++i], error);
            if (!request.proxy) return std::nullopt;
        } else if (argument.startsWith(QLatin1String("--"))) {
            const CommandShape* found = nullptr;
            for (const CommandShape& candidate : kCommands) {
                if (argument == candidate.option) found = &candidate;
            }
            if (!found || shape) {
                error = found ? QStringLiteral("only one command at a time")
                              : QStringLiteral("unknown option \"%1\"").arg(argument);
                return std::nullopt;
            }
            shape = found;
        } else {
            operands << argument;
        }
    }
    if (!shape) {
        error = QStringLiteral("no command given");
        return std::nullopt;
    }
    const qsizetype wanted = shape->takesLocal ? 2 : 1;
    if (operands.size() != wanted) {
        error = QStringLiteral("%1 takes %2 operand(s)").arg(shape->option).arg(wanted);
        return std::nullopt;
    }
    request.command = shape->command;
    const QString addressText = shape->addressFirst ? operands.first() : operands.last();
    const std::optional<KarvoAddress> address = KarvoAddress::parse(addressText, error);
    if (!address) return std::nullopt;
    request.address = *address;
    if (shape->takesLocal) request.local = shape->addressFirst ? operands.last() : operands.first();
    return request;
}

int KarvoCommandLine::run() {
    if (arguments_.isEmpty()) {
        std::fputs(qPrintable(usage()), stderr);
        return kUsageError;
    }
    QString error;
    const std::optional<KarvoRequest> request = parse(error);
    if (!request) {
        std::fprintf(stderr, "karvo: %s\n%s", qPrintable(error), qPrintable(usage()));
        return kUsageError;
    }
    return KarvoHeadless(*request).run();
}
