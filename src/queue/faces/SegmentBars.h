#pragma once

#include <QWidget>
#include <array>

class QProgressBar;
struct BarState;

// The progress bars of a download window: the overall bar on top and the
// per-segment bars below it, placed across the widget's width as their Left and
// Width (in twips of a 4600-twip row with 120 twips of margin) say.
class SegmentBars : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBars = 6;

    explicit SegmentBars(QWidget* parent = nullptr);

    void setBars(const BarState& overall, const std::array<BarState, kBars>& bars);
    QProgressBar* overall() const { return overall_; }
    QProgressBar* bar(int i) const { return bars_[i]; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QProgressBar* overall_;
    std::array<QProgressBar*, kBars> bars_{};
    std::array<int, kBars> left_{};
    std::array<int, kBars> width_{};
};
