#include "ui/panels/InputStripWidget.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "audio/SystemVolumeController.h"
#include "engine/MixerEngine.h"
#include "engine/RouteID.h"
#include "remote/MIDIMappingManager.h"
#include "ui/common/ViewRefresh.h"
#include "ui/panels/LevelRowWidget.h"
#include "ui/panels/PanelMIDI.h"
#include "ui/panels/PanelMIDIBadgeWidget.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

InputStripWidget::InputStripWidget(MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                                   QWidget* parent)
    : QWidget(parent),
      engine_(engine),
      mappings_(mappings),
      themes_(themes),
      refresh_(new ViewRefresh([this] { rebuild(); }, this)) {
    setObjectName(QStringLiteral("input-strip"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(PanelMetrics::InputStrip::kSpacing);
    auto* header = new QHBoxLayout;
    header->setSpacing(PanelMetrics::InputStrip::kHeaderSpacing);
    title_ = panelLabel(QStringLiteral("input-title"), InputStrip::kTitlePointSize, QFont::DemiBold, this);
    title_->setText(InputStrip::kTitle);
    badge_ = new PanelMIDIBadgeWidget(this);
    deviceName_ = panelLabel(QStringLiteral("input-device-name"), InputStrip::kDevicePointSize, QFont::Normal, this);
    header->addWidget(title_, 0, Qt::AlignVCenter);
    header->addWidget(badge_, 0, Qt::AlignVCenter);
    header->addStretch(1);
    header->addWidget(deviceName_, 0, Qt::AlignVCenter);
    column->addLayout(header);
    level_ = new LevelRowWidget(themes_, /*showsNote*/ true, this);
    level_->setWording(InputStrip::kIcon, InputStrip::kMutedIcon, InputStrip::kGainNote);
    level_->setControl(&engine_.inputVolume());
    column->addWidget(level_);
    refresh_->watch(&engine_.inputVolume(), &SystemVolumeController::deviceNameChanged)
        .watch(&mappings_, &MIDIMappingManager::mappingsChanged)
        .watch(&mappings_, &MIDIMappingManager::learningTargetChanged)
        .watch(&themes_, &ThemeController::themeChanged);
    rebuild();
}

MenuModel InputStripWidget::contextMenu() const { return panelLearnItems(RouteID::kSystemInput, mappings_); }

void InputStripWidget::rebuild() {
    model_ = InputStrip::of(engine_.inputVolume(), &mappings_);
    const Palette colors = themes_.palette();
    setTextColor(*title_, colors.textPrimary);
    badge_->setBadge(model_.badge, themes_.current());
    setTextColor(*deviceName_, colors.textSecondary);
    elideDeviceName();
}

void InputStripWidget::resizeEvent(QResizeEvent*) { elideDeviceName(); }

void InputStripWidget::elideDeviceName() {
    const std::optional<int> badge =
        badge_->isVisibleTo(this) ? std::optional(badge_->sizeHint().width()) : std::nullopt;
    const int room = InputStrip::deviceNameRoom(width(), title_->sizeHint().width(), badge);
    deviceName_->setText(QFontMetrics(deviceName_->font()).elidedText(model_.deviceName, Qt::ElideRight, room));
    deviceName_->setToolTip(model_.deviceName);
}

void InputStripWidget::contextMenuEvent(QContextMenuEvent* event) {
    openPanelMenu(contextMenu(), this, event->globalPos());
    event->accept();
}

}  // namespace quellor
