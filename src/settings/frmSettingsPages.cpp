// Each page's controls filled from the settings in effect, and written back as the
// hive keeps them: check boxes "0"/"1", option buttons "True"/"False", numbers as
// whole numbers in their stored unit, texts as typed.
#include "settings/frmSettings.h"

#include "common/CRegister.h"
#include "core/Language.h"
#include "core/TextConversion.h"
#include "core/modFunctions.h"
#include "core/modGlobalVariables.h"
#include "intake/SaveRules.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double kMegabyte = 1048576;

QString checkText(const BoxControl& box) {
    return box.Value ? QStringLiteral("1") : QStringLiteral("0");
}

QString optionText(const BoxControl& box) {
    return box.Value ? QStringLiteral("True") : QStringLiteral("False");
}

// Chooses the first option whose stored flag is set, or the fallback: a hand edit
// that sets several (or none) shows the one the program follows.
void chooseOne(std::initializer_list<std::pair<BoxControl*, bool>> options, BoxControl* fallback) {
    BoxControl* chosen = nullptr;
    for (const auto& [option, stored] : options) {
        if (stored && !chosen) chosen = option;
        option->Value = false;
    }
    if (fallback) fallback->Value = false;
    if (!chosen) chosen = fallback;
    if (chosen) chosen->Value = true;
}

QString lumetValue(const char* name, const QString& def = QString()) {
    return CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, kLumetKey, QLatin1String(name), def);
}

}  // namespace

void frmSettings::loadGeneral() {
    chooseOne({{&chkDownloadNow, Settings.DownloadNowOption},
               {&chkDownloadLater, Settings.DownloadLaterOption},
               {&chkDownloadPrompt, Settings.DownloadPromptOption}},
              &chkDownloadPrompt);
    showNumber(txtLimitHTTP, lumetValue("LimitHTTP", QStringLiteral("3")), QStringLiteral("3"));
    showNumber(txtLimitFTP, lumetValue("LimitFTP", QStringLiteral("3")), QStringLiteral("3"));
    chkPromptDone.Value = Settings.PromptDone;
    chkCloseWindow.Value = Settings.CloseDownloadWindowWhenDone;
    chkStartWin.Value = Settings.StartupWithWindows;

    // The built-in texts are English, so English can be chosen without a file.
    QString current = LangFile.isEmpty() ? QStringLiteral("English.ini") : LangFile;
    if (current.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive)) current.chop(4);
    cboLanguage.Items = LanguageNames();
    for (const QString& name : {current, QStringLiteral("English")}) {
        if (!cboLanguage.Items.contains(name, Qt::CaseInsensitive)) cboLanguage.Items << name;
    }
    cboLanguage.Text = current;
    for (const QString& item : cboLanguage.Items)
        if (item.compare(current, Qt::CaseInsensitive) == 0) cboLanguage.Text = item;

    // The counters as the download windows last wrote them.
    lblDownloads = QString::number(
        TextToWholeNumber<std::int32_t>(lumetValue("Downloads")).value_or(0));
    lblBytes = FormatSize(TextToNumber(lumetValue("AllBytes")).value_or(0));
}

void frmSettings::saveGeneral(Values& values) const {
    values << std::pair{QStringLiteral("DownloadNowOption"), optionText(chkDownloadNow)}
           << std::pair{QStringLiteral("DownloadLaterOption"), optionText(chkDownloadLater)}
           << std::pair{QStringLiteral("DownloadPromptOption"), optionText(chkDownloadPrompt)}
           << std::pair{QStringLiteral("LimitHTTP"), storedText(*ruleOf(&txtLimitHTTP))}
           << std::pair{QStringLiteral("LimitFTP"), storedText(*ruleOf(&txtLimitFTP))}
           << std::pair{QStringLiteral("PromptDone"), checkText(chkPromptDone)}
           << std::pair{QStringLiteral("CloseDownloadWindowWhenDone"), checkText(chkCloseWindow)}
           << std::pair{QStringLiteral("StartupWithWindows"), checkText(chkStartWin)};
}

void frmSettings::loadMonitoring() {
    chkClipboard.Value = Settings.ClipboardMonitoring;
    show(txtMonitorTypes, lumetValue("MonitorTypes", SettingsLists::MissingMonitorTypes));
    show(txtMonitorServer, lumetValue("MonitorServer", SettingsLists::DefaultMonitorServer));
    txtTestURL.Text.clear();
    chkIE.Value = Settings.ClickCapture;
    // Setting the box on runs its click: opening the dialog repairs a registration
    // that has gone missing, without counting as a change.
    if (chkIE.Value) runIntegrationSwitch(true, false);
}

void frmSettings::saveMonitoring(Values& values) const {
    values << std::pair{QStringLiteral("ClipboardMonitoring"), checkText(chkClipboard)}
           << std::pair{QStringLiteral("ClickCapture"), checkText(chkIE)}
           << std::pair{QStringLiteral("MonitorTypes"), txtMonitorTypes.Text}
           << std::pair{QStringLiteral("MonitorServer"), txtMonitorServer.Text};
}

void frmSettings::loadConnection() {
    showNumber(txtTimeout, QString::number(Settings.Timeout), QStringLiteral("60"));
    chkStopResume.Value = Settings.StopResume;
    showNumber(txtTimeResume, NumberToText(Settings.TimeResume / 60.0), QStringLiteral("5"));
    showNumber(txtTimeNoResume, NumberToText(Settings.TimeNoResume / 60.0), QStringLiteral("10"));
    chkRetry.Value = Settings.Retry;
    // What the program uses, also on a fresh machine where nothing is stored yet.
    showNumber(txtRetryTime, QString::number(Settings.RetryTime), QStringLiteral("300"));
    showNumber(txtRetries, QString::number(Settings.Retries), QStringLiteral("30"));
    showNumber(txtRollback, NumberToText(Settings.Rollback / 1024.0), QStringLiteral("4"));
    chkFtpPASV.Value = Settings.UsePASV;
}

