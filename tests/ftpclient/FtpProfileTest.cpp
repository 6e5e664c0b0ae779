// Site profile files: every key round-trips, the scrambled form is the stored
// one, the buffers cut what is read, and what would not come back whole is
// refused before anything is written.
#include "common/QStringPrinter.h"
#include "ftpclient/profiles/FtpProfile.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using karvo::FtpProfile;

namespace {

int fileMode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

FtpProfile sample() {
    FtpProfile profile;
    profile.sname = QStringLiteral("Work server");
    profile.adresa = QStringLiteral("ftp.example.org");
    profile.id = QStringLiteral("jürgen");
    profile.pass = QStringLiteral("p\"a=s;s w[0]rd");
    profile.Passive = true;
    profile.port = QStringLiteral("2121");
    return profile;
}

TEST(FtpProfileTest, EveryKeyRoundTripsInItsOrderWithTheUserAndPasswordScrambled) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Work server.Profile"));
    const FtpProfile profile = sample();
    ASSERT_TRUE(profile.Write(path));
    // The scrambled form is every code raised by 10 ("j" 106 → "t" 116, "ü" 252 → 262 "Ć").
    const QByteArray expected =
        QStringLiteral(
            "[PROFILE]\r\nsname=Work server\r\nadresa=ftp.example.org\r\nid=t\u0106|qox\r\n"
            "Passive=1\r\npass=z,kG}E}*\u0081e:g|n\r\nport=2121\r\n")
            .toUtf8();
    EXPECT_EQ(readWholeFile(path), expected);
    EXPECT_EQ(fileMode(path), 0600);

    const FtpProfile back = FtpProfile::Read(path);
    EXPECT_EQ(back.sname, profile.sname);
    EXPECT_EQ(back.adresa, profile.adresa);
    EXPECT_EQ(back.id, profile.id);
    EXPECT_EQ(back.pass, profile.pass);
    EXPECT_TRUE(back.Passive);
    EXPECT_EQ(back.port, profile.port);

    // Saving again updates the keys in place, keeps the user's other lines and
    // the mode the user gave the file.
    ASSERT_TRUE(writeWholeFile(path, readWholeFile(path) + "; kept\r\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    FtpProfile changed = profile;
    changed.pass.clear();
    changed.Passive = false;
    ASSERT_TRUE(changed.Write(path));
    EXPECT_TRUE(readWholeFile(path).contains("\r\nPassive=0\r\npass=\r\nport=2121\r\n; kept\r\n"));
    EXPECT_EQ(fileMode(path), 0640);
    EXPECT_EQ(FtpProfile::Read(path).pass, QString());
}

TEST(FtpProfileTest, ReadingCutsAtTheBuffersAndMissingKeysAreEmpty) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("x.Profile"));
    const QString longText(80, u'a');
    ASSERT_TRUE(writeWholeFile(
        path, ("[profile]\r\nSNAME=" + longText + "\r\nadresa=" + longText + "\r\n").toUtf8()));
    const FtpProfile profile = FtpProfile::Read(path);
    EXPECT_EQ(profile.sname, QString(49, u'a'));
    EXPECT_EQ(profile.adresa, QString(74, u'a'));
    EXPECT_EQ(profile.id, QString());
    EXPECT_EQ(profile.pass, QString());
    EXPECT_FALSE(profile.Passive);
    EXPECT_EQ(FtpProfile::Read(folder.filePath(QStringLiteral("missing.Profile"))).adresa,
              QString());
}

TEST(FtpProfileTest, ScramblingTable) {
    struct Row {
        QString plain;
        QString stored;
    };
    const Row rows[] = {
        {QStringLiteral("anonymous"), QStringLiteral("kxyx\u0083wy\u007f}")},
        {QString(), QString()},
        {QStringLiteral("A1 "), QStringLiteral("K;*")},
        // Beyond the basic plane: one character, two UTF-16 units.
        {QStringLiteral("\U0001F600"), QStringLiteral("\U0001F60A")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FtpProfile::Scramble(row.plain), row.stored) << row.plain.toStdString();
        EXPECT_EQ(FtpProfile::Unscramble(row.stored), row.plain) << row.plain.toStdString();
    }
    // Unscrambling stops at a NUL and leaves codes below 10 as they are.
    EXPECT_EQ(FtpProfile::Unscramble(QStringLiteral("kx") + QChar(u'\0') + QStringLiteral("kx")),
              QStringLiteral("an"));
    EXPECT_EQ(FtpProfile::Unscramble(QStringLiteral("\x05k")), QStringLiteral("\x05"
                                                                              "a"));
    // The character below the surrogates has no scrambled form.
    EXPECT_EQ(FtpProfile::Scramble(QString(QChar(0xD7F9))), std::nullopt);
}

TEST(FtpProfileTest, CheckRefusesWhatWouldNotReadBackWhole) {
    using Problem = FtpProfile::Problem;
    struct Row {
        const char* name;
        std::function<void(FtpProfile&)> change;
        Problem problem;
    };
    const Row rows[] = {
        {"sound", [](FtpProfile&) {}, Problem::None},
        {"49 characters", [](FtpProfile& p) { p.sname = QString(49, u'n'); }, Problem::None},
        {"name with slash", [](FtpProfile& p) { p.sname = QStringLiteral("a/b"); }, Problem::Name},
        {"name dot dot", [](FtpProfile& p) { p.sname = QStringLiteral(".."); }, Problem::Name},
        {"hidden name", [](FtpProfile& p) { p.sname = QStringLiteral(".site"); }, Problem::Name},
        {"name with NUL", [](FtpProfile& p) { p.sname = QStringLiteral("a") + QChar(u'\0'); },
         Problem::Name},
        {"name with line break", [](FtpProfile& p) { p.sname = QStringLiteral("a\nb"); },
         Problem::Name},
        {"50 character name", [](FtpProfile& p) { p.sname = QString(50, u'n'); }, Problem::Name},
        {"74 character host", [](FtpProfile& p) { p.adresa = QString(74, u'h'); }, Problem::None},
        {"75 character host", [](FtpProfile& p) { p.adresa = QString(75, u'h'); }, Problem::Host},
        {"50 character user", [](FtpProfile& p) { p.id = QString(50, u'u'); }, Problem::UserName},
        {"password that scrambles to a blank at its end",
         [](FtpProfile& p) { p.pass = QStringLiteral("pw\x16"); }, Problem::Password},
        // "{" scrambles to U+0085, a line break for some readers, but the
        // profile reader keeps it.
        {"password ending in brace", [](FtpProfile& p) { p.pass = QStringLiteral("pw{"); },
         Problem::None},
        {"password without a scrambled form",
         [](FtpProfile& p) { p.pass = QString(QChar(0xD7FA)); }, Problem::Password},
        {"password that scrambles to a line break",
         [](FtpProfile& p) { p.pass = QStringLiteral("a\x03"); }, Problem::Password},
        {"long port", [](FtpProfile& p) { p.port = QString(50, u'1'); }, Problem::Port},
    };
    for (const Row& row : rows) {
        FtpProfile profile = sample();
        row.change(profile);
        EXPECT_EQ(int(profile.Check()), int(row.problem)) << row.name;
    }
}

}  // namespace
