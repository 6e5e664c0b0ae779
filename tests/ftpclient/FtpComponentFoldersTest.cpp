// Listings and folder trees against the scripted server: hostile and foreign
// listings, links, the per-file representation, and the way back to the
// starting folder.
#include "ScriptedComponentFixture.h"


namespace {

QByteArray unixLine(const char* mode, const QByteArray& name, qint64 size = 5) {
    return QByteArray(mode) + " 1 ftp ftp " + QByteArray::number(size) + " Jan 01 00:00 " + name + "\r\n";
}

TEST_F(ScriptedComponentFixture, HostileNamesNeverLeaveTheChosenFolder) {
    QTemporaryDir outer;
    const QString target = QDir(outer.path()).filePath(QStringLiteral("inside"));
    server.addFile(QStringLiteral("tree/ok.txt"), "fine");
    server.addFile(QStringLiteral("escape"), "outside");
    server.addFile(QStringLiteral("etc/x"), "absolute");
    server.setListing(QStringLiteral("/tree"),
                      unixLine("-rw-r--r--", "../escape") + unixLine("-rw-r--r--", "/etc/x") +
                          unixLine("-rw-r--r--", "a/b") + unixLine("drwxr-xr-x", "..") +
                          unixLine("drwxr-xr-x", ".") + unixLine("drwxr-xr-x", "../../up") +
                          unixLine("lrwxrwxrwx", "evil -> /etc") + unixLine("-rw-r--r--", "ok.txt", 4));
    connectOk();
    EXPECT_EQ(ftp.receiveFiles(QStringLiteral("tree/*"), target, true), std::nullopt);
    EXPECT_EQ(QDir(outer.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("inside")});
    EXPECT_EQ(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("ok.txt")});
    EXPECT_EQ(readFile(QDir(target).filePath(QStringLiteral("ok.txt"))), QByteArray("fine"));
    const QList<QPair<QString, qint32>> expected = {
        {QStringLiteral("../escape"), FtpComponent::kUnsafeName}, {QStringLiteral("/etc/x"), FtpComponent::kUnsafeName},
        {QStringLiteral("a/b"), FtpComponent::kUnsafeName},       {QStringLiteral("../../up"), FtpComponent::kUnsafeName},
        {QStringLiteral("evil"), FtpComponent::kLinkNotFollowed},
    };
    EXPECT_EQ(skipped, expected);
    for (const QByteArray& line : sent()) {
        EXPECT_FALSE(line.startsWith("RETR ") && line != "RETR ok.txt") << line.toStdString();
        EXPECT_FALSE(line.startsWith("CWD") && line.contains("evil")) << line.toStdString();
    }
}

TEST_F(ScriptedComponentFixture, DosListingsAreMirroredWithTheirSubfolders) {
    server.addFile(QStringLiteral("win/readme.txt"), "dos text");
    server.addFile(QStringLiteral("win/Sub Dir/data.bin"), patternBytes(5000, 3));
    server.setListing(QStringLiteral("/win"),
                      "03-05-24  02:07PM       <DIR>          Sub Dir\r\n"
                      "12-31-99  11:59AM                    8 readme.txt\r\n");
    server.setListing(QStringLiteral("/win/Sub Dir"), "06-15-2024  18:45               5000 data.bin\r\n");
    connectOk();
    EXPECT_EQ(ftp.receiveFiles(QStringLiteral("/win/*"), local.path(), true), std::nullopt);
    EXPECT_EQ(readFile(localPath(QStringLiteral("readme.txt"))), QByteArray("dos text"));
    EXPECT_TRUE(readFile(localPath(QStringLiteral("Sub Dir/data.bin"))) == patternBytes(5000, 3));
}

