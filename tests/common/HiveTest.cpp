// The hive file format: what we write byte for byte, and what we make of files that
// people or accidents wrote.
#include "common/Hive.h"

#include <gtest/gtest.h>

#include "QStringPrinter.h"

namespace {

const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\VornelKarvo\\Zu4.0");

QString valueOf(const Hive& hive, const QString& key, const QString& name) {
    return hive.value(key, name).value_or(QStringLiteral("<missing>"));
}

TEST(HiveTest, SerializesInTheRegeditFormat) {
    Hive hive;
    hive.setValue(kKey, QStringLiteral("Timeout"), QStringLiteral("60"));
    hive.setValue(kKey, QStringLiteral("ProxyServer"), QString());
    hive.setValue(kKey, QString(), QStringLiteral("the key's default value"));
    hive.ensureKey(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\VornelKarvo\\FTP4.0"));

    EXPECT_EQ(hive.serialize(), QByteArray("REGEDIT4\n"
                                           "\n"
                                           "[HKEY_LOCAL_MACHINE\\Software\\VornelKarvo\\Zu4.0]\n"
                                           "\"Timeout\"=\"60\"\n"
                                           "\"ProxyServer\"=\"\"\n"
                                           "@=\"the key's default value\"\n"
                                           "\n"
                                           "[HKEY_LOCAL_MACHINE\\Software\\VornelKarvo\\FTP4.0]\n"
                                           "\n"));
}

TEST(HiveTest, EscapesExactlyTheFiveCharactersAndReadsThemBack) {
    const QString tricky = QStringLiteral("C:\\dir \"quoted\"\nline2\r\ttab ü €");
    Hive hive;
    hive.setValue(kKey, QStringLiteral("na\"me\\"), tricky);

    const QByteArray text = hive.serialize();
    EXPECT_TRUE(
        text.contains("\"na\\\"me\\\\\"=\"C:\\\\dir \\\"quoted\\\"\\nline2\\r\\ttab "
                      "\xC3\xBC \xE2\x82\xAC\"\n"))
        << text.constData();
    EXPECT_EQ(valueOf(Hive::parse(text), kKey, QStringLiteral("NA\"ME\\")), tricky);
}

TEST(HiveTest, NamesMatchInAnyCaseAndKeepTheirFirstSpelling) {
    Hive hive =
        Hive::parse("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vornel]\n\"TimeOut\"=\"1\"\n");
    hive.setValue(QStringLiteral("hkey_local_machine\\SOFTWARE\\vornel"), QStringLiteral("TIMEOUT"),
                  QStringLiteral("2"));

    ASSERT_EQ(hive.keys().size(), 1u);
    EXPECT_EQ(hive.keys()[0].name, QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Vornel"));
    ASSERT_EQ(hive.keys()[0].values.size(), 1u);
    EXPECT_EQ(hive.keys()[0].values[0].name, QStringLiteral("TimeOut"));
    EXPECT_EQ(hive.keys()[0].values[0].data, QStringLiteral("2"));
}

TEST(HiveTest, ReadsHandWrittenFiles) {
    const QByteArray text =
        "REGEDIT4\r\n"
        "; written by hand\r\n"
        "\r\n"
        "  [HKEY_LOCAL_MACHINE\\A]  \r\n"
        "\"Path\"=\"C:\\Temp\"\r\n"  // unknown escape "\T" kept as written
        "\"Spaced\" = \"x\"\r\n"
        "@=\"default\"\r\n"
        "\"Number\"=dword:00000001\r\n"  // not a string value: ignored
        "[HKEY_LOCAL_MACHINE\\Empty]\r\n"
        "[hkey_local_machine\\a]\r\n"  // the same key again: merged into the first
        "\"path\"=\"second\"\r\n";
    const Hive hive = Hive::parse(text);

    ASSERT_EQ(hive.keys().size(), 2u);
    const QString a = QStringLiteral("HKEY_LOCAL_MACHINE\\A");
    EXPECT_EQ(valueOf(hive, a, QStringLiteral("Path")), QStringLiteral("second"));
    EXPECT_EQ(hive.keys()[0].values[0].name, QStringLiteral("Path"));
    EXPECT_EQ(valueOf(hive, a, QStringLiteral("Spaced")), QStringLiteral("x"));
    EXPECT_EQ(valueOf(hive, a, QString()), QStringLiteral("default"));
    EXPECT_FALSE(hive.value(a, QStringLiteral("Number")));
    EXPECT_NE(hive.findKey(QStringLiteral("HKEY_LOCAL_MACHINE\\EMPTY")), nullptr);
    EXPECT_EQ(valueOf(Hive::parse("[K]\n\"p\"=\"C:\\Temp\"\n"), "K", "p"), "C:\\Temp");
}

struct DamageCase {
    const char* what;
    QByteArray junk;
};

void PrintTo(const DamageCase& damage, std::ostream* out) {
    *out << damage.what;
}

class HiveDamageTest : public ::testing::TestWithParam<DamageCase> {};

// Whatever sits between two good keys, both keys and their values come through, and a
// rewrite of the parsed hive reads back the same.
TEST_P(HiveDamageTest, KeepsTheWellFormedPartsAroundTheDamage) {
    const QByteArray text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Lumet]\n\"Timeout\"=\"60\"\n" +
                            GetParam().junk +
                            "\n[HKEY_LOCAL_MACHINE\\Karvo]\n\"Port\"=\"21\"\n@=\"d\"\n";
    const Hive hive = Hive::parse(text);

    EXPECT_EQ(valueOf(hive, "HKEY_LOCAL_MACHINE\\Lumet", "Timeout"), "60");
    EXPECT_EQ(valueOf(hive, "HKEY_LOCAL_MACHINE\\Karvo", "Port"), "21");
    EXPECT_EQ(valueOf(hive, "HKEY_LOCAL_MACHINE\\Karvo", ""), "d");
    const QByteArray again = Hive::parse(hive.serialize()).serialize();
    EXPECT_EQ(again, hive.serialize());
}

QByteArray binaryJunk() {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i) junk += char((i * 7919) % 256);
    return junk;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HiveDamageTest,
    ::testing::Values(DamageCase{"UnclosedQuote", "\"Broken\"=\"no end\n\"Also=\"x\"\n"},
                      DamageCase{"UnclosedKey", "[HKEY_LOCAL_MACHINE\\Half\n\"In\"=\"half\"\n"},
                      DamageCase{"BinaryJunk", binaryJunk()},
                      DamageCase{"NulBytes", QByteArray("\"N\"=\"a\0b\"\n\0\0\0\n", 14)},
                      DamageCase{"InvalidUtf8", "\"Bad\"=\"\xC3\x28\xFF\xFE\xED\xA0\x80\"\n"},
                      DamageCase{"TenMegabyteLine", QByteArray(10 << 20, 'x')},
                      DamageCase{"TenMegabyteValue",
                                 "\"Huge\"=\"" + QByteArray(10 << 20, 'v') + "\"\n"},
                      DamageCase{"TrailingGarbage", "\"T\"=\"v\" junk\n[K] x\n"}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return info.param.what; });

TEST(HiveTest, ValueLinesBeforeAnyKeyOrAfterABrokenKeyBelongNowhere) {
    const Hive hive = Hive::parse(
        "\"Orphan\"=\"1\"\n[HKEY_LOCAL_MACHINE\\Good]\n\"A\"=\"1\"\n[Broken\n\"B\"=\"2\"\n");
    ASSERT_EQ(hive.keys().size(), 1u);
    ASSERT_EQ(hive.keys()[0].values.size(), 1u);
    EXPECT_EQ(hive.keys()[0].values[0].name, QStringLiteral("A"));
}

TEST(HiveTest, DamagedValuesInsideAKeyAreDroppedAndTheRestKept) {
    const Hive hive = Hive::parse("[K]\n\"Bad\"=\"x\\\"\n\"Utf\"=\"\xFF\"\n\"Good\"=\"1\"\n");
    EXPECT_FALSE(hive.value("K", "Bad"));
    EXPECT_EQ(valueOf(hive, "K", "Good"), "1");
    EXPECT_EQ(valueOf(hive, "K", "Utf"), QString(QChar::ReplacementCharacter));
}

TEST(HiveTest, SubkeysListDirectChildrenOnceEvenWithoutTheirOwnLine) {
    const Hive hive = Hive::parse(
        "[HKLM\\Soft\\A]\n[HKLM\\Soft\\b\\deep\\deeper]\n[HKLM\\soft\\a\\x]\n"
        "[HKLM\\Softer]\n[HKLM\\Soft\\C]\n");
    EXPECT_EQ(hive.subkeys("HKLM\\SOFT"), QStringList({"A", "b", "C"}));
    EXPECT_EQ(hive.subkeys("HKLM\\Soft\\B"), QStringList({"deep"}));
    EXPECT_TRUE(hive.subkeys("HKLM\\Soft\\C").isEmpty());
    EXPECT_TRUE(hive.subkeys("HKLM\\Missing").isEmpty());
}

TEST(HiveTest, RemovesAKeyWithEverythingBelowButNotItsNamesakes) {
    Hive hive = Hive::parse("[R\\Soft]\n[R\\Soft\\A]\n[R\\soft\\A\\B]\n[R\\Softer]\n\"v\"=\"1\"\n");
    EXPECT_TRUE(hive.removeKeyTree("r\\SOFT"));
    ASSERT_EQ(hive.keys().size(), 1u);
    EXPECT_EQ(hive.keys()[0].name, QStringLiteral("R\\Softer"));
    EXPECT_FALSE(hive.removeKeyTree("R\\Soft"));
}

}  // namespace
