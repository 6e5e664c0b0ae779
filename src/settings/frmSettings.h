#pragma once

#include "core/SettingsLists.h"
#include "settings/SettingsControls.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The settings dialog's logic: every option of Lumet on seven pages, the checks of
// what the user types, the per-server logins and file-type rules, the test of an
// address against the monitor lists, and the save to the hive and Settings.ini.
//
// The controls are a working copy. Nothing the user types reaches the running
// program before a save: OK and Apply write the hive and Settings.ini, then
// LoadSettings() hands the new values to the program at once; Cancel drops the
// copy. Only the browser-integration and start-up boxes act when clicked, as
// switches of the machine (IntegrationSwitches).
//
// Number fields: a negative number is put back at once to the value in effect (in
// the field's unit); a text that is no number, or one too large for the value it
// is stored in, is put back when the field loses focus and before a save, so
// nothing that the program would not read is ever stored.
class frmSettings : public QObject {
    Q_OBJECT
public:
    // The pages, in the order of their tabs.
    enum Page { General, Monitoring, Connection, Segments, SaveTo, Proxy, Logins, PageCount };
    static QString PageCaption(int page);

    // Message texts of the dialog by language key ("11017" ...), with the English
    // text shipped in English.ini as the built-in default.
    static QString Message(const QString& key);
    static const QStringList& MessageKeys();
    static QString MessageDefault(const QString& key);

    explicit frmSettings(QObject* parent = nullptr);

    // --- General: new downloads, limits, when done, start-up, language, statistics
    BoxControl chkDownloadNow, chkDownloadLater, chkDownloadPrompt;
    TextControl txtLimitHTTP, txtLimitFTP;
    BoxControl chkPromptDone, chkCloseWindow;
    BoxControl chkStartWin;
    ChoiceControl cboLanguage;
    QString lblDownloads, lblBytes, lblVersion;
    // --- Monitoring
    BoxControl chkClipboard, chkIE;
    TextControl txtMonitorTypes, txtMonitorServer;
    TextControl txtTestURL;
    // --- Connection: time-outs, retrying, resume, FTP
    TextControl txtTimeout;
    BoxControl chkStopResume;
    TextControl txtTimeResume, txtTimeNoResume;  // minutes
    BoxControl chkRetry;
    TextControl txtRetryTime, txtRetries;
    TextControl txtRollback;  // kilobytes
    BoxControl chkFtpPASV;
    // --- Segments ("Auto Segmentation")
    BoxControl chkSegment;
    FrameControl frameSegmentSettings, lblSegment;
    std::array<TextControl, 9> txtSegment;  // txtSegment1 ... txtSegment9, megabytes
    // --- Save To
    BoxControl optSameDir, optLastDir, optFileType, optFileInfo;
    FrameControl frameSameDir, frameLastDir, frameFileType, frameFileInfo;
    TextControl txtSameDir;
    QString lblLastDir;
    std::vector<FileTypeRule> lstFileType;
    int lstFileTypeIndex = -1;  // the selected row, -1 for none
    TextControl txtFileType, txtFileTypeDir;
    TextControl txtParentDir;
    BoxControl optFileExt, optDate, optServer;
    // --- Proxy ("Proxy Settings")
    BoxControl chkUseProxy;
    FrameControl frameProxy;
    TextControl txtProxyServer, txtProxyPort;
    BoxControl chkFTPProxy, chkLogProx;
    TextControl txtUserID, txtPass;
    BoxControl chkPass;
    // --- Logins ("Login Required")
    BoxControl chkLoginReq;
    std::vector<LoginRow> lstLogin;
    int lstLoginIndex = -1;  // the selected row, -1 for none
    TextControl txtLoginServer, txtLoginUsername, txtLoginPassword;

    int tabMainSettings = General;  // the page shown

    // A value has changed since the last load or save; the Apply button is
    // enabled exactly then.
    bool SettingsDirty() const { return dirty_; }
    void SetSettingsDirty(bool dirty);

