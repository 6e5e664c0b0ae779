// Transfers and file operations end to end against real servers started by
// the test (pyftpdlib, and vsftpd for a server that only speaks LIST): trees up
// and down checked by SHA-256, the existing-file choices with resume, the type
// per extension in one selection, synchronisation both ways, the recursive
// delete beside links that must survive, rename, move, new folder, SITE CHMOD.
#include "FakeKarvoWindow.h"
#include "common/QStringPrinter.h"
#include "ftpclient/commands/FtpCommands.h"
#include "ftpclient/fileops/RemoteOperations.h"
#include "ftpclient/transfers/DownloadSelection.h"
#include "ftpclient/transfers/FolderSync.h"
#include "ftpclient/transfers/KarvoRegistry.h"
#include "ftpclient/transfers/TransferEvents.h"
#include "ftpclient/transfers/TransferMode.h"
#include "ftpclient/transfers/UploadSelection.h"
#include "support/PyFtpdServer.h"
#include "support/ScriptedDialogs.h"
#include "support/Sha256.h"
#include "support/TempRoot.h"
#include "support/TestData.h"
#include "support/VsftpdServer.h"

#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>
#include <map>

namespace {

using Answer = Dialogs::Answer;

// Relative path to SHA-256 of every file below `folder`; folders as "/".
QMap<QString, QString> treeOf(const QString& folder) {
    QMap<QString, QString> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(folder).relativeFilePath(path);
        tree.insert(relative, it.fileInfo().isDir() ? QStringLiteral("/") : sha256OfFile(path));
    }
    return tree;
}

void makeFiles(const QString& root, const std::map<QString, QByteArray>& files) {
    for (const auto& [path, data] : files) {
        const QString full = QDir(root).filePath(path);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(full).path()));
        ASSERT_TRUE(writeWholeFile(full, data));
    }
}

void setTime(const QString& path, const QDateTime& time) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << path.toStdString();
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

const std::map<QString, QByteArray> kTree = {
    {QStringLiteral("top/big.bin"), patternBytes(2 * 1024 * 1024 + 13, 1)},
    {QStringLiteral("top/empty.dat"), QByteArray()},
    {QStringLiteral("top/with space.bin"), patternBytes(999, 2)},
    {QStringLiteral("top/a/one.bin"), patternBytes(70001, 3)},
    {QStringLiteral("top/a/b/deep.bin"), patternBytes(5, 4)},
};

class RealServerOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptedDialogs::current().clear();
        ASSERT_TRUE(local_.isValid());
        window.localFolder = local_.path() + u'/';
        ftp.timeLimitMs = 20000;
        QObject::connect(&ftp, &FtpComponent::logLine, [this](const QString& line) { wire << line; });
    }

    void connectTo(quint16 port, const QString& user, const QString& password, const QString& folder = QString()) {
        ftp.serverAddress = QStringLiteral("127.0.0.1");
        ftp.serverPort = port;
        ftp.userName = user;
        ftp.password = password;
        ASSERT_EQ(ftp.connectToServer(), std::nullopt);
        if (!folder.isEmpty()) {
            ASSERT_EQ(ftp.changeFolder(folder), std::nullopt);
        }
        QString where;
        ASSERT_EQ(ftp.currentFolder(where), std::nullopt);
        window.remotePath = where;
    }

    void connectPyftpd() {
        ASSERT_TRUE(pyftpd.start()) << pyftpd.errorString().toStdString();
        connectTo(pyftpd.port(), pyftpd.user(), pyftpd.password());
    }

    QString localPath(const QString& name) const { return local_.filePath(name); }
    static void answer(std::initializer_list<Answer> answers) {
        for (Answer a : answers) ScriptedDialogs::current().answerMessage(a);
    }

    PyFtpdServer pyftpd;
    TempRoot root_;
    QTemporaryDir local_;
    FtpComponent ftp;
    FakeKarvoWindow window{ftp};
    TransferEvents events{ftp, window};
    TransferMode mode{ftp};
    QStringList wire;
};

