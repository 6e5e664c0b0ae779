// The lists of the dialog: the monitor lists with their reset and test buttons, the
// per-server logins, the file-type rules, the folder fields and the language.
#include "settings/frmSettings.h"

#include "common/Dialogs.h"
#include "core/Language.h"
#include "core/MonitorLists.h"
#include "core/UrlParser.h"
#include "core/modFunctions.h"

#include <algorithm>

namespace {

QString trueFalse(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// Settings.ini keeps one text per line: a line break in a login or a rule would
// shift every line after it, and a control character can turn into one when the
// password is scrambled.
bool refuseControlCharacters(std::initializer_list<QString> texts) {
    for (const QString& text : texts) {
        if (!ContainsControlCharacters(text)) continue;
        Dialogs::show(QStringLiteral("Line breaks and other control characters cannot be kept "
                                     "in a login or a file-type rule."),
                      Dialogs::Icon::Exclamation);
        return true;
    }
    return false;
}

}  // namespace

void frmSettings::cmdMonitorServerReset_Click() {
    if (!Dialogs::ask(Message(QStringLiteral("11020")) + u'\n' + Message(QStringLiteral("11021")),
                      Dialogs::Icon::Question, Message(QStringLiteral("11022"))))
        return;
    txtMonitorServer.Text = SettingsLists::DefaultMonitorServer;
    edited();
}

void frmSettings::cmdMonitorTypesReset_Click() {
    if (!Dialogs::ask(Message(QStringLiteral("11023")) + u'\n' + Message(QStringLiteral("11021")),
                      Dialogs::Icon::Question, Message(QStringLiteral("11022"))))
        return;
    txtMonitorTypes.Text = SettingsLists::DefaultMonitorTypes;
    edited();
}

void frmSettings::cmdTest_Click() {
    // The lists as they stand in the dialog, saved or not, judged as the add-address
    // flow and the browser capture judge them.
    const QString address = txtTestURL.Text;
    const bool server = ServerListMatches(txtMonitorServer.Text, GetServerName(address));
    const bool extension =
        ExtListMatches(txtMonitorTypes.Text, u'.' + FileExtension(GetFileName(address)));
    const QString text =
        SetCaptionfromINI(QStringLiteral("11024"),
                          QStringLiteral("The following results were returned:")) +
        u'\n' +
        SetCaptionfromINI(QStringLiteral("11025"),
                          QStringLiteral("Servers(if server exist in ignore list) =")) +
        u' ' + trueFalse(server) + u'\n' +
        SetCaptionfromINI(QStringLiteral("11026"),
                          QStringLiteral("Extensions(if extension exsit in download list) =")) +
        u' ' + trueFalse(extension) + u'\n' +
        SetCaptionfromINI(QStringLiteral("11027"),
                          QStringLiteral("True means it was found. False means it was not."));
    Dialogs::instance().message(
        text, Dialogs::Buttons::OK, Dialogs::Icon::None,
        SetCaptionfromINI(QStringLiteral("11028"), QStringLiteral("URL Server & EXT Test")));
}

void frmSettings::lstLogin_Click(int row) {
    if (row < 0 || row >= static_cast<int>(lstLogin.size())) {
        lstLoginIndex = -1;
    } else {
        // The row's texts go into the fields, ready to be changed.
        lstLoginIndex = row;
        const LoginRow& login = lstLogin[static_cast<std::size_t>(row)];
        txtLoginServer.Text = login.Server;
        txtLoginUsername.Text = login.User;
        txtLoginPassword.Text = login.Password;
    }
    emit changed();
}

bool frmSettings::loginFieldsUsable(QString& server, QString& user) {
    server = txtLoginServer.Text.trimmed();
    user = txtLoginUsername.Text.trimmed();
    const std::pair<QString, QString> required[] = {
        {server, QStringLiteral("11017")},
        {user, QStringLiteral("11018")},
        {txtLoginPassword.Text.trimmed(), QStringLiteral("11019")},
    };
    for (const auto& [text, key] : required) {
        if (!text.isEmpty()) continue;
        Dialogs::show(Message(key), Dialogs::Icon::Exclamation);
        return false;
    }
    return !refuseControlCharacters({server, user, txtLoginPassword.Text});
}

void frmSettings::cmdLoginAdd_Click() {
    QString server, user;
    if (!loginFieldsUsable(server, user)) return;
    // The server is looked up by the exact host, so blanks around it would never match.
    lstLogin.push_back({server, user, txtLoginPassword.Text});
    for (TextControl* field : {&txtLoginServer, &txtLoginUsername, &txtLoginPassword})
        field->Text.clear();
    edited();
}

void frmSettings::cmdLoginChange_Click() {
    if (lstLoginIndex < 0 || lstLoginIndex >= static_cast<int>(lstLogin.size())) return;
    QString server, user;
    if (!loginFieldsUsable(server, user)) return;
    lstLogin[static_cast<std::size_t>(lstLoginIndex)] = {server, user, txtLoginPassword.Text};
    edited();
}

void frmSettings::cmdLoginDelete_Click() {
    if (lstLoginIndex < 0 || lstLoginIndex >= static_cast<int>(lstLogin.size())) return;
    lstLogin.erase(lstLogin.begin() + lstLoginIndex);
    lstLoginIndex = -1;
    edited();
}

void frmSettings::lstLogin_ColumnClick(int column) {
    if (column < 0 || column > 2) return;
    // A second click on the same column turns the order round.
    loginSortDescending_ = column == loginSortColumn_ && !loginSortDescending_;
    loginSortColumn_ = column;
    const auto text = [column](const LoginRow& row) {
        return column == 0 ? row.Server : column == 1 ? row.User : row.Password;
    };
    std::stable_sort(lstLogin.begin(), lstLogin.end(),
                     [&](const LoginRow& a, const LoginRow& b) {
                         const int order = text(a).compare(text(b), Qt::CaseInsensitive);
                         return loginSortDescending_ ? order > 0 : order < 0;
                     });
    lstLoginIndex = -1;
    // The saved order is the list's order, and the first matching login is used.
    edited();
}

void frmSettings::lstFileType_Click(int row) {
    lstFileTypeIndex = row >= 0 && row < static_cast<int>(lstFileType.size()) ? row : -1;
    emit changed();
}

void frmSettings::cmdFileTypeAdd_Click() {
    if (txtFileType.Text.isEmpty() || txtFileTypeDir.Text.isEmpty()) return;
    if (refuseControlCharacters({txtFileType.Text, txtFileTypeDir.Text})) return;
    lstFileType.push_back({txtFileType.Text, txtFileTypeDir.Text});
    txtFileType.Text.clear();
    txtFileTypeDir.Text.clear();
    edited();
}

void frmSettings::cmdFileTypeRemove_Click() {
    if (lstFileTypeIndex < 0 || lstFileTypeIndex >= static_cast<int>(lstFileType.size())) return;
    lstFileType.erase(lstFileType.begin() + lstFileTypeIndex);
    lstFileTypeIndex = -1;
    edited();
}

void frmSettings::browseInto(TextControl& field) {
    if (!PickFolder || !field.Enabled) return;
    const std::optional<QString> folder = PickFolder(field.Text);
    // A cancelled pick leaves the field as it was.
    if (!folder || folder->isEmpty() || *folder == field.Text) return;
    field.Text = *folder;
    edited();
}

void frmSettings::cmdSameDirBrowse_Click() {
    browseInto(txtSameDir);
}

void frmSettings::cmdFileTypeDirBrowse_Click() {
    browseInto(txtFileTypeDir);
}

void frmSettings::cmdParBrowse_Click() {
    browseInto(txtParentDir);
}

void frmSettings::cboLanguage_Click(const QString& name) {
    if (!cboLanguage.Items.contains(name) || name == cboLanguage.Text) return;
    cboLanguage.Text = name;
    edited();
}
