#include "ui/panels/MainBusCardWidget.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "audio/SystemVolumeController.h"
#include "engine/MixerEngine.h"
#include "ui/console/ConsoleColors.h"
#include "ui/panels/BusCardParts.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/LevelRowWidget.h"
#include "ui/panels/PaintedView.h"
#include "ui/panels/PanelMIDI.h"
#include "ui/panels/PanelMIDIBadgeWidget.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/panels/SymbolView.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {
namespace {

// Laid over the whole MAIN card while a dragged device is over it.
void paintDropHint(QPainter& painter, const QRectF& rect, const Palette& colors) {
    using Card = PanelMetrics::BusCard;
    fillRounded(painter, rect, Card::kRadius, withOpacity(colors.brand, 0.12));
    // The border's stroke lies inside the card.
    const double half = Card::kDropHintBorder / 2;
    QPainterPath border;
    border.addRoundedRect(rect.adjusted(half, half, -half, -half), Card::kRadius - half, Card::kRadius - half);
    painter.strokePath(border, QPen(colors.brand, Card::kDropHintBorder));
    const QFont font = systemFont(11, QFont::DemiBold);
    const QFontMetricsF metrics(font);
    const QSizeF capsule(metrics.horizontalAdvance(MainBusCard::kDropHint) + 2 * Card::kDropHintPaddingX,
                         metrics.height() + 2 * Card::kDropHintPaddingY);
    const QRectF pill(QPointF(rect.center().x() - capsule.width() / 2, rect.center().y() - capsule.height() / 2), capsule);
    QColor material = colors.panel;
    material.setAlphaF(0.85);
    fillRounded(painter, pill, pill.height() / 2, material);
    painter.setFont(font);
    painter.setPen(colors.brand);
    painter.drawText(pill, Qt::AlignCenter, MainBusCard::kDropHint);
}

}  // namespace

MainBusCardWidget::MainBusCardWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                                     DropZoneBoard* board, DeviceSymbolLookup symbol, QWidget* parent)
    : QWidget(parent), engine_(engine), mappings_(mappings), themes_(themes), symbol_(std::move(symbol)) {
    setObjectName(QStringLiteral("main-bus-card"));
    QVBoxLayout* layout = busCardLayout(this, OutputBus::Main, title_, badge_);
    using Card = PanelMetrics::BusCard;
    deviceSymbol_ = new SymbolView(QString(), Card::kSymbolSize, Card::kSymbolFrame);
    deviceName_ = panelLabel(QStringLiteral("main-device-name"), 12, QFont::DemiBold, nullptr);
    check_ = new SymbolView(QStringLiteral("checkmark"), Card::kCheckSize, Card::kCheckSize);
    deviceLine_ = busCardLine(this, {deviceSymbol_, deviceName_, check_}, 1);
    fallbackName_ = panelLabel(QStringLiteral("main-fallback-name"), 11, QFont::Normal, this);
    level_ = new LevelRowWidget(themes_, true, this);
    level_->setObjectName(QStringLiteral("main-level"));
    level_->setControl(&engine_.systemVolume());
    layout->addWidget(deviceLine_);
    layout->addWidget(fallbackName_);
    layout->addWidget(level_);
    hint_ = new PaintedView(QStringLiteral("main-drop-hint"), [this](QPainter& painter, const QRectF& rect) {
        paintDropHint(painter, rect, themes_.palette());
    }, this);
    hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    hint_->hide();
    if (board) board->putBus(this, OutputBus::Main);
    refresh_ = busCardRefresh(this, [this] { rebuild(); }, engine_, mappings_, themes_);
    rebuild();
}

void MainBusCardWidget::setBusTarget(std::optional<OutputBus> target) {
    if (target == busTarget_) return;
    busTarget_ = target;
    rebuild();
}

void MainBusCardWidget::rebuild() {
    model_ = MainBusCard::of(engine_, mappings_, busTarget_, symbol_);
    const Palette colors = themes_.palette();
    setTextColor(*title_, colors.textPrimary);
    badge_->setBadge(model_.badge, themes_.current());
    deviceLine_->setVisible(model_.device.has_value());
    fallbackName_->setVisible(!model_.device);
    if (model_.device) {
        deviceSymbol_->setSymbol(model_.device->symbol);
        deviceSymbol_->setColor(colors.brand);
        deviceName_->setText(model_.device->name);
        setTextColor(*deviceName_, colors.textPrimary);
        check_->setColor(colors.brand);
    } else {
        fallbackName_->setText(model_.fallbackName);
        setTextColor(*fallbackName_, colors.textSecondary);
    }
    hint_->setVisible(model_.showsDropHint);
    hint_->raise();
    update();
}

MenuModel MainBusCardWidget::contextMenu() const { return busCardMenu(OutputBus::Main, mappings_); }

void MainBusCardWidget::paintEvent(QPaintEvent*) { paintBusCard(*this, themes_.palette()); }

void MainBusCardWidget::resizeEvent(QResizeEvent*) { hint_->setGeometry(rect()); }

void MainBusCardWidget::contextMenuEvent(QContextMenuEvent* event) {
    openPanelMenu(contextMenu(), this, event->globalPos());
    event->accept();
}

}  // namespace quellor
