// The host's side of the browser's native-messaging channel without a process:
// cutting the byte stream into messages, reading a message's fields, and the
// answers per browser window.
#include "browserhelper/KarvoIEHost.h"
#include "browserhelper/NativeMessageReader.h"
#include "browserhelper/NativeRequest.h"
#include "common/BrowserHelperIds.h"
#include "common/CRegister.h"
#include "common/QStringPrinter.h"
#include "core/modGlobalVariables.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

QList<QByteArray> readAll(const QByteArray& stream, qsizetype step) {
    NativeMessageReader reader;
    QList<QByteArray> messages;
    for (qsizetype at = 0; at < stream.size(); at += step) {
        reader.feed(stream.mid(at, step));
        while (auto message = reader.next()) messages << *message;
    }
    return messages;
}

// A frame's length field alone, in the machine's byte order.
QByteArray lengthOnly(quint32 length) {
    return QByteArray(reinterpret_cast<const char*>(&length), sizeof length);
}

TEST(NativeMessageReaderTest, MessagesComeOutWholeHoweverTheBytesArrive) {
    const QList<QByteArray> sent = {"{\"a\":1}", "", QByteArray(70000, 'x'), "{}"};
    QByteArray stream;
    for (const QByteArray& message : sent) stream += NativeMessageReader::frame(message);
    for (const qsizetype step : {qsizetype(1), qsizetype(3), qsizetype(4096), stream.size()})
        EXPECT_EQ(readAll(stream, step), sent) << "step " << step;

    NativeMessageReader reader;
    reader.feed(stream.left(stream.size() - 1));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(reader.next());
    EXPECT_FALSE(reader.next());
    EXPECT_EQ(reader.pendingBytes(), 4 + 2 - 1);
}

TEST(NativeMessageReaderTest, AnOversizedLengthStopsTheReader) {
    NativeMessageReader reader;
    const QByteArray limit(NativeMessageReader::kMaxMessageBytes, ' ');
    reader.feed(NativeMessageReader::frame(limit));
    EXPECT_EQ(reader.next(), limit);

    reader.feed(NativeMessageReader::frame("{}") +
                lengthOnly(NativeMessageReader::kMaxMessageBytes + 1) +
                NativeMessageReader::frame("{}"));
    EXPECT_EQ(reader.next(), QByteArray("{}"));
    EXPECT_FALSE(reader.next());
    EXPECT_TRUE(reader.oversized());
    EXPECT_EQ(reader.announcedLength(), NativeMessageReader::kMaxMessageBytes + 1);
    reader.feed(NativeMessageReader::frame("{}"));
    EXPECT_FALSE(reader.next());
}

struct RequestRow {
    const char* name;
    const char* json;
    NativeRequest::Type type;
    bool usable;
    const char* answer;  // to a message that is not acted on, or one of a window without helper
};

class NativeRequestTest : public ::testing::TestWithParam<RequestRow> {};

TEST_P(NativeRequestTest, IsReadOrRefusedAndAlwaysAnswered) {
    const RequestRow& row = GetParam();
    const NativeRequest request = NativeRequest::Parse(row.json);
    EXPECT_EQ(request.type, row.type);
    EXPECT_EQ(request.error.isEmpty(), row.usable) << request.error.toStdString();
    TempRoot root;  // KarvoIE not registered: no window gets a helper
    KarvoIEHost host([](const QString&) { return HandOverSender::Result::Taken; });
    EXPECT_EQ(host.Answer(row.json), QByteArray(row.answer));
}

