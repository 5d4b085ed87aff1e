#pragma once
// The take area of the MAIN recording card: the running take's clock, the latest take's waveform
// and length ("export-card", dragged out as its file), or a dimmed 0:00, as the model says.
//
// Threads: main thread only. The model, the theme controller and the recordings model must outlive
// the area.
#include <QPointF>
#include <QWidget>
#include <optional>

namespace quellor {

class LatestRecordingModel;
class MainRecordingCard;
class ThemeController;

class TakeAreaWidget : public QWidget {
    Q_OBJECT
public:
    TakeAreaWidget(const MainRecordingCard& model, ThemeController& themes, LatestRecordingModel& recordings,
                   QWidget* parent);

    // Takes the model's state: names, help, cursor, and a repaint.
    void follow();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    const MainRecordingCard& model_;
    ThemeController& themes_;
    LatestRecordingModel& recordings_;
    std::optional<QPointF> pressedAt_;
};

}  // namespace quellor
