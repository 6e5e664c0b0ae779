#pragma once

#include <QString>
#include <array>

// The numbers of the permission dialog f2rmRemoteChangeMode: each of the nine
// boxes adds its weight while it is set (owner 400, 200, 100; group 40, 20,
// 10; other 4, 2, 1), so the number reads as the octal permission digits
// ("777" with every box set).
class ChangeMode {
public:
    enum Box {
        OwnerRead, OwnerWrite, OwnerExecute,
        GroupRead, GroupWrite, GroupExecute,
        OtherRead, OtherWrite, OtherExecute,
    };
    static constexpr int kBoxes = 9;

    static int weight(Box box);

    // A box set or cleared; setting a set box again changes nothing.
    void set(Box box, bool on);
    bool isSet(Box box) const { return boxes_[box]; }
    // txtNumericValue: "0" at first.
    QString txtNumericValue() const { return QString::number(value_); }

private:
    std::array<bool, kBoxes> boxes_{};
    int value_ = 0;
};
