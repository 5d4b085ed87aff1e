#include "ui/console/ConsoleFader.h"

#include <algorithm>

#include "base/Level.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/MeterBar.h"

namespace quellor {

using F = ConsoleMetrics::Fader;

QRectF FaderGeometry::capRect(float value) const {
    return QRectF(F::kCapSideInset, travel() - capOffset(value), std::max(0.0, width - 2 * F::kCapSideInset), capHeight);
}

QRectF FaderGeometry::grooveRect() const {
    return QRectF(width / 2 - F::kGrooveWidth / 2, topInset, F::kGrooveWidth,
                  std::max(0.0, height - topInset - F::kGrooveBottomInset));
}

QRectF FaderGeometry::litGrooveRect(float value) const {
    return QRectF(width / 2 - F::kLitGrooveWidth / 2, capCentreY(value), F::kLitGrooveWidth, capOffset(value));
}

std::vector<QRectF> FaderGeometry::gripLines(float value) const {
    const QRectF cap = capRect(value);
    const double mid = cap.center().y();
    std::vector<QRectF> lines;
    for (double top : F::kGripTops)
        lines.emplace_back(cap.left() + F::kGripInset, mid + top, cap.width() - 2 * F::kGripInset, F::kGripHeight);
    return lines;
}

QRectF FaderGeometry::indicatorRect(float value) const {
    const QRectF cap = capRect(value);
    return QRectF(cap.left() + F::kIndicatorInset, cap.center().y() - F::kIndicatorHeight / 2,
                  cap.width() - 2 * F::kIndicatorInset, F::kIndicatorHeight);
}

std::vector<FaderGeometry::ScaleMark> FaderGeometry::scaleMarks() const {
    const double span = std::max(travel(), 1.0);
    std::vector<ScaleMark> marks;
    for (const FaderScaleEntry& entry : kFaderScale) {
        const double y = height - capHeight / 2 - entry.value * span;
        if (y < capHeight / 2 - 1) continue;
        const double tickTop = y - F::kTickHeight / 2;
        marks.push_back({QString::fromUtf8(entry.label), y, QRectF(F::kTickLeft, tickTop, F::kTickWidth, F::kTickHeight),
                         QRectF(width / 2 + F::kSoftTickOffset, tickTop, F::kSoftTickWidth, F::kTickHeight),
                         QPointF(F::kScaleLabelLeft, y)});
    }
    return marks;
}

QRectF FaderGeometry::meterRect() const {
    using M = ConsoleMetrics::Meter;
    const double column = MeterColumn::heightFor(meterTravel());
    const double bottom = height - M::kEndInset;
    const double top = bottom - column - M::kLampRise;
    return QRectF(width - M::kRightInset - M::kWidth, top, M::kWidth, bottom - top);
}

std::optional<float> FaderDrag::changed(const FaderGeometry& geometry, float value, bool isActive, double y, double y0,
                                        Qt::KeyboardModifiers modifiers) {
    if (!isActive) return std::nullopt;
    isDragging_ = true;
    const double travel = geometry.travel();
    float v;
    if (modifiers.testFlag(kFineModifier)) {
        if (!fineStart_) fineStart_ = FineStart{value, y0};
        v = fineStart_->value + 0.1f * float((fineStart_->y - y) / travel);
    } else {
        fineStart_.reset();
        v = float(1.0 - (y - geometry.capHeight / 2) / travel);
    }
    // Without travel the quotients are infinite, undefined or of the wrong sign: full level, before
    // any limiting could turn them into silence. The level law reads anything else that is not a
    // number as full level too.
    if (!(travel > 0)) return 1.0f;
    return clampLevel(v);
}

void FaderDrag::ended() {
    isDragging_ = false;
    fineStart_.reset();
}

std::optional<float> FaderDrag::doubleClicked(bool isActive, const std::optional<float>& resetValue) {
    return isActive ? resetValue : std::nullopt;
}

FaderLook FaderLook::of(ThemeMode theme, bool isActive, bool isCued, bool isDragging) {
    const Palette p = palette(theme);
    FaderLook look;
    look.panelTop = p.panel;
    look.panelBottom = withOpacity(p.panel, theme == ThemeMode::Daylight ? 0.85 : 0.55);
    look.borderWidth = isCued ? F::kCuedBorderWidth : F::kBorderWidth;
    look.border = isCued ? cueColor(theme) : isDragging ? p.brand : p.hair;
    look.tick = p.hair;
    look.softTick = p.hairSoft;
    look.scaleLabel = p.textMuted;
    look.grooveFill = p.lcd;
    look.grooveStroke = p.hairSoft;
    look.litTop = isActive ? p.brand : withOpacity(p.textMuted, 0.5);
    look.litBottom = isActive ? withOpacity(p.brand, 0.15) : withOpacity(p.textMuted, 0.1);
    look.capTop = p.elevated;
    look.capBottom = p.panel;
    look.capOutline = p.hair;
    look.capShadow = withOpacity(QColor(Qt::black), 0.55);
    look.grip = p.hairSoft;
    look.indicator = isActive ? p.brand : p.textMuted;
    look.capLabel = isActive ? p.textPrimary : p.textMuted;
    return look;
}

}  // namespace quellor
