#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// The registry key under which Lumet keeps its options.
inline const QString kLumetKey = QStringLiteral("\\Software\\VornelKarvo\\Zu4.0\\");

// One field per registry value of Lumet, named like the value. Sizes and byte
// counts are 64-bit so that files beyond 2 GiB work.
struct SettingsRecord {
    std::int32_t Downloads = 0;
    double AllBytes = 0;
    bool ClickCapture = true;
    bool ClipboardMonitoring = true;
    bool UsePASV = false;
    bool UseProxy = false;
    bool LoginProxy = false;
    bool UsePass = false;
    QString ProxyServer;
    std::uint16_t ProxyPort = 80;  // a whole port number, up to 65535
    bool UseFTPProxy = false;
    QString UserID;
    QString UserPass;
    std::int16_t Timeout = 60;
    bool StopResume = true;
    std::int16_t TimeResume = 300;
    std::int16_t TimeNoResume = 600;
    bool Retry = true;
    std::int16_t RetryTime = 300;
    std::int16_t Retries = 30;
    std::int64_t Rollback = 4096;
    std::uint8_t Segment = 0;
    double SegmentSize1 = 2097152;
    double SegmentSize2 = 5242880;
    double SegmentSize3 = 5242881;
    double SegmentSize4 = 10485760;
    double SegmentSize5 = 10485761;
    double SegmentSize6 = 15728640;
    double SegmentSize7 = 15728641;
    double SegmentSize8 = 20971520;
    double SegmentSize9 = 20971521;
    bool PromptDone = true;
    bool CloseDownloadWindowWhenDone = false;
    bool DownloadNowOption = false;
    bool DownloadLaterOption = false;
    bool DownloadPromptOption = true;
    bool StartupWithWindows = false;
    bool SaveSameDir = false;
    QString TextSameDir;  // the user's download folder when the value is missing
    bool SaveFileType = false;
    bool SaveFileInfo = false;
    QString ParentDir;
    bool UseServer = false;
    bool UseDate = false;
    bool UseFileExt = false;
    // Secure downloads: a file of PEM certificates trusted besides the system's
    // ("" for none), and whether a redirect from https:// may lead to http://.
    QString CAFile;
    bool AllowDowngrade = false;
};

// The program-wide settings and the globals that belong to them.
extern SettingsRecord Settings;
extern QString LastDir;           // file last chosen in the save prompt
extern QString LangFile;          // language file name inside the language folder
extern std::int32_t ExistChoice;  // existing target: 0 overwrite, -1 resume, -2 skip

// Names of the registry values of SettingsRecord, in the order they are loaded.
const QStringList& SettingsValueNames();

// Reads Settings.ini (through SettingsLists::LoadfromINI) and then every value of
// SettingsRecord from the registry, converted as its type demands; a missing value
// or a text that does not convert keeps the default. Takes the language file kept
// with the per-user settings into LangFile when one is kept. Leaves ExistChoice at -2.
void LoadSettings();

// "Name=value" lines for every field of Settings, in load order: Booleans as
// True/False, numbers as plain decimal text, the proxy password as "***" when set.
QStringList SettingsRecordLines();
