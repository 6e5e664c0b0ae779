#pragma once

#include <QObject>
#include <QString>

class FtpComponent;
class KarvoWindow;

// The component's transfer events on the main window: progress and the file
// names in the status line, skipped files in the log, and the question whether
// a local file that a receive would replace may be replaced.
class TransferEvents : public QObject {
    Q_OBJECT
public:
    TransferEvents(FtpComponent& ftp, KarvoWindow& window, QObject* parent = nullptr);

    // "Uploading file 'a.bin' (12 of 2048K)": bytes in whole kilobytes, the
    // verb after the component's state (sending, receiving, anything else).
    static QString progressText(int state, const QString& name, qint64 bytesDone,
                                qint64 fileSize);
    // name + " was skipped. Reason code: 0x" + the code in upper-case hex; the
    // second name stands in for an empty first one.
    static QString skipText(const QString& name, const QString& secondName, qint32 reason);

private:
    void onProgress(const QString& fileName, const QString& secondName, qint64 fileSize,
                    qint64 bytesDone, int percent);
    void onFileExists(const QString& name, bool& replace);

    FtpComponent& ftp_;
    KarvoWindow& window_;
};
