#pragma once
// The logic of the console's 44-point top bar: which of its four rows stands in the width it is
// given, what each row holds, the faces and actions of its buttons (lock, CLEAR SOLO, sidebar,
// settings, more-menu) and the more-menu itself. Every setting it shows is a user default
// ("consoleLocked", "sidebarHidden", "meterSource", "theme"), so every view bound to the same keys
// follows a choice made here at once; the bar keeps no state of its own.
//
// Rows, widest first: A and B carry the title, the strip-count card, the full lock button, the
// meter card, CLEAR SOLO, the theme switch and the icon group (B with tighter padding); C keeps the
// title, the strip-count card and CLEAR SOLO but folds the meter source and theme into the
// more-menu and shows the lock as an icon; D keeps only the lock icon, the more-menu and the icon
// group, pushed to the right. The first row whose ideal width fits is shown; when none fits, D,
// the narrowest, is shown anyway. Ideal widths come from the widths a widget measures for its
// items, so no breakpoints are fixed here.
//
// Every control of the bar stays usable while the console is locked: the lock can always be
// released from here.
//
// Threads: main thread only; actions hold the engine, the defaults and the theme controller weakly.

#include <QColor>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/MenuModel.h"
#include "ui/style/ThemeMode.h"

namespace quellor {

class MixerEngine;
class ThemeController;
class UserDefaults;

// A button of the bar as a widget paints it: an icon glyph, optionally with text.
struct TopBarButtonFace {
    QString symbol;               // empty for a text-only button
    std::optional<QString> text;  // the lock's "LOCK"/"LOCKED" in its full form, "CLEAR SOLO"
    QColor color;                 // of the symbol and the text
    QColor background;            // transparent for none
    QString accessibilityLabel;
    QString help;
    QString objectName;
};

class ConsoleTopBar {
public:
    static inline const QString kTitle = QStringLiteral("CONSOLE");

    static inline const QString kSidebarHiddenKey = QStringLiteral("sidebarHidden");

    enum class Row { A, B, C, D };

    struct Item {
        enum class Kind {
            Title,
            StripCountCard,
            FlexibleSpace,
            LockFull,
            LockCompact,
            MeterCard,
            ClearSolo,
            Divider,
            ThemeSwitch,
            MoreMenu,
            IconGroup,
            // The recording cards, when the bar is given them: the REC card in full (with its
            // PRE/POST switch) in row A, the ball alone in B to D, and the latest-take card in A
            // to C.
            RecCard,
            RecCardCompact,
            MainRecordingCard,
        };
        Kind kind;
        double leading = 0;
        double trailing = 0;
        double minLength = 0;  // a flexible space's least length
        bool operator==(const Item&) const = default;
    };

    struct RowLayout {
        Row row = Row::A;
        double spacing = 0;
        std::vector<Item> items;  // left to right
    };

    // What the widget measures of its items (their own widths, without the row's padding). The
    // cards are empty until they are built.
    struct ItemWidths {
        double title = 0;
        double stripCountCard = 0;
        double lockFull = 0;
        double lockCompact = 0;
        double meterCard = 0;
        double clearSolo = 0;
        double themeSwitch = 0;
        double moreMenu = ConsoleMetrics::TopBar::kIconGlyphSize;
        double iconGroup = 2 * ConsoleMetrics::TopBar::kIconGlyphSize + ConsoleMetrics::TopBar::kIconGroupSpacing;
        double recCard = 0;
        double recCardCompact = 0;
        double mainRecordingCard = 0;

        double of(Item::Kind kind) const;
    };

    static RowLayout rowLayout(Row row, bool showsClearSolo, bool withRecordingCards = false);
    static double idealWidth(const RowLayout& layout, const ItemWidths& widths);
    // The row shown in a bar `barWidth` wide (its padding included).
    static Row rowThatFits(double barWidth, const ItemWidths& widths, bool showsClearSolo, bool withRecordingCards = false);

    // `onSettings` opens the settings; the main window decides what that is.
    ConsoleTopBar(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes,
                  std::function<void()> onSettings);

    // While anything is soloed.
    bool showsClearSolo() const;
    // Releases every solo standing now.
    void clearSolo() const;
    TopBarButtonFace clearSoloButton() const;

    bool isLocked() const;
    // The full form names the state in text; the compact one shows the icon only.
    TopBarButtonFace lockButton(bool compact) const;
    void toggleLock() const;

    bool isSidebarHidden() const;
    TopBarButtonFace sidebarToggle() const;
    void toggleSidebar() const;

    TopBarButtonFace settingsButton() const;
    void openSettings() const;

    TopBarButtonFace moreMenuButton() const;
    // "Meter source" (METER PRE, METER POST) and "Theme" (one entry per theme), each checked by the
    // stored value ("post" and "booth" when absent): a value naming none of the choices checks none. A theme goes through the theme
    // controller, so it applies at once.
    MenuModel moreMenu() const;

    // The bar's colours of the theme in force.
    QColor background() const;  // `panel`
    QColor hair() const;        // the dividers and the line under the bar
    QColor titleColor() const;  // `textSecondary`

private:
    Palette palette() const;
    ThemeMode theme() const;

    QPointer<MixerEngine> engine_;
    QPointer<UserDefaults> defaults_;
    QPointer<ThemeController> themes_;
    std::function<void()> onSettings_;
};

}  // namespace quellor
