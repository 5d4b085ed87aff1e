#pragma once
// A view that only paints: `paint` draws it into its own rectangle, antialiased.
//
// Threads: main thread only.

#include <QWidget>
#include <functional>

class QPainter;

namespace quellor {

class PaintedView : public QWidget {
    Q_OBJECT
public:
    using Paint = std::function<void(QPainter&, const QRectF&)>;
    PaintedView(const QString& objectName, Paint paint, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Paint paint_;
};

}  // namespace quellor
