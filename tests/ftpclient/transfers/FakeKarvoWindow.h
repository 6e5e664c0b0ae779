#pragma once

#include "ftpclient/component/FtpComponent.h"
#include "ftpclient/transfers/KarvoWindow.h"

#include <QDir>
#include <QStringList>
#include <deque>
#include <gtest/gtest.h>

// The main window as the operations see it, recording what they show: status
// texts, log lines, progress, refreshes, the cover, the file-exists dialog
// (answered from a queue; an unexpected one fails the test and cancels).
class FakeKarvoWindow : public KarvoWindow {
public:
    explicit FakeKarvoWindow(FtpComponent& ftp) : ftp_(ftp) {}

    FtpComponent& xFtp() override { return ftp_; }
    QString currentLocalFolder() const override { return localFolder; }
    QString remotePathText() const override { return remotePath; }
    QList<KarvoListItem> localSelection() const override { return localRows; }
    QList<KarvoListItem> remoteSelection() const override { return remoteRows; }

    void StatusBarInfo(const QString& sMessage) override { status << sMessage; }
    void DisplayMessage(const QString& sMessage) override { log << sMessage; }
    void setProgress(int percent) override { progress << percent; }
    void setAbortEnabled(bool enabled) override { abortEnabled = enabled; }
    void setBusyPointer(bool busy) override { busyDepth += busy ? 1 : -1; }
    void setMovieVariable(const QString& name, const QString& value) override {
        variables << name + u'=' + value;
    }
    void refreshLocalList() override { ++localRefreshes; }
    void refreshRemoteList() override { ++remoteRefreshes; }
    void coverRemoteList(bool cover) override { covers << cover; }
    bool stopRequested() const override { return stop; }
    ExistAnswer askFileExists(const QString& sourceText, const QString& destinationText,
                              bool resumeAllowed) override {
        existAsked << QStringList{sourceText, destinationText,
                                  resumeAllowed ? QStringLiteral("resume") : QStringLiteral("no resume")};
        if (existAnswers.empty()) {
            ADD_FAILURE() << "unexpected file-exists dialog: " << sourceText.toStdString();
            return ExistAnswer{};
        }
        const ExistAnswer answer = existAnswers.front();
        existAnswers.pop_front();
        return answer;
    }

    // Selection helpers.
    static KarvoListItem file(const QString& name) { return {name, KarvoListItem::File}; }
    static KarvoListItem folder(const QString& name) { return {name, KarvoListItem::Folder}; }
    static KarvoListItem link(const QString& name) { return {name, KarvoListItem::Link}; }

    QString localFolder;
    QString remotePath = QStringLiteral("/");
    QList<KarvoListItem> localRows;
    QList<KarvoListItem> remoteRows;
    std::deque<ExistAnswer> existAnswers;
    bool stop = false;

    QStringList status;
    QStringList log;
    QList<int> progress;
    QStringList variables;
    QList<bool> covers;
    QList<QStringList> existAsked;
    bool abortEnabled = false;
    int busyDepth = 0;
    int localRefreshes = 0;
    int remoteRefreshes = 0;

private:
    FtpComponent& ftp_;
};
