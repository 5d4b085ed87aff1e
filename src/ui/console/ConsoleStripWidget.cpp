#include "ui/console/ConsoleStripWidget.h"

#include <QContextMenuEvent>
#include <QGraphicsOpacityEffect>

#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/console/ConsoleFaderWidget.h"
#include "ui/console/MIDIBadgeLabel.h"
#include "ui/console/StripButtonAreaWidget.h"
#include "ui/console/StripButtonRow.h"
#include "ui/console/StripButtons.h"
#include "ui/console/StripDragPayload.h"
#include "ui/console/StripFadeMenu.h"
#include "ui/console/StripModelBuilder.h"
#include "ui/console/StripReadout.h"
#include "ui/console/StripReadoutWidget.h"
#include "ui/console/StripTitleBlockWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor {

ConsoleStripWidget::ConsoleStripWidget(ConsoleStripEnvironment environment, QWidget* parent)
    : QWidget(parent), env_(std::move(environment)) {
    readout_ = new StripReadoutWidget(env_.themes, this);
    buttonArea_ = new StripButtonAreaWidget(env_.themes, this);
    buttons_ = new StripButtonRow(env_.themes, buttonArea_);
    fader_ = new ConsoleFaderWidget(env_.clock, env_.themes, this);
    title_ = new StripTitleBlockWidget(env_.themes, this);
    cueBadge_ = new MIDIBadgeLabel(env_.themes, /*onDark*/ false, this);
    cueBadge_->setObjectName(QStringLiteral("strip-cue-midi-badge"));

    // The unit is one setting for every strip; each follows it.
    readout_->onClick = [defaults = &env_.defaults] { toggleReadoutUnit(*defaults); };
    connect(&env_.defaults, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == QLatin1String(kReadoutDBKey)) refresh();
    });
    connect(&env_.themes, &ThemeController::themeChanged, this, [this] { refresh(); });
    setStrip(StripModelBuilder::emptySlotModel(), std::nullopt, false, {});
}

std::optional<QString> ConsoleStripWidget::dragPayload() const {
    if (!slot_) return std::nullopt;
    return StripDragPayload::forSlot(*slot_);
}

void ConsoleStripWidget::setStrip(StripModel model, std::optional<int> slot, bool compact, StripCallbacks callbacks) {
    model_ = std::move(model);
    slot_ = slot;
    compact_ = compact;
    callbacks_ = std::move(callbacks);
    refresh();
}

void ConsoleStripWidget::refresh() {
    const ThemeMode theme = env_.themes.current();
    look_ = stripLook(model_, theme, compact_);
    setAccessibleName(model_.name.isEmpty() ? QStringLiteral("Empty strip") : model_.name);

    // Faded as a whole while inactive: one layer, so the parts do not show through each other.
    if (look_.opacity < 1) {
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
        if (!effect) {
            effect = new QGraphicsOpacityEffect(this);
            setGraphicsEffect(effect);
        }
        effect->setOpacity(look_.opacity);
    } else if (graphicsEffect()) {
        setGraphicsEffect(nullptr);
    }

    std::optional<MIDIStatusBadge> faderBadge;
    if (model_.midiTarget) faderBadge = MIDIStatusBadge::of(env_.mappings, *model_.midiTarget);
    readout_->set(readoutText(model_.volume, model_.isActive, readoutShowsDB(env_.defaults)), look_, faderBadge);
    readout_->fadeMenu = [model = model_, fades = &env_.fades] { return fadeSection(model, *fades); };

    const std::vector<StripButton> faces = stripButtons(model_, theme);
    buttons_->setVisible(look_.buttonArea == StripLook::ButtonArea::Buttons);
    buttons_->setButtons(look_.buttonArea == StripLook::ButtonArea::Buttons ? faces : std::vector<StripButton>{});
    MIDIStatusBadge cueBadge;
    for (const StripButton& b : faces)
        if (b.badgeTarget && look_.buttonArea == StripLook::ButtonArea::Buttons)
            cueBadge = MIDIStatusBadge::of(env_.mappings, *b.badgeTarget);
    cueBadge_->setBadge(cueBadge);

    fader_->setState({model_.volume, model_.isActive, model_.isCued, model_.resetValue});
    fader_->setOnChange(model_.setVolume);
    fader_->setMeter(model_.meter);
    fader_->setAccessibility(faderAccessibilityLabel(model_.name), faderAccessibilityValue(model_.volume),
                             [model = model_](bool increment) { adjustFader(model, increment); });

    title_->contextMenu = [model = model_, callbacks = callbacks_, fades = &env_.fades] {
        return titleBlockContextMenu(model, callbacks, *fades);
    };
    title_->routeMenu = [model = model_] { return quellor::routeMenu(model); };
    title_->set(StripTitleBlock::of(model_, compact_), look_, model_.name, dragPayload());
    relayout();
    update();
}

void ConsoleStripWidget::resizeEvent(QResizeEvent*) { relayout(); }

void ConsoleStripWidget::relayout() {
    const int pad = int(look_.padding);
    const QRect inner = rect().adjusted(pad, pad, -pad, -pad);
    const int readoutHeight = int(look_.readoutHeight);
    readout_->setGeometry(inner.x(), inner.y(), inner.width(), readoutHeight);
    const QRect area(inner.x(), inner.y() + readoutHeight, inner.width(), ConsoleMetrics::Strip::kButtonAreaHeight);
    buttonArea_->setGeometry(area);
    buttons_->setGeometry(buttonArea_->rect());
    const int titleHeight = title_->preferredHeight();
    const int titleTop = inner.y() + inner.height() - titleHeight;
    title_->setGeometry(inner.x(), titleTop, inner.width(), titleHeight);
    fader_->setGeometry(inner.x(), area.bottom() + 1, inner.width(), std::max(0, titleTop - area.bottom() - 1));

    // The CUE badge stands over the CUE button, its top kBadgeRise above the button's, centred.
    if (StripButtonWidget* cue = buttons_->button(StripButton::Role::Cue); cue->isVisible() && cueBadge_->isVisible()) {
        const QRect button(cue->mapTo(this, QPoint(0, 0)), cue->size());
        const QSize hint = cueBadge_->sizeHint();
        cueBadge_->setGeometry(button.center().x() + 1 - (hint.width() + 1) / 2,
                               button.top() - int(ConsoleMetrics::Button::kBadgeRise), hint.width(), hint.height());
        cueBadge_->raise();
    }
}

MenuModel ConsoleStripWidget::contextMenu() const {
    if (!slot_) return {};
    // An empty slot offers its sources; a filled one the strip's own menu.
    if (model_.targetID.isEmpty()) return env_.sourceMenu ? env_.sourceMenu(*slot_) : MenuModel{};
    return stripContextMenu(*slot_, model_, env_.engine, env_.mappings, env_.sourceMenu);
}

void ConsoleStripWidget::contextMenuEvent(QContextMenuEvent* event) {
    const MenuModel menu = contextMenu();
    if (!menu.empty()) execMenu(menu, this, event->globalPos());
    event->accept();
}

std::optional<QRect> ConsoleStripWidget::mainMuteAnchor() const {
    if (look_.buttonArea != StripLook::ButtonArea::MainMuteAnchor) return std::nullopt;
    return buttonArea_->geometry();
}

}  // namespace quellor
