#pragma once

#include "common/QStringPrinter.h"
#include "ftpclient/component/FtpComponent.h"
#include "support/ScriptedFtpServer.h"
#include "support/TestData.h"
#include "support/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The component against the scripted FTP server in the same process: every
// call runs the event loop that also serves the server.
inline constexpr char kPassword[] = "Secret-Pass-9";

// A failed call shows its number and description.
inline void PrintTo(const FtpError& error, std::ostream* os) {
    *os << std::hex << error.number << std::dec << " " << error.description.toStdString();
}

class ScriptedComponentFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(local.isValid());
        ftp.serverAddress = QStringLiteral("127.0.0.1");
        ftp.serverPort = server.port();
        ftp.userName = QStringLiteral("karvo");
        ftp.password = QString::fromLatin1(kPassword);
        ftp.timeLimitMs = 10000;
        QObject::connect(&ftp, &FtpComponent::logLine, [this](const QString& line) { log << line; });
        QObject::connect(&ftp, &FtpComponent::skippingFile,
                         [this](const QString& name, const QString&, qint32 reason) { skipped << qMakePair(name, reason); });
    }

    void connectOk() { ASSERT_EQ(ftp.connectToServer(), std::nullopt); }

    QString localPath(const QString& name) const { return local.filePath(name); }

    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The command lines of the first connection, CR LF removed.
    QList<QByteArray> sent() const {
        QList<QByteArray> lines;
        for (QByteArray line : server.commands(0)) lines << line.chopped(line.endsWith("\r\n") ? 2 : 0);
        return lines;
    }

    // Names in the local folder, to see that nothing else was left behind.
    QStringList localEntries() const {
        return QDir(local.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    static qint32 number(const FtpResult& result) { return result ? result->number : 0; }

    ScriptedFtpServer server;
    FtpComponent ftp;
    QTemporaryDir local;
    QStringList log;
    QList<QPair<QString, qint32>> skipped;
};
