#include "ui/console/ConsoleFaderWidget.h"

#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/console/MeterBarWidget.h"
#include "ui/style/Fonts.h"
#include "ui/style/SoftShadow.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using F = ConsoleMetrics::Fader;

namespace {

// The fader as assistive technology sees it: one slider, its meter not a child of its own.
class FaderAccessible : public QAccessibleWidget {
public:
    explicit FaderAccessible(ConsoleFaderWidget* fader) : QAccessibleWidget(fader, QAccessible::Slider) {}
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return fader()->accessibleValue();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {increaseAction(), decreaseAction()}; }
    void doAction(const QString& name) override {
        if (name == increaseAction() || name == decreaseAction()) fader()->adjust(name == increaseAction());
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    ConsoleFaderWidget* fader() const { return static_cast<ConsoleFaderWidget*>(widget()); }
};

QAccessibleInterface* faderAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(ConsoleFaderWidget::staticMetaObject.className()) && object->isWidgetType())
        return new FaderAccessible(static_cast<ConsoleFaderWidget*>(object));
    return nullptr;
}

}  // namespace

ConsoleFaderWidget::ConsoleFaderWidget(MeterRepaintClock& clock, ThemeController& themes, QWidget* parent)
    : QWidget(parent), themes_(themes), meter_(new MeterBarWidget(clock, themes, this)) {
    setObjectName(QStringLiteral("strip-fader"));
    setMinimumHeight(F::kMinimumHeight);
    static const bool installed = [] {
        QAccessible::installFactory(faderAccessible);
        return true;
    }();
    (void)installed;
}

void ConsoleFaderWidget::setAccessibility(const QString& label, const QString& value, std::function<void(bool)> adjust) {
    setAccessibleName(label);
    accessibleValue_ = value;
    adjust_ = std::move(adjust);
}

void ConsoleFaderWidget::adjust(bool increment) const {
    if (adjust_) adjust_(increment);
}

void ConsoleFaderWidget::setState(const State& state) {
    const bool flagsChanged = state.isActive != state_.isActive || state.isCued != state_.isCued;
    const bool changed = flagsChanged || state.value != state_.value || state.resetValue != state_.resetValue;
    state_ = state;
    meter_->setFlags(state.isActive, state.isCued);
    if (changed) update();
}

void ConsoleFaderWidget::setMeter(std::function<float()> level) { meter_->setLevel(std::move(level)); }

FaderGeometry ConsoleFaderWidget::geometry() const {
    FaderGeometry g;
    g.width = width();
    g.height = height();
    return g;
}

void ConsoleFaderWidget::resizeEvent(QResizeEvent*) {
    const FaderGeometry g = geometry();
    meter_->setGeometry(g.meterRect().toRect());
    meter_->setTravel(g.meterTravel());
}

void ConsoleFaderWidget::report(std::optional<float> value) {
    if (value && onChange_) onChange_(*value);
}

void ConsoleFaderWidget::dragTo(double y, Qt::KeyboardModifiers modifiers) {
    const bool wasDragging = drag_.isDragging();
    report(drag_.changed(geometry(), state_.value, state_.isActive, y, dragStartY_, modifiers));
    if (drag_.isDragging() != wasDragging) update();  // the border shows the drag
}

void ConsoleFaderWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragStartY_ = event->position().y();
    dragTo(dragStartY_, event->modifiers());
}

void ConsoleFaderWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
    dragTo(event->position().y(), event->modifiers());
}

void ConsoleFaderWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const bool wasDragging = drag_.isDragging();
    drag_.ended();
    if (wasDragging) update();
}

void ConsoleFaderWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    // The second press of a double click drags like the first, then the reset follows.
    dragStartY_ = event->position().y();
    dragTo(dragStartY_, event->modifiers());
    report(FaderDrag::doubleClicked(state_.isActive, state_.resetValue));
}

void ConsoleFaderWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const FaderGeometry g = geometry();
    const FaderLook look = FaderLook::of(themes_.current(), state_.isActive, state_.isCued, drag_.isDragging());
    const float value = state_.value;
    const QRectF panel(0, 0, g.width, g.height);

    // Panel and border: square corners, the strip's readout and title block round it off.
    QLinearGradient panelFill(panel.topLeft(), panel.bottomLeft());
    panelFill.setColorAt(0, look.panelTop);
    panelFill.setColorAt(1, look.panelBottom);
    painter.fillRect(panel, panelFill);
    const double inset = look.borderWidth / 2;
    painter.setPen(QPen(look.border, look.borderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(panel.adjusted(inset, inset, -inset, -inset));

    // Scale.
    painter.setPen(Qt::NoPen);
    const QFont labelFont = monoFont(F::kScaleFontSize, QFont::Medium);
    const QFontMetricsF metrics(labelFont);
    painter.setFont(labelFont);
    for (const FaderGeometry::ScaleMark& mark : g.scaleMarks()) {
        painter.fillRect(mark.tick, look.tick);
        painter.fillRect(mark.softTick, look.softTick);
        painter.setPen(look.scaleLabel);
        // Anchored at the centre of the label's leading edge.
        const double baseline = mark.labelAnchor.y() + (metrics.ascent() - metrics.descent()) / 2;
        painter.drawText(QPointF(mark.labelAnchor.x(), baseline), mark.label);
        painter.setPen(Qt::NoPen);
    }

    // Groove and its lit part below the cap.
    const QRectF groove = g.grooveRect();
    painter.setBrush(look.grooveFill);
    painter.setPen(QPen(look.grooveStroke, F::kGrooveStrokeWidth));
    painter.drawRoundedRect(groove, F::kGrooveRadius, F::kGrooveRadius);
    painter.setPen(Qt::NoPen);
    const QRectF lit = g.litGrooveRect(value);
    if (lit.height() > 0) {
        QLinearGradient litFill(QPointF(lit.center().x(), lit.top()), QPointF(lit.center().x(), lit.bottom()));
        litFill.setColorAt(0, look.litTop);
        litFill.setColorAt(1, look.litBottom);
        painter.fillRect(lit, litFill);
    }

    // Cap: shadow, body, outline, grips and indicator.
    const QRectF cap = g.capRect(value);
    paintSoftShadow(painter, cap, F::kCapRadius, look.capShadow, F::kCapShadowRadius, F::kCapShadowDrop);
    QLinearGradient capFill(QPointF(cap.center().x(), cap.top()), QPointF(cap.center().x(), cap.bottom()));
    capFill.setColorAt(0, look.capTop);
    capFill.setColorAt(1, look.capBottom);
    painter.setBrush(capFill);
    painter.drawRoundedRect(cap, F::kCapRadius, F::kCapRadius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(look.capOutline, F::kCapOutlineWidth));
    painter.drawRoundedRect(cap, F::kCapRadius, F::kCapRadius);
    painter.setPen(Qt::NoPen);
    for (const QRectF& line : g.gripLines(value)) painter.fillRect(line, look.grip);
    painter.fillRect(g.indicatorRect(value), look.indicator);
}

}  // namespace quellor
