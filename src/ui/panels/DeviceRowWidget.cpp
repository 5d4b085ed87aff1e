#include "ui/panels/DeviceRowWidget.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "audio/AudioDeviceMonitor.h"
#include "audio/BluetoothAudioMonitor.h"
#include "engine/MixerEngine.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

DeviceRowWidget::DeviceRowWidget(MixerEngine& engine, AudioDeviceMonitor& monitor, ThemeController& themes,
                                 AudioDevice device, Reorder reorder, QWidget* parent)
    : HoverRowWidget(parent),
      engine_(engine),
      monitor_(monitor),
      themes_(themes),
      device_(std::move(device)),
      reorder_(std::move(reorder)) {
    setObjectName(QStringLiteral("device-row"));
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setFixedHeight(PanelMetrics::DeviceRow::kHeight);
    setAccessibleName(device_.name);
    connect(&themes_, &ThemeController::themeChanged, this, qOverload<>(&QWidget::update));
    connect(&monitor_, &AudioDeviceMonitor::defaultDeviceIDChanged, this, qOverload<>(&QWidget::update));
    connect(&engine_.bluetooth(), &BluetoothAudioMonitor::pairedChanged, this, qOverload<>(&QWidget::update));
    updateCursor();
}

void DeviceRowWidget::setDevice(const AudioDevice& device) {
    if (device == device_) return;
    device_ = device;
    setAccessibleName(device_.name);
    update();
}

void DeviceRowWidget::setSuppressHover(bool suppress) {
    if (suppress == suppressHover_) return;
    suppressHover_ = suppress;
    update();
}

DeviceRow DeviceRowWidget::spec() const {
    return DeviceRow::of(engine_, device_, monitor_, isHovering(), suppressHover_, gesture_.isDraggingRow());
}

QSize DeviceRowWidget::sizeHint() const {
    return {PanelMetrics::DeviceRow::kWidthHint, PanelMetrics::DeviceRow::kHeight};
}

QRectF DeviceRowWidget::disconnectRect() const {
    using Row = PanelMetrics::DeviceRow;
    const double side = Row::kDisconnectSize + 2 * Row::kDisconnectInset;
    return {width() - Row::kHorizontalPadding - side, (height() - side) / 2, side, side};
}

void DeviceRowWidget::paintEvent(QPaintEvent*) {
    using Row = PanelMetrics::DeviceRow;
    const DeviceRow s = spec();
    const ThemeMode mode = themes_.current();
    const Palette colors = themes_.palette();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (s.isHighlighted)
        fillRounded(painter, rect(), Row::kCornerRadius, highlightFill(mode, DeviceRow::kHighlightOpacity));

    const double h = height();
    double x = Row::kHorizontalPadding;
    paintSymbol(painter, symbolSquare(x, Row::kIconFrame, Row::kIconSize, h), s.symbol,
                s.isDefault ? colors.brand : colors.textSecondary);
    x += Row::kIconFrame + Row::kSpacing;

    // The trailing item takes its place first; the name gets what is left.
    double right = width() - Row::kHorizontalPadding;
    if (s.trailing == DeviceRow::Trailing::Disconnect) {
        const QRectF button = disconnectRect();
        const double inset = Row::kDisconnectInset;
        paintSymbol(painter, button.adjusted(inset, inset, -inset, -inset), QStringLiteral("xmark.circle.fill"),
                    colors.textMuted);
        right = button.left() - Row::kSpacing;
    } else if (s.trailing == DeviceRow::Trailing::Checkmark) {
        const double side = Row::kCheckSize;
        paintSymbol(painter, QRectF(right - side, (h - side) / 2, side, side), QStringLiteral("checkmark"), colors.brand);
        right -= side + Row::kSpacing;
    }
    const double sealRoom = s.isVerified ? Row::kSealSize + Row::kSpacing : 0;
    const QFont font = systemFont(DeviceRow::kNamePointSize, s.isDefault ? QFont::DemiBold : QFont::Normal);
    const QFontMetricsF metrics(font);
    const double nameWidth = std::max(0.0, right - x - sealRoom);
    const QString name = metrics.elidedText(s.name, Qt::ElideRight, nameWidth);
    painter.setFont(font);
    painter.setPen(colors.textPrimary);
    painter.drawText(QRectF(x, 0, nameWidth, h), Qt::AlignVCenter | Qt::AlignLeft, name);
    sealRect_ = QRectF();
    if (s.isVerified) {
        const double sealX = x + metrics.horizontalAdvance(name) + Row::kSpacing;
        sealRect_ = QRectF(sealX, (h - Row::kSealSize) / 2, Row::kSealSize, Row::kSealSize);
        paintSymbol(painter, sealRect_, QStringLiteral("checkmark.seal.fill"), colors.textSecondary);
    }
}

QPointF DeviceRowWidget::windowPoint(const QMouseEvent& event) const {
    return DropZoneBoard::windowPoint(*this, event.position());
}

void DeviceRowWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const bool onButton =
        spec().trailing == DeviceRow::Trailing::Disconnect && disconnectRect().contains(event->position());
    gesture_.pressed(windowPoint(*event), onButton);
    event->accept();
}

void DeviceRowWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!gesture_.isPressed()) return QWidget::mouseMoveEvent(event);
    const bool wasDragging = gesture_.isDraggingRow();
    const auto moved = gesture_.moved(windowPoint(*event), canReorder());
    if (gesture_.isDraggingRow() != wasDragging) {
        updateCursor();
        update();
    }
    if (moved) reorder_.moved(device_.uid, *moved);
}

void DeviceRowWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !gesture_.isPressed()) return QWidget::mouseReleaseEvent(event);
    const auto release = gesture_.released(windowPoint(*event), canReorder());
    updateCursor();
    update();
    // Copies: a handler may change what this row shows.
    const AudioDevice device = device_;
    const Reorder reorder = reorder_;
    if (release.finished) reorder.finished(device.uid, *release.finished);
    switch (release.click) {
    case DeviceRowGesture::Click::Row:
        // A row of the output list chooses MAIN's device, which the companion hears of at once.
        if (&monitor_ == &engine_.deviceMonitor())
            engine_.setDefaultOutput(device);
        else
            monitor_.setDefaultDevice(device);
        break;
    case DeviceRowGesture::Click::DisconnectButton:
        if (auto match = engine_.bluetoothDevice(device)) engine_.bluetooth().disconnect(*match);
        break;
    case DeviceRowGesture::Click::None: break;
    }
}

void DeviceRowWidget::hideEvent(QHideEvent* event) {
    HoverRowWidget::hideEvent(event);
    gesture_.cancel();
    updateCursor();
}

void DeviceRowWidget::updateCursor() {
    if (!canReorder()) unsetCursor();
    else setCursor(gesture_.isDraggingRow() ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
}

bool DeviceRowWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        using Row = PanelMetrics::DeviceRow;
        const DeviceRow s = spec();
        const QRectF seal = sealRect_.adjusted(-Row::kSealSlopX, -Row::kSealSlopY, Row::kSealSlopX, Row::kSealSlopY);
        if (s.isVerified && seal.contains(help->pos()))
            QToolTip::showText(help->globalPos(), QString::fromUtf8(DeviceRow::kSealHelp), this);
        else if (s.trailing == DeviceRow::Trailing::Disconnect && disconnectRect().contains(help->pos()))
            QToolTip::showText(help->globalPos(), QStringLiteral("Disconnect"), this);
        else QToolTip::hideText();
        return true;
    }
    return HoverRowWidget::event(event);
}

}  // namespace quellor
