#include "ui/panels/OutputBusCardWidgets.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "audio/AudioDeviceMonitor.h"
#include "audio/BluetoothAudioMonitor.h"
#include "audio/SystemVolumeController.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/common/ViewRefresh.h"
#include "ui/console/ConsoleColors.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/LevelRowWidget.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {
namespace {

constexpr double kCardRadius = 10;

// A card follows the default output, its pairing and name, Bluetooth, MIDI learn and the theme.
ViewRefresh* cardRefresh(QObject* owner, std::function<void()> rebuild, MixerEngine& engine,
                         MIDIMappingManager& mappings, ThemeController& themes) {
    auto* refresh = new ViewRefresh(std::move(rebuild), owner);
    refresh->watch(&engine.deviceMonitor(), &AudioDeviceMonitor::devicesChanged)
        .watch(&engine.deviceMonitor(), &AudioDeviceMonitor::defaultDeviceIDChanged)
        .watch(&engine, &MixerEngine::busPairingsChanged)
        .watch(&engine.systemVolume(), &SystemVolumeController::deviceNameChanged)
        .watch(&engine.bluetooth(), &BluetoothAudioMonitor::pairedChanged)
        .watch(&mappings, &MIDIMappingManager::mappingsChanged)
        .watch(&mappings, &MIDIMappingManager::learningTargetChanged)
        .watch(&themes, &ThemeController::themeChanged);
    return refresh;
}

// The card's frame: padded 8, its parts 5 apart, the header (bus name, badge) on top.
QVBoxLayout* cardLayout(QWidget* card, OutputBus bus, QLabel*& title, PanelMIDIBadgeWidget*& badge) {
    // A card is as tall as its contents, however much room the column has.
    card->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QVBoxLayout(card);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(5);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    title = panelLabel(QStringLiteral("bus-card-title"), 12, QFont::DemiBold, card);
    title->setText(displayName(bus));
    badge = new PanelMIDIBadgeWidget(card);
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(badge);
    layout->addLayout(header);
    return layout;
}

QWidget* row(QWidget* parent, int spacing, std::initializer_list<QWidget*> parts, int stretchAfter) {
    auto* line = new QWidget(parent);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    int index = 0;
    for (QWidget* part : parts) {
        part->setParent(line);
        layout->addWidget(part);
        if (index++ == stretchAfter) layout->addStretch(1);
    }
    if (stretchAfter >= index) layout->addStretch(1);
    return line;
}

// Laid over the whole MAIN card while a dragged device is over it.
void paintDropHint(QPainter& painter, const QRectF& rect, const Palette& colors) {
    fillRounded(painter, rect, kCardRadius, withOpacity(colors.brand, 0.12));
    QPainterPath border;
    border.addRoundedRect(rect.adjusted(0.75, 0.75, -0.75, -0.75), kCardRadius - 0.75, kCardRadius - 0.75);
    painter.strokePath(border, QPen(colors.brand, 1.5));
    const QFont font = systemFont(11, QFont::DemiBold);
    const QFontMetricsF metrics(font);
    const QSizeF capsule(metrics.horizontalAdvance(MainBusCardModel::kDropHint) + 20, metrics.height() + 10);
    const QRectF pill(QPointF(rect.center().x() - capsule.width() / 2, rect.center().y() - capsule.height() / 2), capsule);
    QColor material = colors.panel;
    material.setAlphaF(0.85);
    fillRounded(painter, pill, pill.height() / 2, material);
    painter.setFont(font);
    painter.setPen(colors.brand);
    painter.drawText(pill, Qt::AlignCenter, MainBusCardModel::kDropHint);
}

void paintCard(QWidget& card, const Palette& colors) {
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, card.rect(), kCardRadius, colors.rowHover);
}

}  // namespace

MainBusCardWidget::MainBusCardWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                                     DropZoneBoard* board, DeviceSymbolLookup symbol, QWidget* parent)
    : QWidget(parent), engine_(engine), mappings_(mappings), themes_(themes), symbol_(std::move(symbol)) {
    setObjectName(QStringLiteral("main-bus-card"));
    QVBoxLayout* layout = cardLayout(this, OutputBus::Main, title_, badge_);
    deviceSymbol_ = new SymbolView(QString(), 13, 18);
    deviceName_ = panelLabel(QStringLiteral("main-device-name"), 12, QFont::DemiBold, nullptr);
    check_ = new SymbolView(QStringLiteral("checkmark"), 11, 11);
    deviceLine_ = row(this, 8, {deviceSymbol_, deviceName_, check_}, 1);
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
    refresh_ = cardRefresh(this, [this] { rebuild(); }, engine_, mappings_, themes_);
    rebuild();
}

void MainBusCardWidget::setBusTarget(std::optional<OutputBus> target) {
    if (target == busTarget_) return;
    busTarget_ = target;
    rebuild();
}

