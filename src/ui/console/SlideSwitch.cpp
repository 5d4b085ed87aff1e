#include "ui/console/SlideSwitch.h"

#include <algorithm>

#include "ui/console/ConsoleColors.h"

namespace quellor {

using L = ConsoleMetrics::SlideSwitch;

SlideSwitchLook SlideSwitchLook::of(bool isRight, const QColor& lamp, ThemeMode theme) {
    const Palette p = palette(theme);
    auto option = [&](bool selected) {
        return Option{selected, selected ? lamp : p.hair, withOpacity(lamp, selected ? 0.9 : 0),
                      selected ? p.textPrimary : p.textMuted};
    };
    SlideSwitchLook look;
    look.left = option(!isRight);
    look.right = option(isRight);
    look.track = p.lcd;
    look.trackStroke = p.hair;
    look.knobTop = QColor::fromRgbF(0.93f, 0.93f, 0.93f);
    look.knobBottom = QColor::fromRgbF(0.66f, 0.66f, 0.66f);
    look.knobShadow = QColor::fromRgbF(0, 0, 0, 0.5f);
    look.grip = QColor::fromRgbF(0, 0, 0, 0.35f);
    return look;
}

QRectF SlideSwitchLook::knobRect(double position) {
    return {L::kKnobPadding + std::clamp(position, 0.0, 1.0) * L::kKnobTravel, (L::kTrackHeight - L::kKnobHeight) / 2,
            L::kKnobWidth, L::kKnobHeight};
}

std::array<QRectF, 3> SlideSwitchLook::gripLines(const QRectF& knob) {
    const double width = 3 * L::kGripWidth + 2 * L::kGripSpacing;
    const double x = knob.center().x() - width / 2;
    const double y = knob.center().y() - L::kGripHeight / 2;
    std::array<QRectF, 3> lines;
    for (int i = 0; i < 3; ++i)
        lines[i] = QRectF(x + i * (L::kGripWidth + L::kGripSpacing), y, L::kGripWidth, L::kGripHeight);
    return lines;
}

bool requestedPosition(SlideSwitchPart part, bool isRight) {
    switch (part) {
    case SlideSwitchPart::LeftOption: return false;
    case SlideSwitchPart::RightOption: return true;
    case SlideSwitchPart::Switch: return !isRight;
    }
    return isRight;
}

SlideSwitchGeometry SlideSwitchGeometry::of(std::optional<double> captionWidth, double leftTextWidth,
                                            double rightTextWidth, double textHeight) {
    SlideSwitchGeometry g;
    g.height = std::max(L::kTrackHeight, textHeight);
    auto centred = [&](double x, double width, double height) {
        return QRectF(x, (g.height - height) / 2, width, height);
    };
    const double optionHeight = std::max(L::kLampSize, textHeight);
    double x = 0;
    if (captionWidth) {
        g.caption = centred(x, *captionWidth, textHeight);
        x += *captionWidth + L::kSpacing;
    }
    g.leftOption = centred(x, L::kLampSize + L::kOptionSpacing + leftTextWidth, optionHeight);
    x = g.leftOption.right() + L::kSpacing;
    g.track = centred(x, L::kTrackWidth, L::kTrackHeight);
    x = g.track.right() + L::kSpacing;
    g.rightOption = centred(x, L::kLampSize + L::kOptionSpacing + rightTextWidth, optionHeight);
    g.width = g.rightOption.right();
    return g;
}

}  // namespace quellor
