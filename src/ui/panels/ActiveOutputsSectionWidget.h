#pragma once
// The head of the output side: the MAIN card above the PHONES card. The host reports the bus a
// dragged device is over with setBusTarget(), which the MAIN card shows.
//
// Threads: main thread only.

#include <QWidget>
#include <optional>

#include "ui/panels/MainBusCardWidget.h"
#include "ui/panels/PhonesBusCardWidget.h"

namespace quellor {

// The two cards, MAIN above PHONES.
class ActiveOutputsSectionWidget : public QWidget {
    Q_OBJECT
public:
    // Needs what the two cards need (see MainBusCardWidget).
    ActiveOutputsSectionWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                               DropZoneBoard* board = nullptr, DeviceSymbolLookup symbol = {},
                               QWidget* parent = nullptr);

    void setBusTarget(std::optional<OutputBus> target) { main_->setBusTarget(target); }
    MainBusCardWidget& mainCard() const { return *main_; }
    PhonesBusCardWidget& phonesCard() const { return *phones_; }

private:
    MainBusCardWidget* main_;
    PhonesBusCardWidget* phones_;
};

}  // namespace quellor