void frmSettings::saveConnection(Values& values) const {
    values << std::pair{QStringLiteral("Timeout"), storedText(*ruleOf(&txtTimeout))}
           << std::pair{QStringLiteral("StopResume"), checkText(chkStopResume)}
           << std::pair{QStringLiteral("TimeResume"), storedText(*ruleOf(&txtTimeResume))}
           << std::pair{QStringLiteral("TimeNoResume"), storedText(*ruleOf(&txtTimeNoResume))}
           << std::pair{QStringLiteral("Retry"), checkText(chkRetry)}
           << std::pair{QStringLiteral("RetryTime"), storedText(*ruleOf(&txtRetryTime))}
           << std::pair{QStringLiteral("Retries"), storedText(*ruleOf(&txtRetries))}
           << std::pair{QStringLiteral("Rollback"), storedText(*ruleOf(&txtRollback))}
           << std::pair{QStringLiteral("UsePASV"), checkText(chkFtpPASV)};
}

void frmSettings::loadSegments() {
    chkSegment.Value = Settings.Segment == 1;
    const double sizes[] = {Settings.SegmentSize1, Settings.SegmentSize2, Settings.SegmentSize3,
                            Settings.SegmentSize4, Settings.SegmentSize5, Settings.SegmentSize6,
                            Settings.SegmentSize7, Settings.SegmentSize8, Settings.SegmentSize9};
    static const char* const defaults[] = {"2", "5", "5", "10", "10", "15", "15", "20", "20"};
    // Whole megabytes: the byte the loader adds to the odd thresholds does not show.
    for (std::size_t i = 0; i < txtSegment.size(); ++i)
        showNumber(txtSegment[i], NumberToText(std::nearbyint(sizes[i] / kMegabyte)),
                   QLatin1String(defaults[i]));
}

void frmSettings::saveSegments(Values& values) const {
    values << std::pair{QStringLiteral("Segment"), checkText(chkSegment)};
    for (std::size_t i = 0; i < txtSegment.size(); ++i)
        values << std::pair{QStringLiteral("SegmentSize%1").arg(i + 1),
                            storedText(*ruleOf(&txtSegment[i]))};
}

void frmSettings::loadSaveTo() {
    chooseOne({{&optSameDir, Settings.SaveSameDir},
               {&optFileType, Settings.SaveFileType},
               {&optFileInfo, Settings.SaveFileInfo}},
              &optLastDir);
    show(txtSameDir, Settings.TextSameDir);
    // The folder the last-folder mode really uses.
    lblLastDir = LastFolder();
    lstFileType = SettingsLists::instance().FileTypes;
    lstFileTypeIndex = -1;
    txtFileType.Text.clear();
    txtFileTypeDir.Text.clear();
    show(txtParentDir, Settings.ParentDir);
    // In the order the save rule asks them.
    chooseOne({{&optServer, Settings.UseServer},
               {&optDate, Settings.UseDate},
               {&optFileExt, Settings.UseFileExt}},
              nullptr);
}

void frmSettings::saveSaveTo(Values& values) const {
    values << std::pair{QStringLiteral("SaveSameDir"), optionText(optSameDir)}
           << std::pair{QStringLiteral("SaveFileType"), optionText(optFileType)}
           << std::pair{QStringLiteral("SaveFileInfo"), optionText(optFileInfo)}
           << std::pair{QStringLiteral("TextSameDir"), txtSameDir.Text}
           << std::pair{QStringLiteral("SaveLastDir"), lblLastDir}
           << std::pair{QStringLiteral("ParentDir"), txtParentDir.Text}
           << std::pair{QStringLiteral("UseFileExt"), optionText(optFileExt)}
           << std::pair{QStringLiteral("UseDate"), optionText(optDate)}
           << std::pair{QStringLiteral("UseServer"), optionText(optServer)};
}

void frmSettings::loadProxy() {
    chkUseProxy.Value = Settings.UseProxy;
    show(txtProxyServer, Settings.ProxyServer);
    showNumber(txtProxyPort, QString::number(Settings.ProxyPort), QStringLiteral("80"));
    chkFTPProxy.Value = Settings.UseFTPProxy;
    chkLogProx.Value = Settings.LoginProxy;
    show(txtUserID, Settings.UserID);
    show(txtPass, Settings.UserPass);
    chkPass.Value = Settings.UsePass;
}

void frmSettings::saveProxy(Values& values) const {
    values << std::pair{QStringLiteral("UseProxy"), checkText(chkUseProxy)}
           << std::pair{QStringLiteral("ProxyServer"), txtProxyServer.Text}
           << std::pair{QStringLiteral("ProxyPort"), storedText(*ruleOf(&txtProxyPort))}
           << std::pair{QStringLiteral("UseFTPProxy"), checkText(chkFTPProxy)}
           << std::pair{QStringLiteral("LoginProxy"), checkText(chkLogProx)}
           << std::pair{QStringLiteral("UserID"), txtUserID.Text}
           << std::pair{QStringLiteral("UserPass"), txtPass.Text}
           << std::pair{QStringLiteral("UsePass"), checkText(chkPass)};
}

void frmSettings::loadLogins() {
    lstLogin = SettingsLists::instance().Logins;
    lstLoginIndex = -1;
    loginSortColumn_ = -1;
    loginSortDescending_ = false;
    for (TextControl* field : {&txtLoginServer, &txtLoginUsername, &txtLoginPassword})
        field->Text.clear();
    // The box keeps nothing of its own; it shows whether logins are kept.
    chkLoginReq.Value = !lstLogin.empty();
}
