#include "ui/settings/SettingsStyle.h"

#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QWidget>

#include "ui/settings/SettingsMetrics.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

void followThemeColor(QWidget* widget, ThemeController& themes, QPalette::ColorRole role, QColor Palette::*colour,
                      double opacity) {
    auto apply = [widget, &themes, role, colour, opacity] {
        QColor c = themes.palette().*colour;
        c.setAlphaF(float(c.alphaF() * opacity));
        QPalette p = widget->palette();
        p.setColor(role, c);
        widget->setPalette(p);
    };
    apply();
    QObject::connect(&themes, &ThemeController::themeChanged, widget, apply);
}

QFont sectionTitleFont() {
    QFont font = monoFont(10, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    return font;
}

QLabel* makeSectionTitle(ThemeController& themes, const QString& text, QColor Palette::*colour, QWidget* parent) {
    auto* label = new QLabel(text.toUpper(), parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(sectionTitleFont());
    followThemeColor(label, themes, QPalette::WindowText, colour);
    return label;
}

QLabel* makeNote(ThemeController& themes, const QString& text, int pixelSize, QColor Palette::*colour, QWidget* parent,
                 const char* objectName) {
    auto* label = new QLabel(text, parent);
    if (objectName) label->setObjectName(QLatin1String(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(systemFont(pixelSize));
    followThemeColor(label, themes, QPalette::WindowText, colour);
    return label;
}

QToolButton* makePlainButton(ThemeController& themes, const QString& text, const QFont& font, QWidget* parent,
                             const char* objectName) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setText(text);
    button->setFont(font);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::StrongFocus);
    followThemeColor(button, themes, QPalette::ButtonText, &Palette::textSecondary);
    return button;
}

QWidget* makeDivider(ThemeController& themes, QWidget* parent) {
    auto* rule = new QWidget(parent);
    rule->setFixedHeight(SettingsMetrics::Window::kDividerThickness);
    rule->setAutoFillBackground(true);
    followThemeColor(rule, themes, QPalette::Window, &Palette::hair);
    return rule;
}

void paintOutlinedFrame(QPainter& painter, const QRectF& bounds, const QColor& outline, const QColor& fill,
                        double radius) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

}  // namespace quellor
