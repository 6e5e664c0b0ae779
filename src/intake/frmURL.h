#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QueueOperations;

// False at program start; true once the first OK step has completed. Until then
// every accepted address opens the save prompt, whatever the option says.
extern bool FirstAddressDone;

// The add-address dialog's logic. Every new address, typed, pasted, dropped or
// handed over, runs through cmdOK_Click, which validates it, applies the server
// limit and the block lists, and then starts, queues or prompts as the options say.
class frmURL : public QObject {
    Q_OBJECT
public:
    // What the OK step did with the address.
    enum class Outcome {
        Refused,  // invalid address, a message was shown; nothing queued
        Queued,   // limit or block case: queued as not downloaded, the dialog stays
        Done,     // started, queued or handed to the save prompt; the dialog unloads
    };

    explicit frmURL(QueueOperations& queue, QObject* parent = nullptr);

    // --- Controls
    QString txtURL;                // the address box as typed
    QStringList txtURLItems;       // the drop-down list of the address box
    bool txtURLSelectAll = false;  // the whole text is selected (clipboard intake)

    // Fills the drop-down list (AddHistURL) and, with "ClipboardMonitoring" on,
    // takes an address found in the clipboard text into the box.
    void Form_Load(const QString& clipboardText);
    // The address column of the Complete list, then of the Downloads list.
    void AddHistURL();

    Outcome cmdOK_Click();
    // Puts the address into the box and runs the OK step (hand-over and drops).
    Outcome DownLoadURL(const QString& address);

signals:
    // The save prompt is to be shown for this address, not modal, owned by the
    // main window.
    void savePromptRequested(const QString& address);
    // The OK step completed: the dialog unloads.
    void unloadRequested();

private:
    void refuse(const QString& text, const QString& title = QString());
    void queueBlocked(const QString& address, const QString& blockText);

    QueueOperations& queue_;
};