TEST_F(RealServerOperationsTest, FoldersGoUpAndComeBackWholeInEveryMode) {
    connectPyftpd();
    makeFiles(local_.path(), kTree);
    ASSERT_TRUE(QDir().mkpath(localPath(QStringLiteral("top/empty-folder"))));
    const QMap<QString, QString> sent = treeOf(localPath(QStringLiteral("top")));

    // Auto mode walks the tree itself; Binary hands it to the component.
    for (TransferMode::Option option : {TransferMode::Auto, TransferMode::Binary}) {
        SCOPED_TRACE(option == TransferMode::Auto ? "auto" : "binary");
        const QString name = option == TransferMode::Auto ? QStringLiteral("auto") : QStringLiteral("binary");
        ASSERT_EQ(ftp.createFolder(name), std::nullopt);
        ASSERT_EQ(ftp.changeFolder(name), std::nullopt);
        mode.choose(option);
        window.localRows = {FakeKarvoWindow::folder(QStringLiteral("top"))};
        answer({Answer::Yes});
        UploadSelection(window, mode).Upload();
        EXPECT_EQ(window.status.last(), QStringLiteral("Upload complete")) << window.log.join(u'\n').toStdString();
        EXPECT_EQ(treeOf(pyftpd.rootPath() + u'/' + name + QStringLiteral("/top")), sent);
        QString where;
        ASSERT_EQ(ftp.currentFolder(where), std::nullopt);
        EXPECT_EQ(where, u'/' + name);
        ASSERT_EQ(ftp.changeFolder(QStringLiteral("/")), std::nullopt);
    }

    // And down again into a fresh folder.
    QTemporaryDir down;
    window.localFolder = down.path() + u'/';
    ASSERT_EQ(ftp.changeFolder(QStringLiteral("/auto")), std::nullopt);
    window.remoteRows = {FakeKarvoWindow::folder(QStringLiteral("top"))};
    answer({Answer::Yes});
    DownloadSelection(window).Download();
    EXPECT_EQ(window.status.last(), QStringLiteral("File download(s) complete.")) << window.log.join(u'\n').toStdString();
    EXPECT_EQ(treeOf(down.filePath(QStringLiteral("top"))), sent);
}

TEST_F(RealServerOperationsTest, ExistingFileChoicesWithResume) {
    connectPyftpd();
    const QByteArray a = patternBytes(300000, 5);
    const QByteArray b = patternBytes(200000, 6);
    const QByteArray c = patternBytes(1000, 7);
    makeFiles(local_.path(), {{QStringLiteral("a.bin"), a}, {QStringLiteral("b.bin"), b}, {QStringLiteral("c.bin"), c}});
    ASSERT_TRUE(pyftpd.putFile(QStringLiteral("a.bin"), a.left(123457)));
    ASSERT_TRUE(pyftpd.putFile(QStringLiteral("b.bin"), "stale"));
    ASSERT_TRUE(pyftpd.putFile(QStringLiteral("c.bin"), "keep me"));
    window.localRows = {FakeKarvoWindow::file(QStringLiteral("a.bin")), FakeKarvoWindow::file(QStringLiteral("b.bin")),
                        FakeKarvoWindow::file(QStringLiteral("c.bin"))};
    window.existAnswers = {{ExistAnswer::Resume, false}, {ExistAnswer::Overwrite, false}, {ExistAnswer::Skip, false}};
    mode.choose(TransferMode::Binary);
    UploadSelection(window, mode).Upload();
    EXPECT_TRUE(wire.contains(QStringLiteral("REST 123457"))) << wire.join(u'\n').toStdString();
    EXPECT_EQ(sha256OfFile(pyftpd.rootPath() + QStringLiteral("/a.bin")), sha256Hex(a));
    EXPECT_EQ(sha256OfFile(pyftpd.rootPath() + QStringLiteral("/b.bin")), sha256Hex(b));
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/c.bin")), "keep me");
    EXPECT_TRUE(window.log.contains(QStringLiteral("Skiped sending file: c.bin")));
    EXPECT_EQ(window.status.last(), QStringLiteral("Upload complete"));
}

TEST_F(RealServerOperationsTest, EachFileOfOneSelectionGoesAsItsExtensionSays) {
    connectPyftpd();
    const QByteArray text = "line one\r\nline two\n";
    makeFiles(local_.path(), {{QStringLiteral("notes.TXT"), text}, {QStringLiteral("data.zip"), text}});
    window.localRows = {FakeKarvoWindow::file(QStringLiteral("notes.TXT")), FakeKarvoWindow::file(QStringLiteral("data.zip"))};
    mode.setAsciiExtensions({QStringLiteral("txt")});
    mode.choose(TransferMode::Auto);
    UploadSelection(window, mode).Upload();
    // The server stores ASCII with its own line ends; binary stays as it was.
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/notes.TXT")), "line one\nline two\n");
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/data.zip")), text);
    // Downloading them in the same mode: the .zip comes back byte for byte.
    QTemporaryDir down;
    window.localFolder = down.path() + u'/';
    window.remoteRows = {FakeKarvoWindow::file(QStringLiteral("notes.TXT")), FakeKarvoWindow::file(QStringLiteral("data.zip"))};
    DownloadSelection(window).Download();
    EXPECT_EQ(readWholeFile(down.filePath(QStringLiteral("data.zip"))), text);
    EXPECT_EQ(readWholeFile(down.filePath(QStringLiteral("notes.TXT"))), "line one\nline two\n");
}