void MainBusCardWidget::rebuild() {
    model_ = MainBusCardModel::of(engine_, mappings_, busTarget_, symbol_);
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

void MainBusCardWidget::paintEvent(QPaintEvent*) { paintCard(*this, themes_.palette()); }

void MainBusCardWidget::resizeEvent(QResizeEvent*) { hint_->setGeometry(rect()); }

void MainBusCardWidget::contextMenuEvent(QContextMenuEvent* event) {
    openPanelMenu(contextMenu(), this, event->globalPos());
    event->accept();
}

PhonesBusCardWidget::PhonesBusCardWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                                         QWidget* parent)
    : QWidget(parent), engine_(engine), mappings_(mappings), themes_(themes) {
    setObjectName(QStringLiteral("phones-bus-card"));
    QVBoxLayout* layout = cardLayout(this, OutputBus::Phones, title_, badge_);

    // The outline reaches 4 beyond the placeholder's line, which is padded 4 in turn.
    auto* outer = new QWidget(this);
    outer->setObjectName(QStringLiteral("phones-placeholder"));
    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->setContentsMargins(4, 4, 4, 4);
    placeholder_ = outer;
    auto* outline = new PaintedView(QStringLiteral("phones-placeholder-outline"), [this](QPainter& painter, const QRectF& rect) {
        QPen pen(themes_.palette().hair, 1);
        pen.setDashPattern({4, 4});
        painter.setPen(pen);
        painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }, outer);
    auto* outlineLayout = new QHBoxLayout(outline);
    outlineLayout->setContentsMargins(4, 4, 4, 4);
    outlineLayout->setSpacing(8);
    placeholderSymbol_ = new SymbolView(QStringLiteral("headphones"), 13, 18, outline);
    placeholderText_ = panelLabel(QStringLiteral("phones-placeholder-text"), 11, QFont::Normal, outline);
    placeholderText_->setText(PhonesBusCardModel::kPlaceholder);
    placeholderText_->setMinimumHeight(22);
    outlineLayout->addWidget(placeholderSymbol_);
    outlineLayout->addWidget(placeholderText_);
    outlineLayout->addStretch(1);
    outerLayout->addWidget(outline);

    deviceSymbol_ = new SymbolView(QStringLiteral("headphones"), 13, 18);
    deviceName_ = panelLabel(QStringLiteral("phones-device-name"), 12, QFont::DemiBold, nullptr);
    onInterface_ = panelLabel(QStringLiteral("phones-on-interface"), 10, QFont::Normal, nullptr);
    onInterface_->setText(PhonesBusCardModel::kOnThisInterface);
    deviceLine_ = row(this, 8, {deviceSymbol_, deviceName_, onInterface_}, 1);

    pickers_ = new QWidget(this);
    auto* pickerLayout = new QHBoxLayout(pickers_);
    pickerLayout->setContentsMargins(0, 0, 0, 0);
    pickerLayout->setSpacing(10);
    for (int i = 0; i < 2; ++i) {
        const OutputBus bus = kAllOutputBuses[i];
        auto* group = new QHBoxLayout;
        group->setSpacing(4);
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
    totalMix_ = new QPushButton(PhonesBusCardModel::kTotalMixButton, this);
    totalMix_->setObjectName(QStringLiteral("totalmix-reset"));
    totalMix_->setFlat(true);
    totalMix_->setCursor(Qt::PointingHandCursor);
    totalMix_->setFont(systemFont(10));
    totalMix_->setToolTip(PhonesBusCardModel::totalMixHelp());
    totalMix_->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; text-align: left; }"));
    connect(totalMix_, &QPushButton::clicked, this, [this] { engine_.writeTotalMixDefaultRouting(); });

    layout->addWidget(placeholder_);
    layout->addWidget(deviceLine_);
    layout->addWidget(pickers_);
    layout->addWidget(level_);
    layout->addWidget(totalMix_, 0, Qt::AlignLeft);
    refresh_ = cardRefresh(this, [this] { rebuild(); }, engine_, mappings_, themes_);
    rebuild();
}

void PhonesBusCardWidget::rebuild() {
    model_ = PhonesBusCardModel::of(engine_, mappings_);
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
    const PhonesBusCardModel now = PhonesBusCardModel::of(engine_, mappings_);
    for (const BusPairPicker& picker : now.pickers)
        if (picker.bus == bus) return busPairMenu(engine_, now.deviceUID, picker);
    return {};
}

MenuModel PhonesBusCardWidget::contextMenu() const { return busCardMenu(OutputBus::Phones, mappings_); }

void PhonesBusCardWidget::paintEvent(QPaintEvent*) { paintCard(*this, themes_.palette()); }

void PhonesBusCardWidget::contextMenuEvent(QContextMenuEvent* event) {
    openPanelMenu(contextMenu(), this, event->globalPos());
    event->accept();
}

ActiveOutputsSectionWidget::ActiveOutputsSectionWidget(MixerEngine& engine, MIDIMappingManager& mappings,
                                                       ThemeController& themes, DropZoneBoard* board,
                                                       DeviceSymbolLookup symbol, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("active-outputs"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    main_ = new MainBusCardWidget(engine, mappings, themes, board, std::move(symbol), this);
    phones_ = new PhonesBusCardWidget(engine, mappings, themes, this);
    layout->addWidget(main_);
    layout->addWidget(phones_);
}

}  // namespace quellor
