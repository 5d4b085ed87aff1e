#pragma once
// The companion page's status lamp ("companion-status-dot"): green while a companion is connected,
// else the secondary colour at half opacity.
//
// Threads: main thread only. The theme controller must outlive the lamp.
#include <QWidget>

namespace quellor {

class ThemeController;

class CompanionStatusDotWidget : public QWidget {
    Q_OBJECT
public:
    CompanionStatusDotWidget(ThemeController& themes, QWidget* parent);

    void setConnected(bool on);
    bool isConnected() const { return connected_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeController& themes_;
    bool connected_ = false;
};

}  // namespace quellor
