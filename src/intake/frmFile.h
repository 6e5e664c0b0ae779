#pragma once

#include <QObject>
#include <QString>

class QueueOperations;

// The save prompt's logic: asks where an accepted address is to be saved and
// then starts it, queues it, or drops it.
class frmFile : public QObject {
    Q_OBJECT
public:
    explicit frmFile(QueueOperations& queue, QObject* parent = nullptr);

    QString URL;  // the address, set before the prompt loads

    // --- Controls
    QString txtURL;
    QString txtSaveTo;

    // Shows the address and, while no target is set, asks for one with a save-as
    // dialog. False when the user cancelled it: the prompt unloads.
    bool Form_Load();
    void cmdChange_Click();
    void cmdBeginDown_Click();
    void cmdDownLater_Click();
    void cmdCancel_Click();

    static const QString kFilter;

signals:
    void changed();
    void unloadRequested();

private:
    QueueOperations& queue_;
};
