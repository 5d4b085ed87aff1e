#pragma once
// The segmented control of the settings pages, painted in the theme's colours: a joined row of
// exclusive segments, the chosen one filled with the brand colour.
//
// Threads: main thread only.
#include <QPushButton>
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;

namespace quellor {

class ThemeController;

class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedControl(ThemeController& themes, QWidget* parent = nullptr);

    // Appends a checkable segment; its id in group() is its position.
    QPushButton* addSegment(const QString& title, const QString& objectName);
    QButtonGroup* group() const { return group_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
    QHBoxLayout* row_;
    QButtonGroup* group_;
};

}  // namespace quellor
