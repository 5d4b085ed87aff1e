#include "ui/console/ConsoleTopBar.h"

#include <set>

#include "engine/MeterSource.h"
#include "engine/MixerEngine.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/ConsoleLock.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using Kind = ConsoleTopBar::Item::Kind;
using T = ConsoleMetrics::TopBar;

double ConsoleTopBar::ItemWidths::of(Kind kind) const {
    switch (kind) {
    case Kind::Title: return title;
    case Kind::StripCountCard: return stripCountCard;
    case Kind::FlexibleSpace: return 0;
    case Kind::LockFull: return lockFull;
    case Kind::LockCompact: return lockCompact;
    case Kind::MeterCard: return meterCard;
    case Kind::ClearSolo: return clearSolo;
    case Kind::Divider: return T::kLineWidth;
    case Kind::ThemeSwitch: return themeSwitch;
    case Kind::MoreMenu: return moreMenu;
    case Kind::IconGroup: return iconGroup;
    case Kind::RecCard: return recCard;
    case Kind::RecCardCompact: return recCardCompact;
    case Kind::MainRecordingCard: return mainRecordingCard;
    }
    return 0;
}

ConsoleTopBar::RowLayout ConsoleTopBar::rowLayout(Row row, bool showsClearSolo, bool withRecordingCards) {
    RowLayout layout{row, row == Row::D ? T::kNarrowRowSpacing : 0.0, {}};
    auto add = [&](Kind kind, double leading = 0, double trailing = 0, double minLength = 0) {
        layout.items.push_back({kind, leading, trailing, minLength});
    };
    switch (row) {
    case Row::A:
    case Row::B: {
        // B is A with tighter room around its items.
        const bool a = row == Row::A;
        const T::Room& room = a ? T::kWideRoom : T::kTightRoom;
        add(Kind::Title, 0, T::kTitleTrailing);
        add(Kind::StripCountCard);
        if (withRecordingCards) {
            // Only the widest row has room for the recording source switch.
            add(a ? Kind::RecCard : Kind::RecCardCompact, room.recCardLeading);
            add(Kind::MainRecordingCard, room.mainRecordingLeading);
        }
        add(Kind::FlexibleSpace, 0, 0, room.flexibleMin);
        add(Kind::LockFull, 0, room.lockTrailing);
        add(Kind::MeterCard);
        if (showsClearSolo) add(Kind::ClearSolo, room.clearSoloLeading);
        add(Kind::Divider, room.divider, room.divider);
        add(Kind::ThemeSwitch);
        add(Kind::Divider, room.divider, room.divider);
        add(Kind::IconGroup);
        break;
    }
    case Row::C:
        add(Kind::Title, 0, T::kTitleTrailing);
        add(Kind::StripCountCard);
        if (withRecordingCards) {
            add(Kind::RecCardCompact, T::kTightRoom.recCardLeading);
            add(Kind::MainRecordingCard, T::kTightRoom.mainRecordingLeading);
        }
        add(Kind::FlexibleSpace, 0, 0, T::kTightRoom.flexibleMin);
        if (showsClearSolo) add(Kind::ClearSolo);
        add(Kind::LockCompact);
        add(Kind::MoreMenu);
        add(Kind::IconGroup);
        break;
    case Row::D:
        // The REC ball stays within reach however narrow the bar.
        if (withRecordingCards) add(Kind::RecCardCompact);
        add(Kind::FlexibleSpace, 0, 0, T::kNarrowRowFlexibleMin);
        add(Kind::LockCompact);
        add(Kind::MoreMenu);
        add(Kind::IconGroup);
        break;
    }
    return layout;
}

double ConsoleTopBar::idealWidth(const RowLayout& layout, const ItemWidths& widths) {
    double width = layout.items.empty() ? 0 : layout.spacing * double(layout.items.size() - 1);
    for (const Item& item : layout.items) width += item.leading + widths.of(item.kind) + item.minLength + item.trailing;
    return width;
}

ConsoleTopBar::Row ConsoleTopBar::rowThatFits(double barWidth, const ItemWidths& widths,
                                              bool showsClearSolo, bool withRecordingCards) {
    const double available = barWidth - 2 * T::kHorizontalPadding;
    for (Row row : {Row::A, Row::B, Row::C})
        if (idealWidth(rowLayout(row, showsClearSolo, withRecordingCards), widths) <= available) return row;
    return Row::D;
}

ConsoleTopBar::ConsoleTopBar(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes,
                             std::function<void()> onSettings)
    : engine_(&engine), defaults_(&defaults), themes_(&themes), onSettings_(std::move(onSettings)) {}

ThemeMode ConsoleTopBar::theme() const { return themes_ ? themes_->current() : ThemeMode::Booth; }
Palette ConsoleTopBar::palette() const { return quellor::palette(theme()); }
QColor ConsoleTopBar::background() const { return palette().panel; }
QColor ConsoleTopBar::hair() const { return palette().hair; }
QColor ConsoleTopBar::titleColor() const { return palette().textSecondary; }

