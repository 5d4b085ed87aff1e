#include "ui/console/MainMute.h"

#include <algorithm>

#include "engine/MixerEngine.h"
#include "engine/RouteID.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/ConsoleMetrics.h"

namespace quellor {

MainMuteFace MainMuteFace::of(bool panicked, ThemeMode theme) {
    const Palette p = palette(theme);
    const QColor red = standardRed(theme);
    MainMuteFace face;
    face.panicked = panicked;
    face.text = panicked ? p.void_ : p.textMuted;
    face.fill = panicked ? withOpacity(red, 0.85) : p.elevated;
    face.border = withOpacity(red, panicked ? 0 : 0.5);
    face.accessibilityLabel = panicked ? QStringLiteral("Main muted. Unmute") : QStringLiteral("Mute the whole mix");
    face.help = panicked ? QStringLiteral("Unmute: bring the mix back exactly as it was")
                         : QStringLiteral("Mute: silence every channel (it works while the console is locked)");
    return face;
}

void MainMuteFace::click(MixerEngine& engine) const { engine.setPanic(!panicked); }

std::optional<int> mainMuteSlot(const QStringList& slotIDs, int shownCount) {
    const int index = int(slotIDs.mid(0, std::max(shownCount, 0)).lastIndexOf(RouteID::kMainBus));
    return index >= 0 ? std::optional(index) : std::nullopt;
}

std::optional<QRectF> mainMuteRect(const std::optional<QRectF>& band, const QRectF& visible) {
    if (!band) return std::nullopt;
    const bool inView = band->left() >= visible.left() && band->right() <= visible.right() &&
                        band->top() >= visible.top() && band->bottom() <= visible.bottom();
    if (!inView) return std::nullopt;
    using M = ConsoleMetrics::MainMute;
    const double width = std::max(0.0, band->width() - 2 * M::kSideInset);
    const QPointF centre = band->center();
    return QRectF(centre.x() - width / 2, centre.y() - M::kHeight / 2, width, M::kHeight);
}

}  // namespace quellor
