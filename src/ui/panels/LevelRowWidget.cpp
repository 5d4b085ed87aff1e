#include "ui/panels/LevelRowWidget.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/console/ControlSliderWidget.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

LevelRowWidget::LevelRowWidget(ThemeController& themes, bool showsNote, QWidget* parent)
    : QWidget(parent), themes_(themes), showsNote_(showsNote) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(PanelMetrics::LevelRow::kSpacing);
    slider_ = new ControlSliderWidget(model_.icon(), PanelMetrics::LevelRow::kSliderHeight, this);
    slider_->setObjectName(QStringLiteral("level-slider"));
    fade_ = new QGraphicsOpacityEffect(slider_);
    slider_->setGraphicsEffect(fade_);
    slider_->onLevel = [this](float level) {
        if (control_) control_->setVolume(level);
    };
    note_ = panelLabel(QStringLiteral("level-note"), 10, QFont::Normal, this);
    note_->setText(LevelRow::kDeviceControlledNote);
    layout->addWidget(slider_);
    layout->addWidget(note_);
    connect(&themes_, &ThemeController::themeChanged, this, &LevelRowWidget::refresh);
    setControl(nullptr);
}

void LevelRowWidget::setControl(VolumeControlling* control) {
    if (control == control_ && control) return refresh();
    if (control_) disconnect(control_, nullptr, this, nullptr);
    control_ = control;
    if (control) {
        for (auto signal : {&VolumeControlling::volumeChanged, &VolumeControlling::mutedChanged,
                            &VolumeControlling::canSetVolumeChanged, &VolumeControlling::canMuteChanged})
            connect(control, signal, this, &LevelRowWidget::refresh);
        connect(control, &QObject::destroyed, this, &LevelRowWidget::refresh);
    }
    refresh();
}

void LevelRowWidget::setWording(QString icon, QString mutedIcon, QString note) {
    icon_ = std::move(icon);
    mutedIcon_ = std::move(mutedIcon);
    note_->setText(note);
    refresh();
}

void LevelRowWidget::refresh() {
    setVisible(control_ != nullptr);
    if (!control_) return;
    model_ = LevelRow::of(*control_);
    slider_->setLevel(model_.volume);
    slider_->setIcon(icon_.isEmpty() ? model_.icon() : (model_.isMuted ? mutedIcon_ : icon_));
    slider_->setIconDimmed(model_.iconDimmed());
    if (model_.iconTaps)
        slider_->onIconTap = [this] {
            if (control_) control_->toggleMute();
        };
    else
        slider_->onIconTap = nullptr;
    slider_->setEnabled(model_.enabled);
    fade_->setOpacity(model_.opacity());
    note_->setVisible(showsNote_ && !model_.note().isEmpty());
    setTextColor(*note_, themes_.palette().textMuted);
}

}  // namespace quellor
