// The desktop program's parts together: a download from a real nginx through the
// main window, its row moving to the Complete list, and the lists after a restart.
#include "FaceFixture.h"
#include "common/QStringPrinter.h"
#include "queue/faces/ReportView.h"
#include "queue/faces/frmDownloadFace.h"
#include "support/NginxServer.h"
#include "support/Sha256.h"
#include "support/TestData.h"

#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

using EndToEndTest = FaceFixture;

TEST_F(EndToEndTest, ADownloadFromNginxEndsInTheCompleteListAndSurvivesARestart) {
    QTemporaryDir docs;
    QTemporaryDir downloads;
    ASSERT_TRUE(docs.isValid() && downloads.isValid());
    const QByteArray data = patternBytes(1'500'000, 55);
    ASSERT_TRUE(writeWholeFile(docs.filePath(QStringLiteral("file.bin")), data));
    NginxServer nginx({.documentRoot = docs.path()});
    ASSERT_TRUE(nginx.start()) << nginx.errorString().toStdString();

    const QDate firstDay = QDate::currentDate();
    ASSERT_TRUE(main->Startup());
    face->show();
    main->FlashCommand(QStringLiteral("IDC_FS_ShowB"));
    main->FlashCommand(QStringLiteral("IDC_FS_ShowC"));
    // "Download Successful."
    ScriptedDialogs::current().allowOkMessages();
    const QString url = nginx.url(QStringLiteral("file.bin"));
    const QString target = downloads.filePath(QStringLiteral("file.bin"));
    main->Queue.AddDownload(url, target, -1);
    ASSERT_EQ(face->DownloadFaces().size(), 1);
    EXPECT_EQ(face->lstMain->model()->rowCount(), 1);

    ASSERT_TRUE(waitFor([&] { return main->Queue.lstComplete.Count() == 1; }, 60000));
    EXPECT_EQ(main->Queue.lstMain.Count(), 0);
    const ListRowPtr done = main->Queue.lstComplete.At(0);
    EXPECT_EQ(done->SmallIcon, 4);
    EXPECT_EQ(done->SubItem(1), target);
    EXPECT_EQ(done->SubItem(5), QStringLiteral("Download Success"));
    EXPECT_EQ(done->SubItem(6), url);
    EXPECT_EQ(face->lstComplete->model()->rowCount(), 1);
    EXPECT_EQ(face->lstComplete->model()->index(0, 5).data().toString(),
              QStringLiteral("Download Success"));
    EXPECT_EQ(sha256OfFile(target), sha256Hex(data));
    const QStringList saved = {done->SubItem(1), done->SubItem(2), done->SubItem(3),
                               done->SubItem(4), done->SubItem(5), done->SubItem(6)};

    face->close();
    EXPECT_EQ(quits, 1);
    destroy();

    create();
    ASSERT_TRUE(main->Startup());
    ASSERT_EQ(main->Queue.lstComplete.Count(), 1);
    EXPECT_EQ(main->Queue.lstMain.Count(), 0);
    const ListRowPtr again = main->Queue.lstComplete.At(0);
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(again->SubItem(k), saved[k - 1]) << k;
    // The day of the save, which may be the day after the start.
    const auto shortDate = [](QDate day) { return QLocale().toString(day, QLocale::ShortFormat); };
    EXPECT_THAT(again->SubItem(7),
                testing::AnyOf(shortDate(firstDay), shortDate(QDate::currentDate())));
    EXPECT_EQ(face->lstComplete->model()->rowCount(), 1);
    EXPECT_EQ(face->lstComplete->model()->index(0, 1).data().toString(), target);
}

}  // namespace