bool ConsoleTopBar::showsClearSolo() const { return engine_ && !engine_->soloed().empty(); }

void ConsoleTopBar::clearSolo() const {
    if (!engine_) return;
    // A copy: each release changes the set.
    const std::set<QString> soloed = engine_->soloed();
    for (const QString& id : soloed) {
        if (!engine_) return;
        engine_->applySolo(false, id);
    }
}

TopBarButtonFace ConsoleTopBar::clearSoloButton() const {
    return {QString(), QStringLiteral("CLEAR SOLO"), standardYellow(theme()), Qt::transparent, QStringLiteral("CLEAR SOLO"),
            QStringLiteral("Release every solo"), QStringLiteral("clear-solo")};
}

bool ConsoleTopBar::isLocked() const { return defaults_ && ConsoleLock::isLocked(*defaults_); }

TopBarButtonFace ConsoleTopBar::lockButton(bool compact) const {
    const Palette p = palette();
    const bool locked = isLocked();
    TopBarButtonFace face;
    face.symbol = locked ? QStringLiteral("lock.fill") : QStringLiteral("lock.open");
    if (!compact) face.text = locked ? QStringLiteral("LOCKED") : QStringLiteral("LOCK");
    face.color = locked ? p.brand : p.textSecondary;
    face.background = locked ? withOpacity(p.brand, 0.15) : QColor(Qt::transparent);
    face.accessibilityLabel = locked ? QStringLiteral("Console lock: locked. Unlock the console")
                                     : QStringLiteral("Console lock: unlocked. Lock the console");
    face.help = locked ? QStringLiteral("Console locked: faders and buttons ignore the mouse (MUTE on MAIN still works)")
                       : QStringLiteral("Lock the console against accidental moves");
    face.objectName = QStringLiteral("console-lock");
    return face;
}

void ConsoleTopBar::toggleLock() const {
    if (defaults_) ConsoleLock::toggle(*defaults_);
}

bool ConsoleTopBar::isSidebarHidden() const { return defaults_ && defaults_->boolOr(kSidebarHiddenKey, false); }

TopBarButtonFace ConsoleTopBar::sidebarToggle() const {
    const Palette p = palette();
    const bool hidden = isSidebarHidden();
    return {QStringLiteral("sidebar.left"),
            std::nullopt,
            hidden ? p.textSecondary : p.brand,
            Qt::transparent,
            hidden ? QStringLiteral("Show sidebar") : QStringLiteral("Hide sidebar"),
            hidden ? QStringLiteral("Show the sidebar") : QStringLiteral("Hide the sidebar"),
            QStringLiteral("sidebar-toggle")};
}

void ConsoleTopBar::toggleSidebar() const {
    if (defaults_) defaults_->setBool(kSidebarHiddenKey, !isSidebarHidden());
}

TopBarButtonFace ConsoleTopBar::settingsButton() const {
    return {QStringLiteral("gearshape"), std::nullopt,          palette().textSecondary,         Qt::transparent,
            QStringLiteral("Settings"),  QStringLiteral("Settings"), QStringLiteral("console-settings")};
}

void ConsoleTopBar::openSettings() const {
    if (onSettings_) onSettings_();
}

TopBarButtonFace ConsoleTopBar::moreMenuButton() const {
    return {QStringLiteral("ellipsis.circle"),
            std::nullopt,
            palette().textSecondary,
            Qt::transparent,
            QStringLiteral("More: meter source, theme"),
            QStringLiteral("Meter source and theme"),
            QStringLiteral("more-menu")};
}

MenuModel ConsoleTopBar::moreMenu() const {
    auto choice = [](QString title, bool checked, std::function<void()> action) {
        MenuItem item = MenuItem::command(std::move(title), std::move(action));
        item.checkable = true;
        item.checked = checked;
        return item;
    };
    const QString meter = defaults_ ? defaults_->stringOr(MeterSources::kDefaultsKey, QStringLiteral("post")) : QString();
    std::vector<MenuItem> meterItems;
    for (MeterSource source : {MeterSource::pre, MeterSource::post}) {
        const QString raw = MeterSources::rawValue(source);
        meterItems.push_back(choice(QStringLiteral("METER ") + MeterSources::label(source), meter == raw,
                                    [defaults = defaults_, raw] {
                                        if (defaults) defaults->setString(MeterSources::kDefaultsKey, raw);
                                    }));
    }
    const QString stored = defaults_ ? defaults_->stringOr(QString::fromLatin1(ThemeController::kThemeKey),
                                                           rawValue(ThemeMode::Booth))
                                     : QString();
    std::vector<MenuItem> themeItems;
    for (ThemeMode mode : kAllThemes)
        themeItems.push_back(choice(displayName(mode), stored == rawValue(mode), [themes = themes_, mode] {
            if (themes) themes->choose(mode);
        }));
    return {MenuItem::submenu(QStringLiteral("Meter source"), std::move(meterItems)),
            MenuItem::submenu(QStringLiteral("Theme"), std::move(themeItems))};
}

}  // namespace quellor
