#pragma once
// The three-segment control that picks the theme: booth, studio, daylight, each shown by its glyph
// (a crescent, a disc, a sun) drawn in code on a 24-unit grid. The selection is always the theme
// controller's theme; choosing a segment goes through the controller, which stores "theme".
//
// Threads: main thread only.
#include <QAbstractButton>
#include <QWidget>
#include <array>

#include "ui/style/ThemeController.h"

namespace quellor {

// Paints the glyph of `mode` into `rect` (square), scaled from a 24-unit grid.
void paintThemeGlyph(QPainter& painter, const QRectF& rect, ThemeMode mode, const QColor& color);

class ThemeSegment : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kWidth = 26;
    static constexpr int kHeight = 24;
    static constexpr int kGlyphSize = 14;

    ThemeSegment(ThemeMode mode, ThemeController& themes, QWidget* parent = nullptr);
    ThemeMode mode() const { return mode_; }
    QSize sizeHint() const override { return {kWidth, kHeight}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    ThemeMode mode_;
    ThemeController& themes_;
};

class ThemeSwitch : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSpacing = 2;
    static constexpr int kPadding = 2;

    explicit ThemeSwitch(ThemeController& themes, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    ThemeSegment* segment(ThemeMode mode) const { return segments_[size_t(mode)]; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void follow(ThemeMode mode);

    ThemeController& themes_;
    std::array<ThemeSegment*, 3> segments_{};
};

}  // namespace quellor