TEST_F(RealServerOperationsTest, SynchronisesBothWaysBySizeAndByDate) {
    connectPyftpd();
    const QDateTime old(QDate(2019, 1, 1), QTime(12, 0));
    const QDateTime recent = QDateTime::currentDateTime().addDays(-2);
    // Remote: one newer file, one older, one of another size, one only there.
    makeFiles(pyftpd.rootPath(), {{QStringLiteral("newer.txt"), "remote newer"},
                                  {QStringLiteral("older.txt"), "remote older"},
                                  {QStringLiteral("sized.bin"), patternBytes(4000, 8)},
                                  {QStringLiteral("only-remote.bin"), patternBytes(3000, 9)}});
    makeFiles(local_.path(), {{QStringLiteral("newer.txt"), "local, old"},
                              {QStringLiteral("older.txt"), "local, newer"},
                              {QStringLiteral("sized.bin"), patternBytes(100, 10)},
                              {QStringLiteral("only-local.bin"), patternBytes(2000, 11)}});
    setTime(pyftpd.rootPath() + QStringLiteral("/newer.txt"), recent);
    setTime(pyftpd.rootPath() + QStringLiteral("/older.txt"), old);
    setTime(pyftpd.rootPath() + QStringLiteral("/sized.bin"), old);
    setTime(pyftpd.rootPath() + QStringLiteral("/only-remote.bin"), old);
    setTime(localPath(QStringLiteral("newer.txt")), old);
    setTime(localPath(QStringLiteral("older.txt")), recent);
    setTime(localPath(QStringLiteral("sized.bin")), recent);
    mode.choose(TransferMode::Binary);

    // Down by date: the newer remote file replaces the local one (asked), the
    // file missing here comes; the older remote file does not.
    KarvoRegistry::save(QStringLiteral("DIR SYNC BY FILE SIZE"), QStringLiteral("0"));
    answer({Answer::Yes});
    FolderSync(window).SynchronizeDown();
    EXPECT_EQ(readWholeFile(localPath(QStringLiteral("newer.txt"))), "remote newer");
    EXPECT_EQ(readWholeFile(localPath(QStringLiteral("older.txt"))), "local, newer");
    EXPECT_EQ(readWholeFile(localPath(QStringLiteral("sized.bin"))), patternBytes(100, 10));
    EXPECT_EQ(sha256OfFile(localPath(QStringLiteral("only-remote.bin"))), sha256Hex(patternBytes(3000, 9)));
    EXPECT_EQ(ScriptedDialogs::current().calls().size(), 1u);

    // Up by size: what differs in size or is missing there goes up, a file of
    // equal size stays whatever its date; nothing is deleted.
    KarvoRegistry::save(QStringLiteral("DIR SYNC BY FILE SIZE"), QStringLiteral("1"));
    FolderSync(window).SynchronizeUp();
    EXPECT_EQ(window.status.last(), QStringLiteral("Remote Directory Sync Complete")) << window.log.join(u'\n').toStdString();
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/older.txt")), "remote older");
    EXPECT_EQ(sha256OfFile(pyftpd.rootPath() + QStringLiteral("/sized.bin")), sha256Hex(patternBytes(100, 10)));
    EXPECT_EQ(sha256OfFile(pyftpd.rootPath() + QStringLiteral("/only-local.bin")), sha256Hex(patternBytes(2000, 11)));
    EXPECT_EQ(sha256OfFile(pyftpd.rootPath() + QStringLiteral("/only-remote.bin")), sha256Hex(patternBytes(3000, 9)));
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/newer.txt")), "remote newer");
}

