#pragma once

#include <QString>
#include <QStringList>

// What a fresh machine loads: every field of the settings record in load order,
// with TextSameDir (the user's download folder) given by the caller.
inline QStringList DefaultSettingsLines(const QString& downloadFolder) {
    return {
        QStringLiteral("Downloads=0"),
        QStringLiteral("AllBytes=0"),
        QStringLiteral("ClickCapture=True"),
        QStringLiteral("ClipboardMonitoring=True"),
        QStringLiteral("UsePASV=False"),
        QStringLiteral("UseProxy=False"),
        QStringLiteral("LoginProxy=False"),
        QStringLiteral("UsePass=False"),
        QStringLiteral("ProxyServer="),
        QStringLiteral("ProxyPort=80"),
        QStringLiteral("UseFTPProxy=False"),
        QStringLiteral("UserID="),
        QStringLiteral("UserPass="),
        QStringLiteral("Timeout=60"),
        QStringLiteral("StopResume=True"),
        QStringLiteral("TimeResume=300"),
        QStringLiteral("TimeNoResume=600"),
        QStringLiteral("Retry=True"),
        QStringLiteral("RetryTime=300"),
        QStringLiteral("Retries=30"),
        QStringLiteral("Rollback=4096"),
        QStringLiteral("Segment=0"),
        QStringLiteral("SegmentSize1=2097152"),
        QStringLiteral("SegmentSize2=5242880"),
        QStringLiteral("SegmentSize3=5242881"),
        QStringLiteral("SegmentSize4=10485760"),
        QStringLiteral("SegmentSize5=10485761"),
        QStringLiteral("SegmentSize6=15728640"),
        QStringLiteral("SegmentSize7=15728641"),
        QStringLiteral("SegmentSize8=20971520"),
        QStringLiteral("SegmentSize9=20971521"),
        QStringLiteral("PromptDone=True"),
        QStringLiteral("CloseDownloadWindowWhenDone=False"),
        QStringLiteral("DownloadNowOption=False"),
        QStringLiteral("DownloadLaterOption=False"),
        QStringLiteral("DownloadPromptOption=True"),
        QStringLiteral("StartupWithWindows=False"),
        QStringLiteral("SaveSameDir=False"),
        QStringLiteral("TextSameDir=") + downloadFolder,
        QStringLiteral("SaveFileType=False"),
        QStringLiteral("SaveFileInfo=False"),
        QStringLiteral("ParentDir="),
        QStringLiteral("UseServer=False"),
        QStringLiteral("UseDate=False"),
        QStringLiteral("UseFileExt=False"),
        QStringLiteral("CAFile="),
        QStringLiteral("AllowDowngrade=False"),
    };
}

// The dialog lists when the registry holds none: the extension list as the
// settings dialog shows it for a missing value (no blank before ".R1?"), and
// the ignore list of update and shop servers.
inline const QString kMissingMonitorTypes = QStringLiteral(
    ".ZIP; .EXE; .BIN; .GZ; .Z; .TAR; .ARJ; .LZH; .SIT; .HQX; .FML; .TGZ; .GRS; .MP3; .RAR; "
    ".R0?;.R1?; .ACE; .C0?; .C1?; .W0?;");
inline const QString kDefaultMonitorServer = QStringLiteral(
    "deb.debian.org ; security.debian.org ; *.archive.ubuntu.com ; update.libreoffice.org ; "
    "*.digitalriver.com");