using T = NativeRequest::Type;
INSTANTIATE_TEST_SUITE_P(
    Messages, NativeRequestTest,
    ::testing::Values(
        RequestRow{"attach", R"({"type":"attach","window":3,"id":1})", T::Attach, true,
                   R"({"cancel":false,"id":1})"},
        RequestRow{"detach_without_id", R"({"type":"detach","window":3})", T::Detach, true,
                   R"({"cancel":false})"},
        RequestRow{"navigate", R"({"type":"navigate","window":3,"url":"http://a/b.zip","id":"k"})",
                   T::Navigate, true, R"({"cancel":false,"id":"k"})"},
        RequestRow{"unknown_type", R"({"type":"menu","id":2})", T::Unknown, true,
                   R"({"cancel":false,"id":2})"},
        RequestRow{"not_json", "{\"type\":", T::Unknown, false, R"({"cancel":false})"},
        RequestRow{"empty", "", T::Unknown, false, R"({"cancel":false})"},
        RequestRow{"array", "[1,2]", T::Unknown, false, R"({"cancel":false})"},
        RequestRow{"no_type", R"({"id":4})", T::Unknown, false, R"({"cancel":false,"id":4})"},
        RequestRow{"no_window", R"({"type":"navigate","url":"http://a/b.zip","id":5})", T::Navigate,
                   false, R"({"cancel":false,"id":5})"},
        RequestRow{"window_not_whole", R"({"type":"attach","window":1.5,"id":6})", T::Attach, false,
                   R"({"cancel":false,"id":6})"},
        RequestRow{"no_url", R"({"type":"navigate","window":1,"id":7})", T::Navigate, false,
                   R"({"cancel":false,"id":7})"},
        RequestRow{"url_not_text", R"({"type":"navigate","window":1,"url":9,"id":8})", T::Navigate,
                   false, R"({"cancel":false,"id":8})"},
        RequestRow{"url_with_nul",
                   R"({"type":"navigate","window":1,"url":"http://a/\u0000b.zip","id":9})",
                   T::Navigate, false, R"({"cancel":false,"id":9})"},
        RequestRow{"method_not_text",
                   R"({"type":"navigate","window":1,"url":"http://a/b.zip","method":1,"id":10})",
                   T::Navigate, false, R"({"cancel":false,"id":10})"},
        RequestRow{"id_of_another_kind_dropped", R"({"type":"attach","window":1,"id":[1]})",
                   T::Attach, true, R"({"cancel":false})"}),
    [](const ::testing::TestParamInfo<RequestRow>& info) { return std::string(info.param.name); });

class KarvoIEHostTest : public ::testing::Test {
protected:
    void registerHelper() {
        ASSERT_TRUE(CRegister().REGSaveSetting(
            HKEY_LOCAL_MACHINE,
            BrowserHelperIds::kHelperObjectsKey + BrowserHelperIds::kClassId.toLower(), QString(),
            QString()));
    }
    QByteArray navigate(int window, const char* url, const char* method = nullptr) {
        QByteArray message = QByteArray(R"({"type":"navigate","id":1,"window":)") +
                             QByteArray::number(window) + R"(,"url":")" + url + '"';
        if (method) message += QByteArray(R"(,"method":")") + method + '"';
        return host.Answer(message + '}');
    }

    TempRoot root;
    QStringList handed;
    KarvoIEHost host{[this](const QString& address) {
        handed << address;
        return HandOverSender::Result::Taken;
    }};
    const QByteArray taken = R"({"cancel":true,"id":1})";
    const QByteArray kept = R"({"cancel":false,"id":1})";
};

TEST_F(KarvoIEHostTest, WindowsGetAHelperOnlyWhileKarvoIEIsRegistered) {
    EXPECT_EQ(navigate(1, "http://example.org/a.zip"), kept);
    registerHelper();
    // The window was attached before: it stays without a helper until it closes.
    EXPECT_EQ(navigate(1, "http://example.org/a.zip"), kept);
    EXPECT_EQ(navigate(2, "http://example.org/b.zip"), taken);
    host.Answer(R"({"type":"detach","window":1})");
    EXPECT_EQ(navigate(1, "http://example.org/c.zip"), taken);
    EXPECT_EQ(handed, (QStringList{"http://example.org/b.zip", "http://example.org/c.zip"}));
}

TEST_F(KarvoIEHostTest, EachWindowReadsClickCaptureWhenItOpens) {
    registerHelper();
    host.Answer(R"({"type":"attach","window":1})");
    ASSERT_TRUE(CRegister().REGSaveSetting(
        HKEY_LOCAL_MACHINE, kLumetKey, QStringLiteral("ClickCapture"), QStringLiteral("False")));
    host.Answer(R"({"type":"attach","window":2})");
    EXPECT_EQ(navigate(1, "http://example.org/a.zip"), taken);
    EXPECT_EQ(navigate(2, "http://example.org/a.zip"), kept);
}

TEST_F(KarvoIEHostTest, OnlyPlainGetNavigationsAreTaken) {
    registerHelper();
    EXPECT_EQ(navigate(1, "http://example.org/a.zip", "POST"), kept);
    EXPECT_EQ(navigate(1, "http://example.org/a.zip", "PUT"), kept);
    EXPECT_TRUE(handed.isEmpty());
    EXPECT_EQ(navigate(1, "http://example.org/a.zip", "get"), taken);
}

}  // namespace
