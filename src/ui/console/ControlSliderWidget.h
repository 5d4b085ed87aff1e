#pragma once
// The compact level control as a widget: it paints ControlSliderGeometry and ControlSliderLook and
// feeds its pointer input to ControlSliderGesture. It writes levels only through onLevel and shows
// the level its owner hands back with setLevel(): a level changed from elsewhere glides there, while
// a drag follows the pointer at once.
//
// It takes the whole width it is given and is as high as its owner sets (22 in every panel). It
// draws with the colours of the application's appearance (light or dark), not with a console theme.
//
// Threads: main thread only.

#include <QString>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>

#include "ui/console/ControlSlider.h"

namespace quellor {

class ControlSliderWidget : public QWidget {
    Q_OBJECT
public:
    explicit ControlSliderWidget(QString icon, int height = ConsoleMetrics::ControlSlider::kHeight,
                                 QWidget* parent = nullptr);

    float level() const { return level_; }
    void setLevel(float level);
    void setIcon(const QString& icon);
    void setIconDimmed(bool dimmed);

    std::function<void(float)> onLevel;
    std::function<void()> onIconTap;  // empty: a press on the icon is an ordinary slider press

    QSize sizeHint() const override { return {ConsoleMetrics::ControlSlider::kPreferredWidth, height()}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ControlSliderGeometry geometry() const { return {double(width()), double(height())}; }
    void write(std::optional<float> level, bool dragStarted);
    void glideTo(float level, int milliseconds);

    QString icon_;
    bool iconDimmed_ = false;
    float level_ = 0;
    float shown_ = 0;  // the level drawn, on its way to level_
    bool startingDrag_ = false;  // while the owner hears the first level of a drag
    ControlSliderGesture gesture_;
    QVariantAnimation glide_;
};

}  // namespace quellor
