#pragma once
// The look shared by the settings pages: colours that follow the theme in force, the section
// titles (upper case, monospaced, 10 pixels, semibold, tracking 1.2), the small notes beneath the
// controls, plain text buttons, and the outlined frame of the cards and the segmented control.
//
// Threads: main thread only.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include "ui/style/ThemeMode.h"

class QLabel;
class QPainter;
class QRectF;
class QToolButton;
class QWidget;

namespace quellor {

class ThemeController;

// Keeps `role` of the widget's palette at the theme's `colour` (at `opacity`), now and after every
// change of theme.
void followThemeColor(QWidget* widget, ThemeController& themes, QPalette::ColorRole role, QColor Palette::*colour,
                      double opacity = 1.0);

QFont sectionTitleFont();
// A section title: `text` in upper case in the section-title font, in the theme's `colour`.
QLabel* makeSectionTitle(ThemeController& themes, const QString& text, QColor Palette::*colour, QWidget* parent);
// Plain wrapping text in the system font at `pixelSize`, in the theme's `colour`.
QLabel* makeNote(ThemeController& themes, const QString& text, int pixelSize, QColor Palette::*colour, QWidget* parent,
                 const char* objectName = nullptr);
// A borderless text button in the theme's secondary colour.
QToolButton* makePlainButton(ThemeController& themes, const QString& text, const QFont& font, QWidget* parent,
                             const char* objectName);
// A one-pixel rule in the theme's hair colour.
QWidget* makeDivider(ThemeController& themes, QWidget* parent);

// A rounded frame filling `bounds`: a one-pixel `outline` inside its edge around `fill`, antialiased.
// The painter keeps the outline's pen.
void paintOutlinedFrame(QPainter& painter, const QRectF& bounds, const QColor& outline, const QColor& fill,
                        double radius);

}  // namespace quellor
