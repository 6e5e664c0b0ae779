#include "ftpclient/commands/FtpCommands.h"

#include "common/Dialogs.h"
#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/transfers/KarvoWindow.h"
#include "ftpclient/transfers/ManualTransfer.h"

#include <QStringList>

namespace {

bool changesFolder(const QString& line) {
    const QString verb = line.section(u' ', 0, 0, QString::SectionSkipEmpty).toUpper();
    return verb == QLatin1String("CWD") || verb == QLatin1String("CDUP") ||
           verb == QLatin1String("XCWD") || verb == QLatin1String("XCUP");
}

}  // namespace

FtpCommands::FtpCommands(KarvoWindow& window) : window_(window) {}

void FtpCommands::send(const QString& line, const QString& errorPrefix) {
    if (FtpResult error = window_.xFtp().sendCommand(line)) {
        window_.DisplayMessage(errorPrefix + error->description);
        return;
    }
    if (changesFolder(line)) window_.refreshRemoteList();
}

void FtpCommands::SendCustomCommand(const QString& text) {
    if (text.isEmpty()) return;
    send(text, QStringLiteral("Error no") + u' ');
}

void FtpCommands::CloseCustomCommand() {
    window_.setMovieVariable(QStringLiteral("_root.CustomCommand"), QStringLiteral("2"));
}

QString FtpCommands::askArgument(const QString& prompt) {
    const QString answer =
        Dialogs::instance()
            .inputBox(prompt, QStringLiteral("Remote Server Custom Command"), QString())
            .value_or(QString());
    if (answer.isEmpty())
        Dialogs::show(QStringLiteral("No command entered, quiting"), Dialogs::Icon::Information);
    return answer;
}

void FtpCommands::MenuCommand(const QString& entry) {
    static const QStringList words = {QStringLiteral("HELP"), QStringLiteral("PWD"),
                                      QStringLiteral("SYST"), QStringLiteral("LIST"),
                                      QStringLiteral("NLST")};
    if (words.contains(entry)) {
        send(entry, QStringLiteral("Error "));
    } else if (entry == QLatin1String("CWD")) {
        const QString folder = askArgument(QStringLiteral("Please enter the remote folder name"));
        if (!folder.isEmpty()) send(QStringLiteral("CWD ") + folder, QStringLiteral("Error: "));
    } else if (entry == QLatin1String("QUOTE")) {
        const QString command = askArgument(QStringLiteral("Please enter command for remote site"));
        if (!command.isEmpty()) send(QStringLiteral("QUOTE ") + command, QStringLiteral("Error "));
    } else if (entry == QLatin1String("RETR")) {
        ManualTransfer(window_).Receive();
    } else if (entry == QLatin1String("STOR")) {
        ManualTransfer(window_).Send();
    }
}

void FtpCommands::Chmod(const QString& txtNumericValue) {
    const QList<KarvoListItem> selection = window_.remoteSelection();
    if (selection.isEmpty()) return;
    for (const KarvoListItem& item : selection) {
        if (FtpResult error = window_.xFtp().sendCommand(QStringLiteral("SITE CHMOD ") +
                                                         txtNumericValue + u' ' + item.name)) {
            window_.DisplayMessage(QStringLiteral("Error ") + error->description);
            break;
        }
    }
    window_.refreshRemoteList();
}
