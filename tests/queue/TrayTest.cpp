// The notification-area control: its click filter and its properties.
#include "common/Tray.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

namespace {

TEST(TrayTest, EventModeIsClampedToZeroOrOne) {
    Tray tray;
    EXPECT_EQ(tray.EventMode(), 0);
    for (const auto& [set, read] : {std::pair{5, 1}, {1, 1}, {0, 0}, {-3, 0}, {2, 1}}) {
        tray.setEventMode(set);
        EXPECT_EQ(tray.EventMode(), read) << set;
    }
}

TEST(TrayTest, AClickIsSwallowedWhileTheLastOneIsBusy) {
    Tray tray;
    QSignalSpy left(&tray, &Tray::LeftClick);
    QSignalSpy right(&tray, &Tray::RightClick);
    QSignalSpy mouse(&tray, &Tray::MouseClick);

    // Moves and other buttons' messages do nothing and start no busy window.
    for (int message : {512, 514, 515, 517, 519}) tray.MouseMessage(message);
    EXPECT_FALSE(tray.Busy());
    EXPECT_EQ(left.count() + right.count() + mouse.count(), 0);

    tray.MouseMessage(Tray::kLeftButtonDown);
    EXPECT_EQ(left.count(), 1);
    EXPECT_TRUE(tray.Busy());
    EXPECT_TRUE(tray.tmrBusy.isActive());
    EXPECT_EQ(tray.tmrBusy.interval(), 15);
    tray.MouseMessage(Tray::kLeftButtonDown);
    tray.MouseMessage(Tray::kRightButtonDown);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(right.count(), 0);

    tray.tmrBusy_Timer();
    EXPECT_FALSE(tray.Busy());
    EXPECT_FALSE(tray.tmrBusy.isActive());
    tray.MouseMessage(Tray::kRightButtonDown);
    EXPECT_EQ(right.count(), 1);
    EXPECT_EQ(mouse.count(), 0);

    tray.tmrBusy_Timer();
    tray.setEventMode(1);
    tray.MouseMessage(Tray::kLeftButtonDown);
    tray.tmrBusy_Timer();
    tray.MouseMessage(Tray::kRightButtonDown);
    ASSERT_EQ(mouse.count(), 2);
    EXPECT_EQ(mouse[0][0].toInt(), 1);
    EXPECT_EQ(mouse[1][0].toInt(), 2);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(right.count(), 1);
}

TEST(TrayTest, TheBusyWindowEndsByItself) {
    Tray tray;
    tray.MouseMessage(Tray::kLeftButtonDown);
    QSignalSpy ended(&tray.tmrBusy, &QTimer::timeout);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_FALSE(tray.Busy());
}

TEST(TrayTest, TipTextAndVisibility) {
    Tray tray;
    EXPECT_EQ(tray.TipText(), QString());
    tray.TrayToolTip = QStringLiteral("Vornel Download Manager");
    EXPECT_EQ(tray.TipText(), QStringLiteral(" Vornel Download Manager "));
    EXPECT_FALSE(tray.IsVisible());
    tray.Show(true);
    EXPECT_TRUE(tray.IsVisible());
    tray.Show(true);
    EXPECT_TRUE(tray.IsVisible());
    tray.Show(false);
    EXPECT_FALSE(tray.IsVisible());
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    tray.setTrayImage(picture);
    EXPECT_FALSE(tray.TrayImage().isNull());
}

}  // namespace
