#include "ui/panels/BluetoothRowWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "audio/BluetoothAudioMonitor.h"
#include "engine/MixerEngine.h"
#include "ui/console/ConsoleColors.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

BluetoothRowWidget::BluetoothRowWidget(MixerEngine& engine, ThemeController& themes, BluetoothAudioDevice device,
                                       QWidget* parent)
    : HoverRowWidget(parent), engine_(engine), themes_(themes), device_(std::move(device)), spinner_(new QTimer(this)) {
    setObjectName(QStringLiteral("bluetooth-row"));
    setAttribute(Qt::WA_Hover);
    setAccessibleName(device_.name);
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(sizeHint().height());
    spinner_->setInterval(80);
    connect(spinner_, &QTimer::timeout, this, [this] {
        spinnerStep_ = (spinnerStep_ + 1) % 12;
        update();
    });
    connect(&themes_, &ThemeController::themeChanged, this, qOverload<>(&QWidget::update));
    connect(&engine_.bluetooth(), &BluetoothAudioMonitor::busyChanged, this, &BluetoothRowWidget::busyChanged);
    busyChanged();
}

void BluetoothRowWidget::setDevice(const BluetoothAudioDevice& device) {
    if (device == device_) return;
    device_ = device;
    setAccessibleName(device_.name);
    busyChanged();
}

BluetoothRow BluetoothRowWidget::spec() const {
    return BluetoothRow::of(engine_.bluetooth(), device_, isHovering());
}

QSize BluetoothRowWidget::sizeHint() const {
    const QFontMetrics metrics(systemFont(BluetoothRow::kNamePointSize));
    using Row = PanelMetrics::DeviceRow;
    const int padding = PanelMetrics::BluetoothRow::kVerticalPadding;
    return {Row::kWidthHint, std::max(metrics.height(), Row::kIconSize) + 2 * padding};
}

void BluetoothRowWidget::busyChanged() {
    const bool busy = !spec().isEnabled;
    setEnabled(!busy);
    if (busy && !spinner_->isActive()) spinner_->start();
    if (!busy) spinner_->stop();
    update();
}

void BluetoothRowWidget::paintEvent(QPaintEvent*) {
    using Row = PanelMetrics::DeviceRow;
    const BluetoothRow s = spec();
    const Palette colors = themes_.palette();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (s.isHighlighted)
        fillRounded(painter, rect(), Row::kCornerRadius,
                    highlightFill(themes_.current(), BluetoothRow::kHighlightOpacity));
    const double h = height();
    double x = Row::kHorizontalPadding;
    paintSymbol(painter, symbolSquare(x, Row::kIconFrame, Row::kIconSize, h), s.symbol, colors.textMuted);
    x += Row::kIconFrame + Row::kSpacing;
    double right = width() - Row::kHorizontalPadding;
    if (s.trailing == BluetoothRow::Trailing::Progress) {
        // A small spinner: twelve spokes, the newest brightest.
        const double side = PanelMetrics::BluetoothRow::kSpinnerSize;
        const double stroke = PanelMetrics::BluetoothRow::kSpinnerStroke;
        const QPointF centre(right - side / 2, h / 2);
        for (int i = 0; i < 12; ++i) {
            painter.save();
            painter.translate(centre);
            painter.rotate(i * 30.0);
            const int age = (spinnerStep_ - i + 12) % 12;
            painter.setPen(QPen(withOpacity(colors.textSecondary, 1.0 - age / 13.0), stroke, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(0, -side / 4), QPointF(0, -side / 2));
            painter.restore();
        }
        right -= side + Row::kSpacing;
    } else if (s.trailing == BluetoothRow::Trailing::Connect) {
        const QFont font = systemFont(BluetoothRow::kConnectPointSize);
        const QString text = QStringLiteral("Connect");
        const double w = QFontMetricsF(font).horizontalAdvance(text);
        painter.setFont(font);
        painter.setPen(colors.brand);
        painter.drawText(QRectF(right - w, 0, w, h), Qt::AlignVCenter | Qt::AlignRight, text);
        right -= w + Row::kSpacing;
    }
    const QFont font = systemFont(BluetoothRow::kNamePointSize);
    const double nameWidth = std::max(0.0, right - x);
    painter.setFont(font);
    painter.setPen(colors.textSecondary);
    painter.drawText(QRectF(x, 0, nameWidth, h), Qt::AlignVCenter | Qt::AlignLeft,
                     QFontMetricsF(font).elidedText(s.name, Qt::ElideRight, nameWidth));
}

void BluetoothRowWidget::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void BluetoothRowWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    // Busy rows are disabled and get no events; the check stays for a busy set that changed under
    // the press.
    if (click && spec().isEnabled) engine_.connectBluetoothDevice(device_);
}

}  // namespace quellor
