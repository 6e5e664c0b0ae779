#include "queue/faces/SegmentBars.h"

#include "transfer/frmDownload.h"

#include <QProgressBar>

namespace {
// The row the bars were laid out for: 4600 twips of bars with 120 on either side.
constexpr double kRowTwips = 4840;
constexpr double kMarginTwips = 120;
constexpr double kBarsTwips = 4600;
constexpr int kBarHeight = 14;
constexpr int kGap = 5;

QProgressBar* newBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    bar->setFixedHeight(kBarHeight);
    bar->hide();
    return bar;
}

}  // namespace

SegmentBars::SegmentBars(QWidget* parent) : QWidget(parent), overall_(newBar(this)) {
    for (QProgressBar*& bar : bars_) bar = newBar(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SegmentBars::sizeHint() const {
    return QSize(320, 2 * kBarHeight + kGap);
}

void SegmentBars::setBars(const BarState& overall, const std::array<BarState, kBars>& bars) {
    overall_->setRange(0, overall.Max);
    overall_->setValue(qBound(0, overall.Value, overall.Max));
    overall_->setVisible(overall.Visible);
    for (int i = 0; i < kBars; ++i) {
        bars_[i]->setRange(0, bars[i].Max);
        bars_[i]->setValue(qBound(0, bars[i].Value, bars[i].Max));
        bars_[i]->setVisible(bars[i].Visible);
        left_[i] = bars[i].Left;
        width_[i] = bars[i].Width;
    }
    place();
}

void SegmentBars::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void SegmentBars::place() {
    const double scale = width() / kRowTwips;
    overall_->setGeometry(static_cast<int>(kMarginTwips * scale), 0,
                          static_cast<int>(kBarsTwips * scale), kBarHeight);
    // With the overall bar the segments sit below it.
    const int y = overall_->isHidden() ? 0 : kBarHeight + kGap;
    for (int i = 0; i < kBars; ++i) {
        const int x = static_cast<int>(left_[i] * scale);
        // One pixel of space between neighbouring bars.
        const int w = qMax(1, static_cast<int>(width_[i] * scale) - 1);
        bars_[i]->setGeometry(x, y, w, kBarHeight);
    }
}
