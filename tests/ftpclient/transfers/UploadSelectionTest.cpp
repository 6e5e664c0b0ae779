// The upload of a selection: the existing-file rules as a table, then the same
// rules end to end against the scripted server (what is asked, what goes over
// the wire, what the server holds afterwards), and the transfer type per file.
#include "FakeKarvoWindow.h"
#include "ftpclient/ScriptedComponentFixture.h"
#include "ftpclient/transfers/TransferMode.h"
#include "ftpclient/transfers/UploadConflict.h"
#include "ftpclient/transfers/UploadSelection.h"
#include "support/ScriptedDialogs.h"

#include <QLocale>
#include <map>

namespace {

const QDateTime kNoon(QDate(2024, 5, 6), QTime(12, 0, 10));

struct DiffersRow {
    const char* name;
    qint64 localSize;
    QDateTime localTime;
    qint64 remoteSize;
    QDateTime remoteTime;
    bool differs;
};

TEST(UploadConflictTest, AsksWhenSizeOrMinuteDiffers) {
    const DiffersRow rows[] = {
        {"equal size, same minute", 10, kNoon, 10, kNoon.addSecs(-10), false},
        {"equal size, next minute", 10, kNoon, 10, kNoon.addSecs(60), true},
        {"size differs, same time", 10, kNoon, 11, kNoon, true},
        {"remote date unknown, equal size", 10, kNoon, 10, QDateTime(), false},
        {"remote date unknown, size differs", 10, kNoon, 9, QDateTime(), true},
    };
    for (const DiffersRow& row : rows) {
        EXPECT_EQ(UploadConflict::differs(row.localSize, row.localTime, row.remoteSize, row.remoteTime),
                  row.differs)
            << row.name;
    }
}

struct PlanRow {
    const char* name;
    int decision;
    qint64 localSize;
    qint64 remoteSize;
    UploadConflict::Plan::Action action;
    qint64 offset;
    bool resume;
    bool note;
};

TEST(UploadConflictTest, DecisionsBecomePlans) {
    using P = UploadConflict::Plan;
    const PlanRow rows[] = {
        {"overwrite sends whole", ExistAnswer::Overwrite, 100, 40, P::Send, 0, false, false},
        {"resume from a shorter remote file", ExistAnswer::Resume, 100, 40, P::Send, 40, true, false},
        {"resume from an empty remote file", ExistAnswer::Resume, 100, 0, P::Send, 0, true, false},
        {"resume onto an equal remote file is skipped", ExistAnswer::Resume, 100, 100, P::Skip, 0, false, true},
        {"resume onto a longer remote file is skipped", ExistAnswer::Resume, 100, 150, P::Skip, 0, false, true},
        {"skip", ExistAnswer::Skip, 100, 40, P::Skip, 0, false, false},
        {"cancel", ExistAnswer::Cancel, 100, 40, P::Cancel, 0, false, false},
    };
    for (const PlanRow& row : rows) {
        const P plan = UploadConflict::apply(row.decision, QStringLiteral("a.bin"), row.localSize, row.remoteSize);
        EXPECT_EQ(plan.action, row.action) << row.name;
        EXPECT_EQ(plan.offset, row.offset) << row.name;
        EXPECT_EQ(plan.resume, row.resume) << row.name;
        EXPECT_EQ(!plan.note.isEmpty(), row.note) << row.name;
    }
}

TEST(UploadConflictTest, DialogTexts) {
    QLocale::setDefault(QLocale::c());
    const QDateTime when(QDate(2024, 5, 6), QTime(12, 30));
    EXPECT_EQ(UploadConflict::sourceText(1234567, when),
              QStringLiteral("Source File Size: 1234567 Last Modified: ") +
                  QLocale().toString(when, QLocale::ShortFormat));
    EXPECT_EQ(UploadConflict::destinationText(5, when),
              QStringLiteral("Destination File Size: 5 Last Modified: ") +
                  QLocale().toString(when, QLocale::ShortFormat));
}

// --- End to end against the scripted server

struct UploadRow {
    const char* name;
    // Local files of the selection, in this order.
    std::vector<std::pair<const char*, QByteArray>> local;
    // Files on the server before.
    std::map<QString, QByteArray> remote;
    // Replaces the server's listing of "/" (dates of our choosing).
    QByteArray listing;
    QDateTime localTime;
    std::vector<ExistAnswer> answers;
    // REST, STOR and APPE lines, in order.
    QList<QByteArray> stores;
    QStringList log;
    QString status;
    // What the server holds afterwards, for the files named.
    std::map<QString, QByteArray> remoteAfter;
};

void PrintTo(const UploadRow& row, std::ostream* os) {
    *os << row.name;
}

const QByteArray kA = patternBytes(100, 1);
const QByteArray kB = patternBytes(100, 2);

class UploadSelectionTest : public ScriptedComponentFixture,
                            public ::testing::WithParamInterface<UploadRow> {
protected:
    FakeKarvoWindow window{ftp};
};

TEST_P(UploadSelectionTest, ResolvesConflictsAsTheRulesSay) {
    const UploadRow& row = GetParam();
    for (const auto& [path, data] : row.remote) server.addFile(path, data);
    if (!row.listing.isEmpty()) server.setListing(QStringLiteral("/"), row.listing);
    window.localFolder = local.path() + u'/';
    for (const auto& [name, data] : row.local) {
        const QString path = localPath(QString::fromLatin1(name));
        ASSERT_TRUE(writeWholeFile(path, data));
        if (row.localTime.isValid()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(row.localTime, QFileDevice::FileModificationTime));
        }
        window.localRows << FakeKarvoWindow::file(QString::fromLatin1(name));
    }
    window.existAnswers.assign(row.answers.begin(), row.answers.end());
    TransferMode mode(ftp);
    mode.choose(TransferMode::Binary);
    connectOk();

