#include "apps/lumet/HeadlessDownload.h"

#include "common/CRegister.h"
#include "core/Language.h"
#include "core/UrlParser.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "queue/TerminationSignals.h"
#include "transfer/ReportList.h"
#include "transfer/frmDownload.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

bool HeadlessDownload::parse(const QStringList& arguments) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == QLatin1String("--get") && hasValue) {
            address_ = arguments[++i];
        } else if (option == QLatin1String("--save-to") && hasValue) {
            saveTo_ = arguments[++i];
        } else if (option == QLatin1String("--existing") && hasValue) {
            const QString choice = arguments[++i];
            if (choice == QLatin1String("overwrite"))
                existChoice_ = 0;
            else if (choice == QLatin1String("resume"))
                existChoice_ = -1;
            else if (choice == QLatin1String("skip"))
                existChoice_ = -2;
            else {
                error_ = QStringLiteral("--existing takes overwrite, resume or skip, not \"%1\"").arg(choice);
                return false;
            }
        } else if (option == QLatin1String("--set") && hasValue) {
            const QString assignment = arguments[++i];
            const qsizetype equals = assignment.indexOf(QLatin1Char('='));
            const QString name = equals < 0 ? assignment : assignment.left(equals);
            bool known = false;
            for (const QString& valueName : SettingsValueNames())
                known = known || valueName.compare(name, Qt::CaseInsensitive) == 0;
            if (equals < 0 || !known) {
                error_ = QStringLiteral("--set needs NAME=VALUE with a setting name; \"%1\" is not one")
                             .arg(name);
                return false;
            }
            sets_ << assignment;
        } else {
            error_ = QStringLiteral("unknown or incomplete option \"%1\"").arg(option);
            return false;
        }
    }
    if (address_.isEmpty() || saveTo_.isEmpty()) {
        error_ = QStringLiteral("--get needs an address and --save-to a file");
        return false;
    }
    const QString lower = address_.toLower();
    if (lower.startsWith(QLatin1String("https://"))) {
        error_ = QStringLiteral("secure (https) addresses are not supported");
        return false;
    }
    if (!lower.startsWith(QLatin1String("http://")) && !lower.startsWith(QLatin1String("ftp://"))) {
        error_ = QStringLiteral("the address must begin with http:// or ftp://");
        return false;
    }
    if (ContainsControlCharacters(address_)) {
        error_ = QStringLiteral("the address contains control characters");
        return false;
    }
    return true;
}

int HeadlessDownload::run() {
    for (const QString& assignment : sets_) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        CRegister::SetSessionOverride(HKEY_LOCAL_MACHINE, kLumetKey, assignment.left(equals),
                                      assignment.mid(equals + 1));
    }
    LoadSettings();
    if (LangFile.isEmpty()) LangFile = QStringLiteral("English.ini");
    interactive_ = ::isatty(STDERR_FILENO) == 1;

    const QString target = QFileInfo(saveTo_).absoluteFilePath();
    ExistChoice = FileIsReadable(target) && FileExists(target) ? existChoice_ : 0;

    ReportList lstMain;
    ReportList lstComplete;
    frmDownload window(&lstMain, &lstComplete);
    window.Index = 0;
    ParseUrlInto(address_, window);
    ListRowPtr row = lstMain.Add(1);
    window.ListItem = row;
    row->setSubItem(1, target);
    row->setSubItem(2, QStringLiteral("0%"));
    row->setSubItem(3, QStringLiteral("N/A"));
    row->setSubItem(4, QStringLiteral("N/A"));
    row->setSubItem(5, QStringLiteral("N/A"));
    row->setSubItem(6, address_);
    window.SavePath = target;
    window.txtSaveTo = target;
    window.txtURL = address_;
    window.URL = address_;

    int exitCode = -1;
    const auto end = [&exitCode](int code) {
        if (exitCode >= 0) return;
        exitCode = code;
        // Queued: the outcome may be known before the loop runs.
        QTimer::singleShot(0, qApp, [code] { QCoreApplication::exit(code); });
    };
    connect(&window, &frmDownload::rateTick, this, [this, &window] {
        const int percent = window.ProgressBar1.Value;
        const QString line = QStringLiteral("%1%  %2 of %3  %4  %5 left")
                                 .arg(percent, 3)
                                 .arg(window.lblRecievedSize, window.lblFileSize,
                                      window.lblTransferRate, window.lblTimeRemaining);
        if (interactive_)
            std::fprintf(stderr, "\r\033[K%s", qPrintable(line));
        else
            std::fprintf(stderr, "%s\n", qPrintable(line));
        std::fflush(stderr);
        progressShown_ = true;
    });
    connect(&window, &frmDownload::completed, this, [&] { end(0); });
    connect(&window, &frmDownload::failed, this, [&](const QString& status) {
        if (interactive_ && progressShown_) std::fputc('\n', stderr);
        std::fprintf(stderr, "%s\n", qPrintable(status));
        end(1);
    });
    connect(&window, &frmDownload::unloaded, this, [&] { end(0); });
    connect(&window, &frmDownload::notice, this, [&](const QString& text) {
        if (interactive_ && progressShown_) std::fputc('\n', stderr);
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    // A kill, Ctrl+C or a closed terminal stops the download the way its Stop
    // button does: the journal keeps where every segment stands.
    TerminationSignals termination;
    connect(&termination, &TerminationSignals::received, this, [&](int number) {
        window.StopDown();
        end(128 + number);
    });

    window.StartDownload();
    const int code = QCoreApplication::exec();
    if (interactive_ && progressShown_) std::fputc('\n', stderr);
    return code;
}