TEST_F(ScriptedComponentFixture, NamesThatAreNotUtf8GoBackToTheServerByteForByte) {
    // The server's file is "café.txt" in Latin-1: one byte 0xE9.
    server.addFile(QString::fromLatin1("l/caf\xe9.txt"), "latin");
    server.setListing(QStringLiteral("/l"), unixLine("-rw-r--r--", "caf\xe9.txt"));
    connectOk();
    EXPECT_EQ(ftp.receiveFiles(QStringLiteral("l/*"), local.path(), false), std::nullopt);
    EXPECT_EQ(readFile(localPath(QStringLiteral("café.txt"))), QByteArray("latin"));
    EXPECT_TRUE(sent().contains("RETR caf\xe9.txt"));
    ASSERT_EQ(ftp.changeFolder(QStringLiteral("/l")), std::nullopt);
    QList<FtpItem> items;
    ASSERT_EQ(ftp.folderContents(QString(), 0, items), std::nullopt);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].name, QStringLiteral("café.txt"));
    EXPECT_EQ(ftp.deleteFile(items[0].name), std::nullopt);
    EXPECT_TRUE(sent().contains("DELE caf\xe9.txt"));
    EXPECT_TRUE(server.files().isEmpty());
}

TEST_F(ScriptedComponentFixture, InAutoModeEveryFileGetsItsOwnRepresentation) {
    server.addFile(QStringLiteral("mix/a.TXT"), "one\r\ntwo\r\n");
    server.addFile(QStringLiteral("mix/b.bin"), "bin\r\nary\r\n");
    server.addFile(QStringLiteral("mix/c.txt"), "three\r\n");
    ftp.autoAsciiExtensions = {QStringLiteral("txt"), QStringLiteral("log")};
    ftp.representation = 1;  // not used for files in auto mode
    connectOk();
    ASSERT_EQ(ftp.receiveFiles(QStringLiteral("mix/*"), local.path(), false), std::nullopt);
    EXPECT_EQ(readFile(localPath(QStringLiteral("a.TXT"))), QByteArray("one\ntwo\n"));
    EXPECT_EQ(readFile(localPath(QStringLiteral("b.bin"))), QByteArray("bin\r\nary\r\n"));
    EXPECT_EQ(readFile(localPath(QStringLiteral("c.txt"))), QByteArray("three\n"));
    // TYPE is sent only when it changes, and always before the file that needs it.
    QList<QByteArray> types;
    for (const QByteArray& line : sent()) {
        if (line.startsWith("TYPE ") || line.startsWith("RETR ")) types << line;
    }
    EXPECT_EQ(types, (QList<QByteArray>{"TYPE I", "TYPE A", "RETR a.TXT", "TYPE I", "RETR b.bin", "TYPE A",
                                         "RETR c.txt"}));

    ASSERT_TRUE(QDir().mkpath(localPath(QStringLiteral("up"))));
    ASSERT_TRUE(writeWholeFile(localPath(QStringLiteral("up/n.log")), "x\n"));
    ASSERT_TRUE(writeWholeFile(localPath(QStringLiteral("up/p.png")), "\x89PNG\n"));
    server.addFolder(QStringLiteral("in"));
    ASSERT_EQ(ftp.sendFiles(localPath(QStringLiteral("up/*")), QStringLiteral("/in"), false, false), std::nullopt);
    EXPECT_EQ(server.files().value(QStringLiteral("/in/n.log")), QByteArray("x\r\n"));
    EXPECT_EQ(server.files().value(QStringLiteral("/in/p.png")), QByteArray("\x89PNG\n"));
}

