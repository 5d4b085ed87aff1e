#include "ui/settings/SettingCard.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

#include "base/UserDefaults.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using M = SettingsMetrics::SettingCard;

SettingCard::SettingCard(UserDefaults& defaults, ThemeController& themes, const QString& key, SwitchOptions options,
                         std::vector<SettingCardLook::IconShape> icon, QWidget* parent)
    : QWidget(parent),
      defaults_(defaults),
      themes_(themes),
      options_(std::move(options)),
      icon_(std::move(icon)),
      switch_(new SlideSwitchWidget(themes, options_(defaults, themes.palette()), this)) {
    auto* row = new QHBoxLayout(this);
    // The icon is painted in the leading margin; the switch follows it.
    const int leading = int(SettingCardLook::switchLeading(icon_));
    row->setContentsMargins(leading, 0, int(M::kTrailing), 0);
    row->setSpacing(0);
    row->addWidget(switch_, 0, Qt::AlignVCenter);
    setFixedHeight(int(M::kHeight));
    connect(&defaults, &UserDefaults::changed, this, [this, key](const QString& changed) {
        if (changed == key) follow();
    });
    connect(&themes, &ThemeController::themeChanged, this, &SettingCard::follow);
}

void SettingCard::follow() {
    switch_->setOptions(options_(defaults_, themes_.palette()));
    update();
}

QSize SettingCard::sizeHint() const { return {QWidget::sizeHint().width(), int(M::kHeight)}; }

void SettingCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Palette palette = themes_.palette();
    paintOutlinedFrame(painter, rect(), palette.hair, palette.elevated, M::kCornerRadius);
    QPainterPath icon;
    const QPointF origin = SettingCardLook::iconOrigin(height());
    for (const auto& shape : icon_) icon.addRoundedRect(shape.rect.translated(origin), shape.radius, shape.radius);
    painter.fillPath(icon, palette.textSecondary);
}

}  // namespace quellor
