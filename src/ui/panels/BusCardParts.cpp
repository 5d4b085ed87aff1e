#include "ui/panels/BusCardParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "audio/AudioDeviceMonitor.h"
#include "audio/BluetoothAudioMonitor.h"
#include "audio/SystemVolumeController.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/common/ViewRefresh.h"
#include "ui/panels/PanelMIDIBadgeWidget.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

ViewRefresh* busCardRefresh(QObject* owner, std::function<void()> rebuild, MixerEngine& engine,
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

QVBoxLayout* busCardLayout(QWidget* card, OutputBus bus, QLabel*& title, PanelMIDIBadgeWidget*& badge) {
    // A card is as tall as its contents, however much room the column has.
    card->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* layout = new QVBoxLayout(card);
    using Card = PanelMetrics::BusCard;
    layout->setContentsMargins(Card::kPadding, Card::kPadding, Card::kPadding, Card::kPadding);
    layout->setSpacing(Card::kSpacing);
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

QWidget* busCardLine(QWidget* parent, std::initializer_list<QWidget*> parts, int stretchAfter) {
    auto* line = new QWidget(parent);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(PanelMetrics::BusCard::kLineSpacing);
    int index = 0;
    for (QWidget* part : parts) {
        part->setParent(line);
        layout->addWidget(part);
        if (index++ == stretchAfter) layout->addStretch(1);
    }
    if (stretchAfter >= index) layout->addStretch(1);
    return line;
}

void paintBusCard(QWidget& card, const Palette& colors) {
    QPainter painter(&card);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, card.rect(), PanelMetrics::BusCard::kRadius, colors.rowHover);
}

}  // namespace quellor
