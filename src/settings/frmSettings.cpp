// The dialog's life: load, the changed flag, save, the buttons and the close question.
#include "settings/frmSettings.h"

#include "common/AppPaths.h"
#include "common/CRegister.h"
#include "common/Dialogs.h"
#include "common/Hive.h"
#include "core/Language.h"
#include "core/modGlobalVariables.h"

namespace {

// The texts the dialog shows only from the language file in the original; they
// ship in English.ini too, so a translation can start from them.
const QList<std::pair<QString, QString>>& messages() {
    static const QList<std::pair<QString, QString>> texts = {
        {QStringLiteral("11017"), QStringLiteral("Please enter the server name.")},
        {QStringLiteral("11018"), QStringLiteral("Please enter the user name.")},
        {QStringLiteral("11019"), QStringLiteral("Please enter the password.")},
        {QStringLiteral("11020"), QStringLiteral("Reset the server ignore list to its defaults?")},
        {QStringLiteral("11021"), QStringLiteral("Your changes to this list will be lost.")},
        {QStringLiteral("11022"), QStringLiteral("Reset To Defaults")},
        {QStringLiteral("11023"), QStringLiteral("Reset the extension list to its defaults?")},
        {QStringLiteral("11029"),
         QStringLiteral("Extensions may not contain these characters: / \\ : * \" < > |")},
    };
    return texts;
}

}  // namespace

QString frmSettings::PageCaption(int page) {
    static const QStringList captions = {
        QStringLiteral("General"),  QStringLiteral("Monitoring"), QStringLiteral("Connection"),
        QStringLiteral("Segments"), QStringLiteral("Save To"),    QStringLiteral("Proxy"),
        QStringLiteral("Logins")};
    return captions.value(page);
}

const QStringList& frmSettings::MessageKeys() {
    static const QStringList keys = [] {
        QStringList list;
        for (const auto& [key, text] : messages()) list << key;
        return list;
    }();
    return keys;
}

QString frmSettings::MessageDefault(const QString& key) {
    for (const auto& [known, text] : messages())
        if (known == key) return text;
    return QString();
}

QString frmSettings::Message(const QString& key) {
    return SetCaptionfromINI(key, MessageDefault(key));
}

void frmSettings::SetSettingsDirty(bool dirty) {
    dirty_ = dirty;
    emit changed();
}

void frmSettings::edited() {
    SetSettingsDirty(true);
}

void frmSettings::Form_Load() {
    lblVersion = QStringLiteral("%1.%2").arg(LUMET_VERSION_MAJOR).arg(LUMET_VERSION_MINOR);
    LoadDialogValues();
    tabMainSettings = General;
    applyDependentStates();
    // An empty list would monitor nothing; the defaults stand in for it.
    if (txtMonitorTypes.Text.isEmpty()) show(txtMonitorTypes, SettingsLists::DefaultMonitorTypes);
    if (txtMonitorServer.Text.isEmpty())
        show(txtMonitorServer, SettingsLists::DefaultMonitorServer);
    SetSettingsDirty(false);
}

void frmSettings::LoadDialogValues() {
    stored_.clear();
    loadGeneral();
    loadMonitoring();
    loadConnection();
    loadSegments();
    loadSaveTo();
    loadProxy();
    loadLogins();
    applyDependentStates();
    dirty_ = false;
    emit changed();
}

bool frmSettings::SaveDialogValues() {
    restoreNotValidNumbers();
    Values values;
    saveGeneral(values);
    saveMonitoring(values);
    saveConnection(values);
    saveSegments(values);
    saveSaveTo(values);
    saveProxy(values);
    if (!CRegister().REGSaveSettings(HKEY_LOCAL_MACHINE, kLumetKey, values))
        return saveFailed(Hive::filePath());
    const QString language = cboLanguage.Text + QStringLiteral(".ini");
    if (!StoreLanguageFile(language)) return saveFailed(Hive::filePath());

    // Written from a copy: until the file is written, the program keeps the lists it has.
    SettingsLists lists = SettingsLists::instance();
    lists.FileTypes = lstFileType;
    lists.Logins = lstLogin;
    if (!lists.SaveToINI()) return saveFailed(AppFilePath(QStringLiteral("Settings.ini")));

    LangFile = language;
    // What is stored now is what a field in error goes back to.
    for (const NumberRule& rule : numbers_) stored_.insert(rule.control, rule.control->Text);
    SetSettingsDirty(false);
    return true;
}

bool frmSettings::saveFailed(const QString& file) {
    Dialogs::show(QStringLiteral("Settings could not be saved to %1.").arg(file),
                  Dialogs::Icon::Critical);
    emit changed();
    return false;
}

void frmSettings::tabMainSettings_Click(int page) {
    if (page < 0 || page >= PageCount) return;
    tabMainSettings = page;
    emit changed();
}

void frmSettings::cmdApply_Click() {
    if (SaveDialogValues()) LoadSettings();
}

void frmSettings::cmdOK_Click() {
    if (!SaveDialogValues()) return;
    LoadSettings();
    emit unloadRequested();
}

void frmSettings::cmdCancel_Click() {
    if (QueryUnload()) emit unloadRequested();
}

void frmSettings::cmdHelp_Click() {
    if (OpenHelp) OpenHelp();
}

bool frmSettings::QueryUnload() {
    if (!dirty_) return true;
    return Dialogs::ask(
        QStringLiteral("settings changed , Are you sure you want to quit with out saving??"),
        Dialogs::Icon::Question);
}
