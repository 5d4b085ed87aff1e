#include "app/MenuBarCardView.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include "recording/LatestRecording.h"

namespace quellor {

using M = ShellMetrics::MenuBarCard;

namespace {
QColor withAlpha(QColor c, double alpha) {
    c.setAlphaF(float(alpha));
    return c;
}
bool darkAppearance() { return QApplication::palette().color(QPalette::Window).lightnessF() < 0.5; }
}  // namespace

MenuBarCardView::MenuBarCardView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("menu-bar-card"));
    resize(sizeHint());
}

void MenuBarCardView::drawCard(QPainter& painter, QSizeF size, const card::Colours& c) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(card::offset(size));
    // Coordinates below are the bottom-left layout's, flipped: y' = 22 - y - height.
    const QColor outline = isRecording ? withAlpha(c.alertRed, 0.95) : withAlpha(c.amber, readyFile ? 0.95 : 0.45);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(0.5, M::kHeight - 2.5 - 17, 51, 17), 2, 2);
    painter.setPen(QPen(withAlpha(c.ink, 0.95), 1));
    painter.setBrush(withAlpha(c.dotRed, isRecording ? 1.0 : 0.75));
    painter.drawEllipse(QRectF(6, M::kHeight - 7 - 8, 8, 8));
    painter.setPen(QPen(withAlpha(c.ink, 0.45), 0.8));
    painter.drawLine(QPointF(18.5, M::kHeight - 5), QPointF(18.5, M::kHeight - 17));
    if (!isRecording && readyFile) {
        QPainterPath path;
        for (const QRectF& bar : card::bars(LatestRecording::waveformEnvelope(peaks, 12))) path.addRoundedRect(bar, 0.352, 0.352);
        painter.fillPath(path, c.amber);
    }
    painter.restore();
}

void MenuBarCardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawCard(painter, size(), card::colours(darkAppearance()));
}

void MenuBarCardView::mousePressEvent(QMouseEvent* event) { press_.down(event->position()); }

void MenuBarCardView::mouseMoveEvent(QMouseEvent* event) {
    if (!press_.moved(event->position(), isRecording, readyFile.has_value())) return;
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(*readyFile)});
    QPixmap image(size() * devicePixelRatioF());
    image.setDevicePixelRatio(devicePixelRatioF());
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        drawCard(painter, size(), card::colours(darkAppearance()));
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(image);
    drag->exec(Qt::CopyAction);
}

void MenuBarCardView::mouseReleaseEvent(QMouseEvent*) { press_.up(); }

}  // namespace quellor
