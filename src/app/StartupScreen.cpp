#include "app/StartupScreen.h"

#include <QEasingCurve>
#include <algorithm>

namespace quellor::startup {

Model buildModel(const std::vector<MixSession>& recent, bool collapsed, const std::optional<QString>& updateTitle,
                 const QLocale& locale) {
    Model model;
    if (updateTitle) model.updateButtonTitle = QStringLiteral("⟳ ") + *updateTitle;
    model.showsRecent = !recent.empty();
    model.collapsed = collapsed;
    model.chevron = collapsed ? QStringLiteral("chevron.right") : QStringLiteral("chevron.down");
    if (collapsed) return model;
    const std::size_t count = std::min<std::size_t>(recent.size(), kRecentLimit);
    for (std::size_t i = 0; i < count; ++i) {
        const MixSession& s = recent[i];
        model.rows.push_back({s.id, s.name, locale.toString(s.modifiedAt.toLocalTime().date(), QLocale::ShortFormat)});
    }
    return model;
}

std::optional<Item> Layout::hit(QPoint point) const {
    for (const Item& item : items)
        if (item.rect.contains(point)) return item;
    return std::nullopt;
}

std::optional<QRect> Layout::rect(Element element, int row) const {
    for (const Item& item : items)
        if (item.element == element && (element != Element::Row || item.row == row)) return item.rect;
    return std::nullopt;
}

Layout layout(const Model& model, int wordmarkWidth) {
    using M = ShellMetrics::StartupScreen;
    Layout l;
    const int left = M::kSidePadding;
    int y = M::kTopPadding;
    const int headerWidth = M::kIconSize + M::kHeaderSpacing + wordmarkWidth;
    const int headerLeft = left + (M::kContentWidth - headerWidth) / 2;
    l.icon = QRect(headerLeft, y, M::kIconSize, M::kIconSize);
    l.wordmark = QRect(headerLeft + M::kIconSize + M::kHeaderSpacing, y, wordmarkWidth, M::kIconSize);
    y += M::kIconSize + M::kHeaderBottomPadding;

    auto button = [&](Element element) {
        y += M::kSpacing;
        l.items.push_back({element, QRect(left, y, M::kContentWidth, M::kButtonHeight)});
        y += M::kButtonHeight;
    };
    button(Element::NewSetup);
    button(Element::OpenSetup);
    if (model.updateButtonTitle) button(Element::Update);
    if (model.showsRecent) {
        y += M::kSpacing + M::kRecentTopPadding;
        l.items.push_back({Element::RecentHeader, QRect(left, y, M::kContentWidth, M::kRecentHeaderHeight)});
        y += M::kRecentHeaderHeight;
        if (!model.rows.empty()) {
            y += M::kSpacing;
            for (int i = 0; i < int(model.rows.size()); ++i) {
                if (i > 0) y += M::kRowSpacing;
                l.items.push_back({Element::Row, QRect(left, y, M::kContentWidth, M::kRowHeight), i});
                y += M::kRowHeight;
            }
        }
    }
    l.size = QSize(M::kWindowWidth, y + M::kBottomPadding);
    return l;
}

QRectF chevronRect(const QRect& header) {
    using M = ShellMetrics::StartupScreen;
    const QRectF r(header);
    return {r.left(), r.center().y() - M::kChevronSize / 2.0, M::kChevronSize, M::kChevronSize};
}

QRectF headerTitleRect(const QRect& header) {
    using M = ShellMetrics::StartupScreen;
    return QRectF(header).adjusted(M::kChevronSize + M::kChevronSpacing, 0, 0, 0);
}

QRectF rowTextRect(const QRect& row) {
    using M = ShellMetrics::StartupScreen;
    return QRectF(row).adjusted(M::kRowPadding, 0, -M::kRowPadding, 0);
}

int rowTitleWidth(const QRectF& textRect, int dateWidth) {
    return std::max(0, int(textRect.width()) - dateWidth - ShellMetrics::StartupScreen::kRowMinimumGap);
}

FocusRing focusRing(const Item& item) {
    using M = ShellMetrics::StartupScreen;
    constexpr int ring = M::kFocusRingWidth;
    const QRectF outside = QRectF(item.rect).adjusted(-ring, -ring, ring, ring);
    const bool capsule =
        item.element == Element::NewSetup || item.element == Element::OpenSetup || item.element == Element::Update;
    const double radius = capsule ? outside.height() / 2 : M::kRowCornerRadius + ring;
    // The pen straddles its path: half the ring inside the outer rectangle.
    return {outside.adjusted(ring / 2, ring / 2, -ring / 2, -ring / 2), radius};
}

EntranceFrame entranceFrame(double elapsed) {
    // The ease-out curve of the animation: a cubic Bézier from (0, 0) through (0, 0) and (0.58, 1).
    static const QEasingCurve curve = [] {
        QEasingCurve c(QEasingCurve::BezierSpline);
        c.addCubicBezierSegment(QPointF(0.0, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
        return c;
    }();
    const double t = std::clamp(elapsed / kEntranceDuration, 0.0, 1.0);
    const double p = t >= 1.0 ? 1.0 : curve.valueForProgress(t);
    return {p, kEntranceStartScale + (1.0 - kEntranceStartScale) * p};
}

}  // namespace quellor::startup