TEST_F(ScriptedComponentFixture, FolderWalksNeverFollowLinksAndAlwaysReturnToTheStart) {
    server.addFolder(QStringLiteral("start"));
    server.addFile(QStringLiteral("tree/a/one.bin"), "1");
    server.addFile(QStringLiteral("tree/a/deep/two.bin"), "2");
    server.addFile(QStringLiteral("tree/b/three.bin"), "3");
    server.setListing(QStringLiteral("/tree"), unixLine("drwxr-xr-x", "a") + unixLine("lrwxrwxrwx", "loop -> .") +
                                                   unixLine("drwxr-xr-x", "b"));
    server.queueReplies("RETR", {ScriptedFtpServer::Reply::standard(), ScriptedFtpServer::Reply::standard(),
                                 "550 Permission denied.\r\n"});
    connectOk();
    ASSERT_EQ(ftp.changeFolder(QStringLiteral("/start")), std::nullopt);
    const FtpResult result = ftp.receiveFiles(QStringLiteral("/tree/*"), local.path(), true);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->description, QStringLiteral("550 Permission denied."));
    EXPECT_FALSE(sent().contains("CWD /tree/loop"));
    EXPECT_TRUE(skipped.contains(qMakePair(QStringLiteral("loop"), qint32(FtpComponent::kLinkNotFollowed))));
    EXPECT_EQ(sent().last(), QByteArray("CWD /start"));
    QString folder;
    EXPECT_EQ(ftp.currentFolder(folder), std::nullopt);
    EXPECT_EQ(folder, QStringLiteral("/start"));

    // Up: a local link to a folder is not followed; a refused upload deep in
    // the tree still ends in the starting folder.
    QTemporaryDir tree;
    QDir(tree.path()).mkpath(QStringLiteral("x/y"));
    writeWholeFile(tree.filePath(QStringLiteral("x/y/f.bin")), "f");
    QFile::link(QStringLiteral("/"), tree.filePath(QStringLiteral("x/root-link")));
    server.onCommand("STOR", "553 Could not create file.\r\n");
    skipped.clear();
    const FtpResult up = ftp.sendFiles(tree.filePath(QStringLiteral("*")), QStringLiteral("dest"), true, true);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->description, QStringLiteral("553 Could not create file."));
    EXPECT_TRUE(skipped.contains(qMakePair(tree.filePath(QStringLiteral("x/root-link")), qint32(FtpComponent::kLinkNotFollowed))));
    EXPECT_EQ(sent().last(), QByteArray("CWD /start"));
}

TEST_F(ScriptedComponentFixture, ListingEventsHonourTheMaskAndMlsdIsUsedWhenAsked) {
    server.onCommand("FEAT", "211-Features:\r\n MLST type*;size*;modify*;\r\n211 End\r\n");
    server.addFile(QStringLiteral("a.txt"), "12");
    server.addFile(QStringLiteral("b.BIN"), "345");
    server.addFolder(QStringLiteral("folder"));
    connectOk();
    QStringList names;
    QObject::connect(&ftp, &FtpComponent::listingItem,
                     [&](const QString& name, const QDateTime&, qint64 size, int type) {
                         names << QStringLiteral("%1 %2 %3").arg(name).arg(size).arg(type);
                     });
    EXPECT_EQ(ftp.listFolder(QStringLiteral("*.bin")), std::nullopt);
    EXPECT_EQ(names, QStringList{QStringLiteral("b.BIN 3 0")});
    EXPECT_TRUE(sent().contains("LIST"));
    names.clear();
    ftp.listingOption = 2;
    EXPECT_EQ(ftp.listFolder(QString()), std::nullopt);
    EXPECT_EQ(names, (QStringList{QStringLiteral("a.txt 2 0"), QStringLiteral("b.BIN 3 0"), QStringLiteral("folder 0 1")}));
    EXPECT_TRUE(sent().contains("MLSD"));
}

}  // namespace

namespace {

TEST_F(ScriptedComponentFixture, AFolderWalkJudgesEachFileByItsListedSize) {
    server.addFile(QStringLiteral("t/cut.bin"), patternBytes(5000, 8));
    ScriptedFtpTransfer shortOne;
    shortOne.closeAfter = 1000;
    shortOne.opening = "150 Opening BINARY mode data connection.\r\n";
    server.setTransfer(shortOne);
    connectOk();
    const FtpResult result = ftp.receiveFiles(QStringLiteral("t/*"), local.path(), false);
    EXPECT_EQ(number(result), FtpErrors::kShortTransfer);
    EXPECT_FALSE(QFile::exists(localPath(QStringLiteral("cut.bin"))));
    for (const QByteArray& line : sent()) EXPECT_FALSE(line.startsWith("SIZE")) << line.toStdString();
}

}  // namespace
