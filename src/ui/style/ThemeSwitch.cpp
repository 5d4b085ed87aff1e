#include "ui/style/ThemeSwitch.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>

namespace quellor {

void paintThemeGlyph(QPainter& painter, const QRectF& rect, ThemeMode mode, const QColor& color) {
    const double s = rect.width() / 24.0;
    auto r = [&](double x, double y, double w, double h) { return QRectF(rect.x() + x * s, rect.y() + y * s, w * s, h * s); };
    auto p = [&](double x, double y) { return QPointF(rect.x() + x * s, rect.y() + y * s); };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    switch (mode) {
    case ThemeMode::Booth: {
        // The crescent: a disc with the bite of a second disc taken out.
        QPainterPath disc, bite;
        disc.addEllipse(r(5.79, 3.5, 17, 17));
        bite.addEllipse(r(12.7, -0.1, 18, 18));
        painter.fillPath(disc.subtracted(bite), color);
        break;
    }
    case ThemeMode::Studio:
        painter.setPen(QPen(color, 2 * s));
        painter.setBrush(color);
        painter.drawEllipse(r(4, 4, 16, 16));
        break;
    case ThemeMode::Daylight: {
        painter.setPen(QPen(color, 2 * s));
        painter.setBrush(color);
        painter.drawEllipse(r(8, 8, 8, 8));
        QPen rays(color, 2 * s, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
        rays.setMiterLimit(10);
        painter.setPen(rays);
        const double lines[8][4] = {{12, 2.5, 12, 5},       {12, 19, 12, 21.5},     {2.5, 12, 5, 12},
                                    {19, 12, 21.5, 12},     {5.3, 5.3, 7.1, 7.1},   {16.9, 16.9, 18.7, 18.7},
                                    {5.3, 18.7, 7.1, 16.9}, {16.9, 7.1, 18.7, 5.3}};
        for (const auto& l : lines) painter.drawLine(p(l[0], l[1]), p(l[2], l[3]));
        break;
    }
    }
    painter.restore();
}

ThemeSegment::ThemeSegment(ThemeMode mode, ThemeController& themes, QWidget* parent)
    : QAbstractButton(parent), mode_(mode), themes_(themes) {
    setObjectName(QStringLiteral("theme-") + rawValue(mode));
    setAccessibleName(QStringLiteral("Theme: ") + displayName(mode));
    setToolTip(displayName(mode));
    setCheckable(true);
    setFixedSize(kWidth, kHeight);
    setCursor(Qt::ArrowCursor);
    // The checked state mirrors the controller; a click only asks the controller.
    connect(this, &QAbstractButton::clicked, this, [this] {
        setChecked(themes_.current() == mode_);
        themes_.choose(mode_);
    });
}

void ThemeSegment::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Palette pal = themes_.palette();
    const bool selected = themes_.current() == mode_;
    if (selected) {
        QColor tint = pal.brand;
        tint.setAlphaF(0.18f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(tint);
        painter.drawRoundedRect(QRectF(rect()), 6, 6);
    }
    QRectF glyph((width() - kGlyphSize) / 2.0, (height() - kGlyphSize) / 2.0, kGlyphSize, kGlyphSize);
    paintThemeGlyph(painter, glyph, mode_, selected ? pal.brand : pal.textSecondary);
}

ThemeSwitch::ThemeSwitch(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
    setObjectName(QStringLiteral("theme-switch"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    row->setSpacing(kSpacing);
    for (auto mode : kAllThemes) {
        auto* seg = new ThemeSegment(mode, themes, this);
        segments_[size_t(mode)] = seg;
        row->addWidget(seg);
    }
    setFixedSize(sizeHint());
    follow(themes.current());
    connect(&themes, &ThemeController::themeChanged, this, &ThemeSwitch::follow);
}

QSize ThemeSwitch::sizeHint() const {
    return {2 * kPadding + 3 * ThemeSegment::kWidth + 2 * kSpacing, 2 * kPadding + ThemeSegment::kHeight};
}

void ThemeSwitch::follow(ThemeMode mode) {
    for (auto* seg : segments_) seg->setChecked(seg->mode() == mode);
    update();
}

void ThemeSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Palette pal = themes_.palette();
    QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(pal.hair, 1));
    painter.setBrush(pal.elevated);
    painter.drawRoundedRect(frame, 9, 9);
}

}  // namespace quellor
