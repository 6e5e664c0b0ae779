#include "apps/lumet/HeadlessDownload.h"

#include "apps/lumet/ConsoleStatus.h"
#include "apps/lumet/DownloadReport.h"
#include "apps/lumet/HeadlessDialogs.h"
#include "common/CRegister.h"
#include "common/TerminationSignals.h"
#include "core/Language.h"
#include "core/UrlParser.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "transfer/ReportList.h"
#include "transfer/TlsContext.h"
#include "transfer/frmDownload.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

bool HeadlessDownload::IsOption(const QString& text) {
    for (const char* option : {"--get", "--save-to", "--existing", "--set", "--cacert"})
        if (text == QLatin1String(option)) return true;
    return false;
}

bool HeadlessDownload::parse(const QStringList& arguments) {
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (!IsOption(option)) {
            error_ = QStringLiteral("unknown option \"%1\"").arg(option);
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error_ = QStringLiteral("%1 needs a value").arg(option);
            return false;
        }
        if (!takeOption(option, arguments[++i])) return false;
    }
    if (address_.isEmpty() || saveTo_.isEmpty()) {
        error_ = QStringLiteral("--get needs an address and --save-to a file");
        return false;
    }
    if (DownloadSchemeLength(address_) == 0) {
        error_ = QStringLiteral("the address must begin with http://, https:// or ftp://");
        return false;
    }
    if (ContainsControlCharacters(address_)) {
        error_ = QStringLiteral("the address contains control characters");
        return false;
    }
    return true;
}

bool HeadlessDownload::takeOption(const QString& option, const QString& value) {
    if (option == QLatin1String("--get")) {
        address_ = value;
    } else if (option == QLatin1String("--save-to")) {
        saveTo_ = value;
    } else if (option == QLatin1String("--existing")) {
        if (value == QLatin1String("overwrite"))
            existChoice_ = 0;
        else if (value == QLatin1String("resume"))
            existChoice_ = -1;
        else if (value == QLatin1String("skip"))
            existChoice_ = -2;
        else {
            error_ = QStringLiteral("--existing takes overwrite, resume or skip, not \"%1\"").arg(value);
            return false;
        }
    } else if (option == QLatin1String("--cacert")) {
        // Read now, so that a wrong name is a usage error and not a failed download.
        caFile_ = QFileInfo(value).absoluteFilePath();
        if (!TlsContext::Create(caFile_, &error_)) {
            fileError_ = true;
            return false;
        }
        sets_ << QStringLiteral("CAFile=") + caFile_;
    } else if (option == QLatin1String("--set")) {
        const qsizetype equals = value.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? value : value.left(equals);
        bool known = false;
        for (const QString& valueName : SettingsValueNames())
            known = known || valueName.compare(name, Qt::CaseInsensitive) == 0;
        if (equals < 0 || !known) {
            error_ = QStringLiteral("--set needs NAME=VALUE with a setting name; \"%1\" is not one").arg(name);
            return false;
        }
        sets_ << value;
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
    ConsoleStatus console(stderr);
    HeadlessDialogs dialogs(console);
    Dialogs::setInstance(&dialogs);

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

    // The final line is printed once the loop has ended, after any message the
    // window showed on its way out.
    int exitCode = -1;
    QString finalLine;
    const auto end = [&](int code, const QString& line) {
        if (exitCode >= 0) return;
        exitCode = code;
        finalLine = line;
        // Queued: the outcome may be known before the loop runs.
        QTimer::singleShot(0, qApp, [code] { QCoreApplication::exit(code); });
    };
    connect(&window, &frmDownload::rateTick, this,
            [&] { console.progress(DownloadReport::ProgressLine(window)); });
    // Once the transfer has ended the progress line goes, before any message of the
    // window (console dialogs) is printed.
    connect(&window, &frmDownload::changed, this, [&] {
        if (window.outcome() != frmDownload::Outcome::Running) console.clearProgress();
    });
    connect(&window, &frmDownload::completed, this, [&] {
        end(0, DownloadReport::Saved(target, QFileInfo(target).size()));
    });
    connect(&window, &frmDownload::failed, this,
            [&](const QString& status) { end(1, DownloadReport::Failed(status)); });
    // Unloaded without completing: the existing file was to be skipped.
    connect(&window, &frmDownload::unloaded, this, [&] { end(0, DownloadReport::Skipped(target)); });
    // A kill, Ctrl+C or a closed terminal stops the download the way its Stop
    // button does: the journal keeps where every segment stands.
    TerminationSignals terminations;
    connect(&terminations, &TerminationSignals::received, this, [&](int signalNumber) {
        if (exitCode >= 0) return;
        window.StopDown();
        end(128 + signalNumber, DownloadReport::Interrupted(window, address_, target));
    });
    // What the window tells on its way (a journal that could not be used) stands
    // on a line of its own, above the progress line.
    connect(&window, &frmDownload::notice, this, [&](const QString& text) { console.line(text); });

    window.StartDownload();
    const int code = QCoreApplication::exec();
    console.line(finalLine);
    Dialogs::setInstance(nullptr);
    return code;
}
