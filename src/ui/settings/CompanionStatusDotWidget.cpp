#include "ui/settings/CompanionStatusDotWidget.h"

#include <QPainter>

#include "ui/settings/SettingsMetrics.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

// The system's green, the colour of a live connection.
const QColor kConnectedGreen(52, 199, 89);

}  // namespace

CompanionStatusDotWidget::CompanionStatusDotWidget(ThemeController& themes, QWidget* parent)
    : QWidget(parent), themes_(themes) {
    setObjectName(QStringLiteral("companion-status-dot"));
    setFixedSize(SettingsMetrics::CompanionPage::kStatusDotSize, SettingsMetrics::CompanionPage::kStatusDotSize);
    connect(&themes_, &ThemeController::themeChanged, this, qOverload<>(&QWidget::update));
}

void CompanionStatusDotWidget::setConnected(bool on) {
    if (on == connected_) return;
    connected_ = on;
    update();
}

void CompanionStatusDotWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor c = connected_ ? kConnectedGreen : themes_.palette().textSecondary;
    if (!connected_) c.setAlphaF(0.5f * c.alphaF());
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(rect()));
}

}  // namespace quellor
