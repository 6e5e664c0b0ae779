#pragma once

#include "ftpclient/options/LanguageList.h"

#include <QObject>
#include <QString>
#include <QStringList>

class TransferMode;

// The options dialog "Options" (Tools → Options, "IDC_FS_Options"): the
// values of Karvo's key that the connection, the log file and the automatic
// transfer type read, the language, and the start-up entry.
//
// The fields are named after the controls. Every edit goes through a setter,
// which sets the changed-flag; "&Save" is enabled exactly while it is set.
// Saving writes everything and clears it; closing with unsaved changes asks.
class frmOptions : public QObject {
    Q_OBJECT
public:
    // The start-up entry's name; the freedesktop entry made from it.
    static const QString kStartupEntry;

    // `mode` receives the saved extension list at once; may be null.
    explicit frmOptions(TransferMode* mode = nullptr, QObject* parent = nullptr);

    // Opening: fills every field from the hive and clears the changed-flag.
    void Form_Load();
    // cmdSave. False, with nothing written, when a value is refused (the
    // firewall port must be 1 … 65535 while the firewall is used); the dialog
    // then stays open. True when it may close.
    bool Save();
    // Cancel or closing the window: true when the dialog may close. With
    // unsaved changes it asks "Do you want quit??" first.
    bool QueryUnload();

    bool changed() const { return changed_; }
    bool cmdSaveEnabled() const { return changed_; }

    // --- General page
    QList<LanguageEntry> cmboLanguage;
    int cmboLanguageIndex = -1;
    bool chkAddToStartup = false;
    QString txtLogFilename;
    bool optDeleteLogOnStartup = true;
    bool optDeleteLogIfSizeExceeds = false;
    // Shown with digit grouping ("1,000"); saved as digits only.
    QString txtLogFileSize;
    bool txtLogFileSizeEnabled() const { return optDeleteLogIfSizeExceeds; }
    QStringList lstExtFiles;
    // --- Firewall page
    bool chkFirewall = false;
    QString comboFirewallType;
    QString txtFirewallHostName;
    QString txtFirewallPort;
    QString txtFirewallUserName;
    QString txtFirewallPassword;
    // Host, port, user name, password and type are enabled only while the
    // firewall is used.
    bool firewallFieldsEnabled() const { return chkFirewall; }
    // TabOptions: 1 general, 2 firewall.
    int TabOptions = 1;

    void setLanguage(int index);
    void setAddToStartup(bool on);
    void setLogFilename(const QString& text);
    // The option group: exactly one of the two.
    void setDeleteLogOnStartup();
    void setDeleteLogIfSizeExceeds();
    // A text that is not a number (digits, with or without digit grouping) is
    // replaced by the stored "LOG FILE SIZE"; an empty text stays while typing.
    void setLogFileSize(const QString& text);
    // "Add": a new empty row, the one to type into; its index.
    int lstExtFiles_Add();
    // "Remove": the selected row.
    void lstExtFiles_Remove(int row);
    // The end of a row's edit: an empty text or a single space is refused with
    // "Please enter extention" and the row keeps its old text.
    bool lstExtFiles_AfterLabelEdit(int row, const QString& text);
    void setFirewall(bool on);
    void setFirewallType(const QString& text);
    void setFirewallHostName(const QString& text);
    void setFirewallPort(const QString& text);
    void setFirewallUserName(const QString& text);
    void setFirewallPassword(const QString& text);

    // The stored size as digits: separators removed; "1000" for no number.
    static QString storedLogFileSize();
    static QString digitsOnly(const QString& text);

signals:
    // The changed-flag, a field's value or an enabled state changed.
    void stateChanged();

private:
    void markChanged();
    template <typename T>
    void edit(T& field, const T& value);

    TransferMode* mode_;
    bool changed_ = false;
};
