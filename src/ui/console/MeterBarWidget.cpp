#include "ui/console/MeterBarWidget.h"

#include <QLinearGradient>
#include <QPainter>

#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

// What a repaint would change: the lit parts and their positions (the colours follow the theme,
// whose change repaints everything anyway).
bool samePicture(const MeterColumn& a, const MeterColumn& b) {
    return a.height == b.height && a.barOpacity == b.barOpacity && (a.barOpacity == 0 || a.barHeight == b.barHeight) &&
           a.peakOpacity == b.peakOpacity && (a.peakOpacity == 0 || a.peakOffset == b.peakOffset) &&
           a.lampOpacity == b.lampOpacity && a.gradient == b.gradient;
}

}  // namespace

MeterBarWidget::MeterBarWidget(MeterRepaintClock& clock, ThemeController& themes, QWidget* parent)
    : QWidget(parent), clock_(clock), themes_(themes), bar_(Scheduler::current().now()) {
    setObjectName(QStringLiteral("strip-meter"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MeterBarWidget::showEvent(QShowEvent*) {
    subscription_ = clock_.subscribe([this](double now) { tick(now); });
}

void MeterBarWidget::hideEvent(QHideEvent*) { subscription_.reset(); }

void MeterBarWidget::setFlags(bool isActive, bool isCued) {
    if (isActive == isActive_ && isCued == isCued_) return;
    isActive_ = isActive;
    isCued_ = isCued;
    update();
}

void MeterBarWidget::setTravel(double travel) { travel_ = travel; }

void MeterBarWidget::tick(double now) {
    const float level = level_ ? level_() : 0.0f;
    MeterColumn next = bar_.tick(level, now, isActive_, isCued_, travel_, themes_.current());
    const bool changed = !samePicture(next, column_);
    column_ = std::move(next);
    if (changed) update();
}

void MeterBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const MeterColumn& c = column_;
    const double bottom = height();
    if (c.barOpacity > 0) {
        // The whole gradient scales with the bar: a lit bar's top always shows the first stop.
        const QRectF bar = c.barRect(bottom);
        QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
        for (const MeterColumn::Stop& stop : c.gradient) gradient.setColorAt(stop.location, stop.color);
        painter.setOpacity(c.barOpacity);
        painter.fillRect(bar, gradient);
        painter.setOpacity(1);
    }
    if (c.peakOpacity > 0) painter.fillRect(c.peakRect(bottom), c.peakColor);
    // The segment gaps cut the bar and the peak line alike.
    for (const QRectF& gap : c.gapRects(bottom)) painter.fillRect(gap, c.gapColor);
    if (c.lampOpacity > 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(c.lampColor);
        painter.drawEllipse(c.lampRect(bottom));
    }
}

}  // namespace quellor