    UploadSelection(window, mode).Upload();

    EXPECT_TRUE(window.existAnswers.empty()) << "questions not asked";
    QList<QByteArray> stores;
    for (const QByteArray& line : sent())
        if (line.startsWith("REST") || line.startsWith("STOR") || line.startsWith("APPE")) stores << line;
    EXPECT_EQ(stores, row.stores);
    for (const QString& line : row.log) EXPECT_TRUE(window.log.contains(line)) << line.toStdString();
    EXPECT_EQ(window.status.value(window.status.size() - 1), row.status);
    for (const auto& [path, data] : row.remoteAfter)
        EXPECT_TRUE(server.files().value(path) == data) << path.toStdString();
    EXPECT_EQ(window.busyDepth, 0);
    EXPECT_FALSE(window.abortEnabled);
    EXPECT_EQ(window.remoteRefreshes, 1);
}

const QDateTime kListed(QDate(2021, 3, 5), QTime(0, 0, 40));

INSTANTIATE_TEST_SUITE_P(
    Rows, UploadSelectionTest,
    ::testing::Values(
        UploadRow{"EqualSizeAndDateIsSentAgainWithoutAQuestion",
                  {{"a.bin", kA}},
                  {},
                  "-rw-r--r-- 1 ftp ftp 100 Mar 05 2021 a.bin\r\n",
                  kListed,
                  {},
                  {"STOR a.bin"},
                  {},
                  "Upload complete",
                  {{"/a.bin", kA}}},
        UploadRow{"ApplyToAllAfterResumeResumesEveryLaterConflictAtItsRemoteSize",
                  {{"a.bin", kA}, {"b.bin", kB}},
                  {{"/a.bin", kA.left(40)}, {"/b.bin", kB.left(60)}},
                  {},
                  {},
                  {{ExistAnswer::Resume, true}},
                  {"REST 40", "STOR a.bin", "REST 60", "STOR b.bin"},
                  {},
                  "Upload complete",
                  {{"/a.bin", kA}, {"/b.bin", kB}}},
        UploadRow{"SkipLeavesOutThatFileOnly",
                  {{"a.bin", kA}, {"b.bin", kB}},
                  {{"/a.bin", "old"}},
                  {},
                  {},
                  {{ExistAnswer::Skip, false}},
                  {"STOR b.bin"},
                  {"Skiped sending file: a.bin"},
                  "Upload complete",
                  {{"/a.bin", "old"}, {"/b.bin", kB}}},
        UploadRow{"CancelEndsTheUploadAsAnAbort",
                  {{"a.bin", kA}, {"b.bin", kB}},
                  {{"/a.bin", "old"}},
                  {},
                  {},
                  {{ExistAnswer::Cancel, false}},
                  {},
                  {"Upload successfully aborted."},
                  "Upload aborted.",
                  {{"/a.bin", "old"}}},
        UploadRow{"ResumeForAllSkipsWhatItCannotContinue",
                  {{"a.bin", kA}, {"b.bin", kB}},
                  {{"/a.bin", kA.left(30)}, {"/b.bin", patternBytes(150, 9)}},
                  {},
                  {},
                  {{ExistAnswer::Resume, true}},
                  {"REST 30", "STOR a.bin"},
                  {"b.bin cannot be resumed: the remote file is not shorter than the local one.",
                   "Skiped sending file: b.bin"},
                  "Upload complete",
                  {{"/a.bin", kA}, {"/b.bin", patternBytes(150, 9)}}},
        UploadRow{"OverwriteStoresTheWholeFileWithoutAppending",
                  {{"a.bin", kA}},
                  {{"/a.bin", "garbage"}},
                  {},
                  {},
                  {{ExistAnswer::Overwrite, false}},
                  {"STOR a.bin"},
                  {},
                  "Upload complete",
                  {{"/a.bin", kA}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UploadSelectionTest, ResumeIsOfferedOnlyFromAShorterRemoteFile) {
    server.addFile(QStringLiteral("a.bin"), patternBytes(200, 3));
    window.localFolder = local.path() + u'/';
    ASSERT_TRUE(writeWholeFile(localPath(QStringLiteral("a.bin")), kA));
    window.localRows << FakeKarvoWindow::file(QStringLiteral("a.bin"));
    window.existAnswers.push_back({ExistAnswer::Skip, false});
    TransferMode mode(ftp);
    connectOk();
    UploadSelection(window, mode).Upload();
    ASSERT_EQ(window.existAsked.size(), 1);
    EXPECT_EQ(window.existAsked[0].value(2), QStringLiteral("no resume"));
}

// In Auto mode every file of one selection goes by its own extension; "ASCII"
// and "Binary" send every file their way. ASCII turns LF into CR LF on the
// wire, which the scripted server keeps as it comes.
struct TypeRow {
    const char* name;
    TransferMode::Option option;
    std::map<QString, QByteArray> remoteAfter;
};

class TransferTypeTest : public ScriptedComponentFixture,
                         public ::testing::WithParamInterface<TypeRow> {};

TEST_P(TransferTypeTest, EachFileGoesAsItsChoiceSays) {
    FakeKarvoWindow window(ftp);
    window.localFolder = local.path() + u'/';
    for (const char* name : {"a.TXT", "b.exe", "c.html", "d.htm"}) {
        ASSERT_TRUE(writeWholeFile(localPath(QString::fromLatin1(name)), "x\ny\n"));
        window.localRows << FakeKarvoWindow::file(QString::fromLatin1(name));
    }
    TransferMode mode(ftp);
    mode.setAsciiExtensions({QStringLiteral("txt"), QStringLiteral("htm")});
    mode.choose(GetParam().option);
    connectOk();
    UploadSelection(window, mode).Upload();
    for (const auto& [path, data] : GetParam().remoteAfter)
        EXPECT_EQ(server.files().value(path), data) << path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TransferTypeTest,
    ::testing::Values(TypeRow{"Auto",
                              TransferMode::Auto,
                              {{"/a.TXT", "x\r\ny\r\n"},
                               {"/b.exe", "x\ny\n"},
                               {"/c.html", "x\ny\n"},
                               {"/d.htm", "x\r\ny\r\n"}}},
                      TypeRow{"Ascii",
                              TransferMode::Ascii,
                              {{"/a.TXT", "x\r\ny\r\n"},
                               {"/b.exe", "x\r\ny\r\n"},
                               {"/c.html", "x\r\ny\r\n"},
                               {"/d.htm", "x\r\ny\r\n"}}},
                      TypeRow{"Binary",
                              TransferMode::Binary,
                              {{"/a.TXT", "x\ny\n"},
                               {"/b.exe", "x\ny\n"},
                               {"/c.html", "x\ny\n"},
                               {"/d.htm", "x\ny\n"}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