TEST_F(RealServerOperationsTest, DeletingATreeLeavesWhatItsLinksPointTo) {
    connectPyftpd();
    makeFiles(pyftpd.rootPath(), kTree);
    makeFiles(pyftpd.rootPath(), {{QStringLiteral("keep/precious.txt"), "precious"}});
    ASSERT_TRUE(QFile::link(QStringLiteral("../../keep"), pyftpd.rootPath() + QStringLiteral("/top/a/to-keep")));
    window.remoteRows = {FakeKarvoWindow::folder(QStringLiteral("top"))};
    answer({Answer::Yes});
    RemoteOperations(window).Delete();
    EXPECT_TRUE(window.log.isEmpty()) << window.log.join(u'\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(pyftpd.rootPath() + QStringLiteral("/top")));
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/keep/precious.txt")), "precious");
    QString where;
    ASSERT_EQ(ftp.currentFolder(where), std::nullopt);
    EXPECT_EQ(where, QStringLiteral("/"));
}

TEST_F(RealServerOperationsTest, AFolderOutsideTheServedTreeSurvivesWhenTheServerRefusesItsLink) {
    connectPyftpd();
    QTemporaryDir outside;
    makeFiles(outside.path(), {{QStringLiteral("precious.txt"), "outside"}});
    makeFiles(pyftpd.rootPath(), {{QStringLiteral("top/a.txt"), "a"}});
    ASSERT_TRUE(QFile::link(outside.path(), pyftpd.rootPath() + QStringLiteral("/top/outside")));
    window.remoteRows = {FakeKarvoWindow::folder(QStringLiteral("top"))};
    answer({Answer::Yes});
    RemoteOperations(window).Delete();
    // pyftpdlib will not touch a link that leads out of its root: the walk stops there.
    EXPECT_EQ(readWholeFile(outside.filePath(QStringLiteral("precious.txt"))), "outside");
    EXPECT_TRUE(QFileInfo(pyftpd.rootPath() + QStringLiteral("/top/outside")).isSymLink());
    ASSERT_EQ(window.log.size(), 1);
    EXPECT_TRUE(window.log[0].startsWith(QStringLiteral("Error: 550"))) << window.log[0].toStdString();
}

TEST_F(RealServerOperationsTest, NewFolderRenameMoveAndChmod) {
    connectPyftpd();
    makeFiles(pyftpd.rootPath(), {{QStringLiteral("a.txt"), "a"}, {QStringLiteral("taken.txt"), "taken"}});
    auto& dialogs = ScriptedDialogs::current();
    dialogs.allowOkMessages();
    dialogs.answerText(QStringLiteral("made"));
    RemoteOperations(window).CreateFolder();
    EXPECT_TRUE(QFileInfo(pyftpd.rootPath() + QStringLiteral("/made")).isDir());

    window.remoteRows = {FakeKarvoWindow::file(QStringLiteral("a.txt"))};
    answer({Answer::Yes});
    dialogs.answerText(QStringLiteral("taken.txt"));
    RemoteOperations(window).Rename();
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/taken.txt")), "taken");
    answer({Answer::Yes});
    dialogs.answerText(QStringLiteral("b.txt"));
    RemoteOperations(window).Rename();
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/b.txt")), "a");

    window.remoteRows = {FakeKarvoWindow::file(QStringLiteral("b.txt"))};
    answer({Answer::Yes});
    dialogs.answerText(QStringLiteral("made"));
    RemoteOperations(window).Move();
    EXPECT_EQ(readWholeFile(pyftpd.rootPath() + QStringLiteral("/made/b.txt")), "a");

    window.remoteRows = {FakeKarvoWindow::file(QStringLiteral("taken.txt")), FakeKarvoWindow::folder(QStringLiteral("made"))};
    FtpCommands(window).Chmod(QStringLiteral("640"));
    const QFileDevice::Permissions modeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFileInfo(pyftpd.rootPath() + QStringLiteral("/taken.txt")).permissions() & modeBits,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    EXPECT_TRUE(wire.contains(QStringLiteral("SITE CHMOD 640 made")));
    EXPECT_FALSE(QFileInfo(pyftpd.rootPath() + QStringLiteral("/made")).permissions() & QFileDevice::ExeOwner);
}

TEST_F(RealServerOperationsTest, ListOnlyServerDeletesAroundALinkAndTakesARecursiveUpload) {
    VsftpdServer vsftpd;
    ASSERT_TRUE(vsftpd.start()) << vsftpd.errorString().toStdString();
    const QString pub = vsftpd.rootPath() + QStringLiteral("/pub");
    QTemporaryDir outside;
    makeFiles(outside.path(), {{QStringLiteral("precious.txt"), "outside"}});
    makeFiles(pub, kTree);
    ASSERT_TRUE(QFile::link(outside.path(), pub + QStringLiteral("/top/a/outside")));
    connectTo(vsftpd.port(), vsftpd.user(), vsftpd.password(), QStringLiteral("pub"));

    window.remoteRows = {FakeKarvoWindow::folder(QStringLiteral("top"))};
    answer({Answer::Yes});
    RemoteOperations(window).Delete();
    EXPECT_TRUE(window.log.isEmpty()) << window.log.join(u'\n').toStdString();
    EXPECT_FALSE(QFileInfo::exists(pub + QStringLiteral("/top")));
    EXPECT_EQ(readWholeFile(outside.filePath(QStringLiteral("precious.txt"))), "outside");

    makeFiles(local_.path(), kTree);
    window.localRows = {FakeKarvoWindow::folder(QStringLiteral("top"))};
    mode.choose(TransferMode::Auto);
    answer({Answer::Yes});
    UploadSelection(window, mode).Upload();
    EXPECT_EQ(window.status.last(), QStringLiteral("Upload complete")) << window.log.join(u'\n').toStdString();
    EXPECT_EQ(treeOf(pub + QStringLiteral("/top")), treeOf(localPath(QStringLiteral("top"))));
}

}  // namespace
