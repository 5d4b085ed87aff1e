#pragma once
// The two painted controls of the settings pages, in the theme's colours: a segmented control (a
// joined row of exclusive segments, the chosen one filled with the brand colour) and a switch-style
// toggle (a track with a knob, brand-coloured while on, then its title).
//
// Threads: main thread only.
#include <QCheckBox>
#include <QPushButton>
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;

namespace quellor {

class ThemeController;

class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 24;

    explicit SegmentedControl(ThemeController& themes, QWidget* parent = nullptr);

    // Appends a checkable segment; its id in group() is its position.
    QPushButton* addSegment(const QString& title, const QString& objectName);
    QButtonGroup* group() const { return group_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    class Segment;
    ThemeController& themes_;
    QHBoxLayout* row_;
    QButtonGroup* group_;
};

class SwitchToggle : public QCheckBox {
    Q_OBJECT
public:
    static constexpr int kTrackWidth = 28;
    static constexpr int kTrackHeight = 16;
    static constexpr int kGap = 8;

    SwitchToggle(ThemeController& themes, const QString& title, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    ThemeController& themes_;
};

}  // namespace quellor
