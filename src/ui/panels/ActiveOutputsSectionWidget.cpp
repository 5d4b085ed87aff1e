#include "ui/panels/ActiveOutputsSectionWidget.h"

#include <QVBoxLayout>

#include "ui/panels/PanelMetrics.h"

namespace quellor {

ActiveOutputsSectionWidget::ActiveOutputsSectionWidget(MixerEngine& engine, MIDIMappingManager& mappings,
                                                       ThemeController& themes, DropZoneBoard* board,
                                                       DeviceSymbolLookup symbol, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("active-outputs"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(PanelMetrics::BusCard::kStackSpacing);
    main_ = new MainBusCardWidget(engine, mappings, themes, board, std::move(symbol), this);
    phones_ = new PhonesBusCardWidget(engine, mappings, themes, this);
    layout->addWidget(main_);
    layout->addWidget(phones_);
}

}  // namespace quellor
