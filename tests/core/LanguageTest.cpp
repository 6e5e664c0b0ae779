#include "CoreFixture.h"

#include "core/Language.h"
#include "core/modGlobalVariables.h"

#include <gtest/gtest.h>
#include <QDir>
#include <fcntl.h>
#include <sys/stat.h>
#include <QRegularExpression>

namespace {

class LanguageTest : public CoreFixture {
protected:
    static QString errorLog() { return AppFilePath(QStringLiteral("errorlog.txt")); }

    void writeLanguageFile(const QByteArray& content) {
        ASSERT_TRUE(QDir().mkpath(LanguageFolder()));
        writeFile(LanguageFolder() + LangFile, content);
    }

    LanguageTest() { LangFile = QStringLiteral("Deutsch.ini"); }
};

TEST_F(LanguageTest, WithoutLanguageFolderEveryTextIsTheDefaultAndNothingIsLogged) {
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("04012"), QStringLiteral("&Pause")),
              QStringLiteral("&Pause"));
    LangFile.clear();
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("04012"), QStringLiteral("&Pause")),
              QStringLiteral("&Pause"));
    EXPECT_FALSE(QFile::exists(errorLog()));
}

TEST_F(LanguageTest, TextsComeFromSectionZu) {
    writeLanguageFile(
        "[Other]\r\n04012=Wrong\r\n"
        "[Zu]\r\n04012=&Pause (de)   \r\n04013=\r\n04014=Stopp\t \r\n04015=  leading\r\n");
    EXPECT_EQ(LanguageFolder(), AppPaths::programFolder() + QStringLiteral("/Lang-I/"));
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("04012"), QStringLiteral("&Pause")),
              QStringLiteral("&Pause (de)"));
    // Present but empty is empty, not the default.
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("04013"), QStringLiteral("&Resume")), QString());
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("04014"), QStringLiteral("&Stop")),
              QStringLiteral("Stopp"));
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("99999"), QStringLiteral("Default")),
              QStringLiteral("Default"));
    EXPECT_FALSE(QFile::exists(errorLog()));
}

// A text looked up again comes from memory while the file stays as it was; an
// edited file, or another language, is read anew.
TEST_F(LanguageTest, TextsAreReadOnceAndAgainWhenTheFileOrLanguageChanges) {
    const auto lookup = [] { return SetCaptionfromINI(QStringLiteral("01008"), QStringLiteral("Total:")); };
    writeLanguageFile("[Zu]\r\n01008=Gesamtrate:\r\n");
    EXPECT_EQ(lookup(), QStringLiteral("Gesamtrate:"));
    // Same size, same modification time: taken as the file already read.
    const QByteArray name = QFile::encodeName(LanguageFolder() + LangFile);
    struct stat before {};
    ASSERT_EQ(::stat(name.constData(), &before), 0);
    writeLanguageFile("[Zu]\r\n01008=Summenrate:\r\n");
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
    EXPECT_EQ(lookup(), QStringLiteral("Gesamtrate:"));
    writeLanguageFile("[Zu]\r\n01008=Neue Rate:\r\n");
    EXPECT_EQ(lookup(), QStringLiteral("Neue Rate:"));
    LangFile = QStringLiteral("Francais.ini");
    writeLanguageFile("[Zu]\r\n01008=Taux total :\r\n");
    EXPECT_EQ(lookup(), QStringLiteral("Taux total :"));
}

TEST_F(LanguageTest, LongValuesAreCutTo499Characters) {
    const QByteArray value = QByteArray(300, 'a') + QByteArray(300, 'b');
    writeLanguageFile("[Zu]\r\n11031=" + value + "\r\n");
    const QString text = SetCaptionfromINI(QStringLiteral("11031"), QStringLiteral("x"));
    EXPECT_EQ(text, QString::fromLatin1(value.left(499)));
}

TEST_F(LanguageTest, AFileThatCannotBeReadIsLoggedAndYieldsNothing) {
    ASSERT_TRUE(QDir().mkpath(LanguageFolder() + LangFile));
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("04012"), QStringLiteral("&Pause")), QString());
    EXPECT_EQ(SetCaptionfromINI(QStringLiteral("04013"), QStringLiteral("&Resume")), QString());

    const QString log = QString::fromUtf8(readFile(errorLog()));
    static const QRegularExpression entry(QStringLiteral(
        "^\\r\\nDate: \\d{4}-\\d\\d-\\d\\d\\tTime: \\d\\d:\\d\\d:\\d\\d\\t"
        "Error Description: Is a directory, Error Number: 21, Method: SetCaptionfromINI\\r\\n$"));
    const QStringList entries = log.split(QStringLiteral("\r\n\r\n"));
    ASSERT_EQ(entries.size(), 2) << qPrintable(log);
    EXPECT_TRUE(entry.match(entries[0] + QStringLiteral("\r\n")).hasMatch()) << qPrintable(log);
    EXPECT_TRUE(entry.match(QStringLiteral("\r\n") + entries[1]).hasMatch()) << qPrintable(log);
}

TEST_F(LanguageTest, ErrorLogEntriesAreAppended) {
    writeFile(errorLog(), "earlier\r\n");
    WriteErrorLog(QStringLiteral("Something"), 7, QStringLiteral("SetCaptionfromINI"));
    const QByteArray log = readFile(errorLog());
    EXPECT_TRUE(log.startsWith("earlier\r\n\r\nDate: "));
    EXPECT_TRUE(
        log.endsWith("\tError Description: Something, Error Number: 7, "
                     "Method: SetCaptionfromINI\r\n"));
}

}  // namespace
