#include "ftpclient/options/frmOptions.h"

#include "common/Autostart.h"
#include "common/Dialogs.h"
#include "ftpclient/transfers/KarvoRegistry.h"
#include "ftpclient/transfers/TransferMode.h"

#include <QCoreApplication>
#include <QLocale>

const QString frmOptions::kStartupEntry = QStringLiteral("KarvoRun");

namespace {

QString get(const char* name, const char* def) {
    return KarvoRegistry::get(QString::fromLatin1(name), QString::fromLatin1(def));
}

void save(const char* name, const QString& value) {
    KarvoRegistry::save(QString::fromLatin1(name), value);
}

QString checkbox(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString option(bool on) {
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

// Digits with the grouping of the user's locale: "1,000".
QString grouped(const QString& digits) {
    bool ok = false;
    const qlonglong number = digits.toLongLong(&ok);
    return ok ? QLocale().toString(number) : digits;
}

std::optional<int> portNumber(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    if (!ok || port < 1 || port > 65535) return std::nullopt;
    return port;
}

}  // namespace

frmOptions::frmOptions(TransferMode* mode, QObject* parent) : QObject(parent), mode_(mode) {}

QString frmOptions::digitsOnly(const QString& text) {
    QString digits;
    for (const QChar c : text.trimmed()) {
        if (c.isDigit()) digits += c;
        else if (c != QLocale().groupSeparator().front() && c != u',' && c != u'.' && c != u' ' &&
                 c != QChar(0x00A0) && c != QChar(0x202F))
            return QString();
    }
    return digits;
}

QString frmOptions::storedLogFileSize() {
    const QString digits = digitsOnly(get("LOG FILE SIZE", "1000"));
    return digits.isEmpty() ? QStringLiteral("1000") : digits;
}

void frmOptions::Form_Load() {
    cmboLanguage = LanguageList::read(LanguageList::folder());
    cmboLanguageIndex = LanguageList::indexOf(cmboLanguage, get("Language", "English.ini"));

    chkFirewall = KarvoRegistry::getBool(QStringLiteral("Firewall Use"), false);
    txtFirewallHostName = get("Firewall Host Name", "");
    txtFirewallPort = get("Firewall Proxy Port", "1080");
    txtFirewallUserName = get("Firewall User Name", "");
    txtFirewallPassword = get("Firewall Password", "");
    comboFirewallType = get("Firewall Type", "SOCKS 4");
    if (comboFirewallType != QLatin1String("SOCKS 5")) comboFirewallType = QStringLiteral("SOCKS 4");

    chkAddToStartup = KarvoRegistry::getBool(QStringLiteral("ADD TO STARTUP"), false);
    txtLogFilename = get("LOG FILE NAME", "FTP.LOG");
    optDeleteLogOnStartup = KarvoRegistry::getBool(QStringLiteral("DELETE LOG ON STARTUP"), true);
    optDeleteLogIfSizeExceeds =
        !optDeleteLogOnStartup &&
        KarvoRegistry::getBool(QStringLiteral("DELETE LOG IF SIZE EXCEEDS"), false);
    txtLogFileSize = grouped(storedLogFileSize());

    lstExtFiles = get("Auto Mode Types", "txt;htm;html;php;cgi;asp;ini;inf;log").split(u';');
    if (mode_) mode_->setAsciiExtensions(lstExtFiles);
    changed_ = false;
    emit stateChanged();
}

bool frmOptions::Save() {
    if (chkFirewall && !portNumber(txtFirewallPort)) {
        Dialogs::show(QStringLiteral("The firewall port must be a number from 1 to 65535."),
                      Dialogs::Icon::Exclamation);
        return false;
    }
    QStringList extensions;
    for (const QString& row : lstExtFiles)
        if (!row.trimmed().isEmpty()) extensions << row;
    const QString size = digitsOnly(txtLogFileSize);

    save("ADD TO STARTUP", checkbox(chkAddToStartup));
    save("LOG FILE NAME", txtLogFilename);
    save("DELETE LOG ON STARTUP", option(optDeleteLogOnStartup));
    save("DELETE LOG IF SIZE EXCEEDS", option(optDeleteLogIfSizeExceeds));
    save("LOG FILE SIZE", size.isEmpty() ? storedLogFileSize() : size);
    save("Auto Mode Types", extensions.join(u';'));
    if (cmboLanguageIndex >= 0 && cmboLanguageIndex < cmboLanguage.size())
        save("Language", cmboLanguage[cmboLanguageIndex].name + QStringLiteral(".ini"));
    if (mode_) mode_->setAsciiExtensions(extensions);
    lstExtFiles = extensions;

    const bool entryDone = chkAddToStartup
                               ? Autostart::Add(kStartupEntry, QCoreApplication::applicationFilePath())
                               : Autostart::Remove(kStartupEntry);
    if (!entryDone)
        Dialogs::show(QStringLiteral("The start-up entry %1 could not be changed.")
                          .arg(Autostart::EntryPath(kStartupEntry)),
                      Dialogs::Icon::Exclamation);

    save("Firewall Host Name", txtFirewallHostName);
    save("Firewall Proxy Port", txtFirewallPort.trimmed());
    save("Firewall Use", checkbox(chkFirewall));
    save("Firewall User Name", txtFirewallUserName);
    save("Firewall Password", txtFirewallPassword);
    save("Firewall Type", comboFirewallType);
    changed_ = false;
    emit stateChanged();
    return true;
}

bool frmOptions::QueryUnload() {
    if (!changed_) return true;
    return Dialogs::instance().message(QStringLiteral("Do you want quit??"), Dialogs::Buttons::YesNo,
                                       Dialogs::Icon::Critical,
                                       QString()) == Dialogs::Answer::Yes;
}

void frmOptions::markChanged() {
    changed_ = true;
    emit stateChanged();
}

template <typename T>
void frmOptions::edit(T& field, const T& value) {
    field = value;
    markChanged();
}

void frmOptions::setLanguage(int index) { edit(cmboLanguageIndex, index); }
void frmOptions::setAddToStartup(bool on) { edit(chkAddToStartup, on); }
void frmOptions::setLogFilename(const QString& text) { edit(txtLogFilename, text); }
void frmOptions::setFirewall(bool on) { edit(chkFirewall, on); }
void frmOptions::setFirewallType(const QString& text) { edit(comboFirewallType, text); }
void frmOptions::setFirewallHostName(const QString& text) { edit(txtFirewallHostName, text); }
void frmOptions::setFirewallPort(const QString& text) { edit(txtFirewallPort, text); }
void frmOptions::setFirewallUserName(const QString& text) { edit(txtFirewallUserName, text); }
void frmOptions::setFirewallPassword(const QString& text) { edit(txtFirewallPassword, text); }

void frmOptions::setDeleteLogOnStartup() {
    optDeleteLogOnStartup = true;
    optDeleteLogIfSizeExceeds = false;
    markChanged();
}

void frmOptions::setDeleteLogIfSizeExceeds() {
    optDeleteLogOnStartup = false;
    optDeleteLogIfSizeExceeds = true;
    markChanged();
}

void frmOptions::setLogFileSize(const QString& text) {
    if (!text.isEmpty() && digitsOnly(text).isEmpty()) {
        edit(txtLogFileSize, grouped(storedLogFileSize()));
        return;
    }
    edit(txtLogFileSize, text);
}

int frmOptions::lstExtFiles_Add() {
    lstExtFiles.append(QString());
    markChanged();
    return int(lstExtFiles.size() - 1);
}

void frmOptions::lstExtFiles_Remove(int row) {
    if (row < 0 || row >= lstExtFiles.size()) return;
    lstExtFiles.removeAt(row);
    markChanged();
}

bool frmOptions::lstExtFiles_AfterLabelEdit(int row, const QString& text) {
    if (row < 0 || row >= lstExtFiles.size()) return false;
    if (text.isEmpty() || text == QLatin1String(" ")) {
        Dialogs::show(QStringLiteral("Please enter extention"), Dialogs::Icon::None);
        return false;
    }
    edit(lstExtFiles[row], text);
    return true;
}
