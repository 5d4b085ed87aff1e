#pragma once
// One segment of the segmented control: a checkable button, transparent unless chosen, where it is
// a brand-coloured pill inside the control's row.
//
// Threads: main thread only. The theme controller must outlive the segment.
#include <QPushButton>

namespace quellor {

class ThemeController;

class SegmentWidget : public QPushButton {
    Q_OBJECT
public:
    SegmentWidget(ThemeController& themes, const QString& title, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
};

}  // namespace quellor
