// SIGTERM, SIGINT and SIGHUP arrive on the event loop.
#include "common/TerminationSignals.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

namespace {

TEST(TerminationSignalsTest, EachSignalArrivesOnTheEventLoop) {
    TerminationSignals terminations;
    QSignalSpy received(&terminations, &TerminationSignals::received);
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
        received.clear();
        ASSERT_EQ(::raise(number), 0);
        // The handler only notes it; the loop delivers it.
        EXPECT_EQ(received.count(), 0);
        ASSERT_TRUE(waitFor([&] { return received.count() == 1; })) << number;
        EXPECT_EQ(received[0][0].toInt(), number);
    }
}

TEST(TerminationSignalsTest, ThePreviousHandlersComeBack) {
    struct sigaction before {};
    ::sigaction(SIGTERM, nullptr, &before);
    {
        TerminationSignals terminations;
        struct sigaction during {};
        ::sigaction(SIGTERM, nullptr, &during);
        EXPECT_NE(during.sa_handler, before.sa_handler);
    }
    struct sigaction after {};
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
