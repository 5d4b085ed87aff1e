#pragma once
// What the startup screen shows and where, as plain values: the model (buttons, the recent setups
// and their dates, the collapsed state of the list) built from the setup manager's recent setups,
// and the layout of a 376-wide window (a 320-wide column with 28 pt on each side, 30 pt above and
// 24 pt below, in ShellMetrics) in which the view paints and hit-tests each element.
//
// Column, top to bottom, 8 pt apart: the header (the 42 x 42 application icon and the two-part
// wordmark, centred, 10 pt apart, with 10 pt more below); "New Setup…" (primary); "Open Setup…"
// (secondary); the update button "⟳ Update to 2.1…" only when an update is known; and, only when
// there is a setup, the recent section: 14 pt above its header ("RECENT SETUPS" with a chevron),
// then, unless collapsed, up to ten rows (28 high, 2 pt apart), the most recently modified first.
//
// Values only: any thread.
#include <QDateTime>
#include <QLocale>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QUuid>
#include <optional>
#include <vector>

#include "app/ShellMetrics.h"
#include "setups/MixSession.h"

namespace quellor::startup {

inline constexpr const char* kCollapsedKey = "startupRecentCollapsed";
inline constexpr int kRecentLimit = 10;

// The window's width, by which the desktop checks find it on screen.
inline constexpr int kWindowWidth = ShellMetrics::StartupScreen::kWindowWidth;

// The entrance: the content fades and grows in once, easing out over 0.32 s from 96.5 % size.
inline constexpr double kEntranceDuration = 0.32;
inline constexpr double kEntranceStartScale = 0.965;

inline const QString kNewSetupTitle = QStringLiteral("New Setup…");
inline const QString kOpenSetupTitle = QStringLiteral("Open Setup…");
inline const QString kRecentTitle = QStringLiteral("RECENT SETUPS");
inline const QString kNewSetupPromptTitle = QStringLiteral("New setup");
inline const QString kSetupNamePlaceholder = QStringLiteral("Setup name");
// The wordmark: the product name in two colours.
inline const QString kWordmarkLead = QStringLiteral("Quel");
inline const QString kWordmarkRest = QStringLiteral("lor");

struct Row {
    QUuid id;
    QString title;
    QString date;  // the locale's short date, no time
    friend bool operator==(const Row&, const Row&) = default;
};

struct Model {
    std::optional<QString> updateButtonTitle;  // "⟳ " + the update title
    bool showsRecent = false;                  // at least one setup
    bool collapsed = false;
    QString chevron;                           // "chevron.right" collapsed, "chevron.down" open
    std::vector<Row> rows;                     // empty while collapsed
};

// `recent` as the setup manager lists it (newest first).
Model buildModel(const std::vector<MixSession>& recent, bool collapsed, const std::optional<QString>& updateTitle,
                 const QLocale& locale = QLocale());

enum class Element { NewSetup, OpenSetup, Update, RecentHeader, Row };

struct Item {
    Element element;
    QRect rect;   // window coordinates
    int row = -1;  // for Element::Row
};

struct Layout {
    QSize size;  // the window's
    QRect icon;
    QRect wordmark;
    std::vector<Item> items;

    // The element under `point`, if any.
    std::optional<Item> hit(QPoint point) const;
    // The rectangle of the first item of `element` (the `row`th row), if shown.
    std::optional<QRect> rect(Element element, int row = -1) const;
};

// `wordmarkWidth`: the painted width of the wordmark in its font.
Layout layout(const Model& model, int wordmarkWidth);

// Inside the recent list's header `header`: the chevron, centred from top to bottom at the leading
// edge, and the title after it.
QRectF chevronRect(const QRect& header);
QRectF headerTitleRect(const QRect& header);
// Inside the row `row`: the padded box in which the date stands at the right and the title at the
// left, and how wide the title may be next to a date `dateWidth` wide (never less than 0).
QRectF rowTextRect(const QRect& row);
int rowTitleWidth(const QRectF& textRect, int dateWidth);

// The keyboard focus ring of an item: the rectangle its pen (kFocusRingWidth wide) is centred on, just
// outside the item's shape, and its corner radius (a capsule round a button, a rounded row's radius
// grown by the ring).
struct FocusRing {
    QRectF rect;
    double radius = 0;
};
FocusRing focusRing(const Item& item);

struct EntranceFrame {
    double opacity = 1;
    double scale = 1;
};
// The entrance `elapsed` seconds after the window came on screen.
EntranceFrame entranceFrame(double elapsed);

}  // namespace quellor::startup
