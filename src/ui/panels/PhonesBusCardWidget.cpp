#include "ui/panels/PhonesBusCardWidget.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "engine/MixerEngine.h"
#include "ui/panels/BusCardParts.h"
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

PhonesBusCardWidget::PhonesBusCardWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                                         QWidget* parent)
    : QWidget(parent), engine_(engine), mappings_(mappings), themes_(themes) {
    setObjectName(QStringLiteral("phones-bus-card"));
    QVBoxLayout* layout = busCardLayout(this, OutputBus::Phones, title_, badge_);

    using Card = PanelMetrics::BusCard;
    // The outline stands off the card's contents, and the placeholder's line is padded in turn.
    auto* outer = new QWidget(this);
    outer->setObjectName(QStringLiteral("phones-placeholder"));
    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->setContentsMargins(Card::kPlaceholderOutset, Card::kPlaceholderOutset, Card::kPlaceholderOutset,
                                    Card::kPlaceholderOutset);
    placeholder_ = outer;
    auto* outline = new PaintedView(QStringLiteral("phones-placeholder-outline"), [this](QPainter& painter, const QRectF& rect) {
        QPen pen(themes_.palette().hair, 1);
        pen.setDashPattern({Card::kPlaceholderDash, Card::kPlaceholderDash});
        painter.setPen(pen);
        const double radius = Card::kPlaceholderRadius;
        painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }, outer);
    auto* outlineLayout = new QHBoxLayout(outline);
    outlineLayout->setContentsMargins(Card::kPlaceholderPadding, Card::kPlaceholderPadding, Card::kPlaceholderPadding,
                                      Card::kPlaceholderPadding);
    outlineLayout->setSpacing(Card::kPlaceholderSpacing);
    placeholderSymbol_ = new SymbolView(QStringLiteral("headphones"), Card::kSymbolSize, Card::kSymbolFrame, outline);
    placeholderText_ = panelLabel(QStringLiteral("phones-placeholder-text"), 11, QFont::Normal, outline);
    placeholderText_->setText(PhonesBusCard::kPlaceholder);
    placeholderText_->setMinimumHeight(Card::kPlaceholderTextHeight);
    outlineLayout->addWidget(placeholderSymbol_);
    outlineLayout->addWidget(placeholderText_);
    outlineLayout->addStretch(1);
    outerLayout->addWidget(outline);

    deviceSymbol_ = new SymbolView(QStringLiteral("headphones"), Card::kSymbolSize, Card::kSymbolFrame);
    deviceName_ = panelLabel(QStringLiteral("phones-device-name"), 12, QFont::DemiBold, nullptr);
    onInterface_ = panelLabel(QStringLiteral("phones-on-interface"), 10, QFont::Normal, nullptr);
    onInterface_->setText(PhonesBusCard::kOnThisInterface);
    deviceLine_ = busCardLine(this, {deviceSymbol_, deviceName_, onInterface_}, 1);

    pickers_ = new QWidget(this);
    auto* pickerLayout = new QHBoxLayout(pickers_);
    pickerLayout->setContentsMargins(0, 0, 0, 0);
    pickerLayout->setSpacing(Card::kPickerSpacing);
    for (int i = 0; i < 2; ++i) {
        const OutputBus bus = kAllOutputBuses[i];
        auto* group = new QHBoxLayout;
        group->setSpacing(Card::kPickerGroupSpacing);
        pickerTitles_[i] = panelLabel(QStringLiteral("pair-picker-title"), 10, QFont::DemiBold, pickers_);
        pickerTitles_[i]->setText(displayName(bus));
        auto* button = new QToolButton(pickers_);
        button->setObjectName(rawValue(bus) + QStringLiteral("-pair-picker"));
        button->setAutoRaise(true);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setFont(systemFont(11, QFont::Medium));
        auto* menu = new QMenu(button);
        bindMenu(*menu, [this, bus] { return pairMenu(bus); });
        button->setMenu(menu);
        pickerButtons_[i] = button;
        group->addWidget(pickerTitles_[i]);
        group->addWidget(button);
        pickerLayout->addLayout(group);
    }
    pickerLayout->addStretch(1);

    level_ = new LevelRowWidget(themes_, true, this);
    level_->setObjectName(QStringLiteral("phones-level"));
    totalMix_ = new QPushButton(PhonesBusCard::kTotalMixButton, this);
    totalMix_->setObjectName(QStringLiteral("totalmix-reset"));
    totalMix_->setFlat(true);
    totalMix_->setCursor(Qt::PointingHandCursor);
    totalMix_->setFont(systemFont(10));
    totalMix_->setToolTip(PhonesBusCard::totalMixHelp());
    totalMix_->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; text-align: left; }"));
    connect(totalMix_, &QPushButton::clicked, this, [this] { engine_.writeTotalMixDefaultRouting(); });

    layout->addWidget(placeholder_);
    layout->addWidget(deviceLine_);
    layout->addWidget(pickers_);
    layout->addWidget(level_);
    layout->addWidget(totalMix_, 0, Qt::AlignLeft);
    refresh_ = busCardRefresh(this, [this] { rebuild(); }, engine_, mappings_, themes_);
    rebuild();
}

void PhonesBusCardWidget::rebuild() {
    model_ = PhonesBusCard::of(engine_, mappings_);
    const Palette colors = themes_.palette();
    setTextColor(*title_, colors.textPrimary);
    badge_->setBadge(model_.badge, themes_.current());
    const bool full = !model_.isPlaceholder;
    placeholder_->setVisible(!full);
    deviceLine_->setVisible(full);
    pickers_->setVisible(full);
    placeholderSymbol_->setColor(colors.textMuted);
    setTextColor(*placeholderText_, colors.textMuted);
    deviceSymbol_->setColor(colors.brand);
    deviceName_->setText(model_.deviceName);
    setTextColor(*deviceName_, colors.textPrimary);
    setTextColor(*onInterface_, colors.textMuted);
    for (std::size_t i = 0; i < 2; ++i) {
        setTextColor(*pickerTitles_[i], colors.textSecondary);
        setTextColor(*pickerButtons_[i], colors.textPrimary);
        if (i < model_.pickers.size()) {
            pickerButtons_[i]->setText(model_.pickers[i].currentLabel());
            pickerButtons_[i]->setToolTip(model_.pickers[i].help());
        }
    }
    // The PHONES level is the engine's while it has a PHONES bus.
    level_->setControl(full ? engine_.activePhonesVolume() : nullptr);
    totalMix_->setVisible(model_.showsTotalMixButton);
    setTextColor(*totalMix_, colors.brand);
    update();
}

MenuModel PhonesBusCardWidget::pairMenu(OutputBus bus) const {
    // Built as the menu opens, from the layout the engine resolves at that moment.
    const PhonesBusCard now = PhonesBusCard::of(engine_, mappings_);
    for (const BusPairPicker& picker : now.pickers)
        if (picker.bus == bus) return busPairMenu(engine_, now.deviceUID, picker);
    return {};
}

MenuModel PhonesBusCardWidget::contextMenu() const { return busCardMenu(OutputBus::Phones, mappings_); }

void PhonesBusCardWidget::paintEvent(QPaintEvent*) { paintBusCard(*this, themes_.palette()); }

void PhonesBusCardWidget::contextMenuEvent(QContextMenuEvent* event) {
    openPanelMenu(contextMenu(), this, event->globalPos());
    event->accept();
}

}  // namespace quellor