    // The folder picker: the chosen folder, nothing when cancelled. Defaults to
    // the Dialogs service; the face shows its own picker.
    std::function<std::optional<QString>(const QString& initialFolder)> PickFolder;
    // Opens the user's guide (Help).
    std::function<void()> OpenHelp;

    // The form's load: version, values, first page, dependent states.
    void Form_Load();
    // Fills every control from the settings in effect, the hive and Settings.ini.
    void LoadDialogValues();
    // Writes every control to the hive and Settings.ini. On failure a message names
    // the file, the edits stay and the dialog stays changed; false is returned.
    bool SaveDialogValues();

    // --- Events of the controls
    // A check box or option button clicked into `checked`.
    void Click(BoxControl& box, bool checked);
    // The user changed the text of a text box.
    void Change(TextControl& field, const QString& text);
    // A text box lost the focus.
    void LostFocus(TextControl& field);
    void cboLanguage_Click(const QString& name);
    void tabMainSettings_Click(int page);

    void cmdMonitorTypesReset_Click();
    void cmdMonitorServerReset_Click();
    void cmdTest_Click();

    void lstLogin_Click(int row);
    void lstLogin_ColumnClick(int column);
    void cmdLoginAdd_Click();
    void cmdLoginChange_Click();
    void cmdLoginDelete_Click();

    void lstFileType_Click(int row);
    void cmdFileTypeAdd_Click();
    void cmdFileTypeRemove_Click();

    void cmdSameDirBrowse_Click();
    void cmdFileTypeDirBrowse_Click();
    void cmdParBrowse_Click();

    void cmdOK_Click();
    void cmdApply_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    // Asked before the dialog closes: true when it may close (nothing unsaved, or
    // the user agrees to drop the changes).
    bool QueryUnload();

    // Every number field, in page order.
    QList<TextControl*> NumberFields();

signals:
    // The controls changed; the face shows them again.
    void changed();
    // The dialog is to close.
    void unloadRequested();

private:
    using Values = QList<std::pair<QString, QString>>;

    // How a number field is read, checked and stored.
    struct NumberRule {
        TextControl* control;
        QString value;     // the stored value's name
        double unit;       // stored number = shown number x unit
        double lowest;     // smallest shown whole number
        double highest;    // largest shown whole number
        double storedMax;  // largest stored number
    };
    enum class Reading { Accepted, Negative, NotValid };

    void loadGeneral();
    void saveGeneral(Values& values) const;
    void loadMonitoring();
    void saveMonitoring(Values& values) const;
    void loadConnection();
    void saveConnection(Values& values) const;
    void loadSegments();
    void saveSegments(Values& values) const;
    void loadSaveTo();
    void saveSaveTo(Values& values) const;
    void loadProxy();
    void saveProxy(Values& values) const;
    void loadLogins();

    void applyDependentStates();
    void runIntegrationSwitch(bool checked, bool byUser);
    void runStartupSwitch(bool checked);
    void browseInto(TextControl& field);
    // Sets a text shown for a stored value, and remembers it as what a field in
    // error goes back to.
    void show(TextControl& field, const QString& text);
    // The same for a number field; a value that the field would not accept (a hand
    // edit of the hive) shows the fallback instead.
    void showNumber(TextControl& field, const QString& text, const QString& fallback);
    const NumberRule* ruleOf(const TextControl* field) const;
    Reading read(const NumberRule& rule, const QString& text, double* stored = nullptr) const;
    QString storedText(const NumberRule& rule) const;
    void restoreNotValidNumbers();
    bool loginFieldsUsable(QString& server, QString& user);
    bool saveFailed(const QString& file);
    void edited();

    std::vector<NumberRule> numbers_;
    std::vector<std::vector<BoxControl*>> optionGroups_;
    QHash<const TextControl*, QString> stored_;
    int loginSortColumn_ = -1;
    bool loginSortDescending_ = false;
    bool dirty_ = false;
};
