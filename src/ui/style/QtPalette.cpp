#include "ui/style/QtPalette.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>

namespace quellor {

QPalette qtPalette(ThemeMode mode) {
    const Palette p = palette(mode);
    QPalette q;
    q.setColor(QPalette::Window, p.panel);
    q.setColor(QPalette::WindowText, p.textPrimary);
    q.setColor(QPalette::Base, p.void_);
    q.setColor(QPalette::AlternateBase, p.rowHover);
    q.setColor(QPalette::ToolTipBase, p.elevated);
    q.setColor(QPalette::ToolTipText, p.textPrimary);
    q.setColor(QPalette::PlaceholderText, p.textMuted);
    q.setColor(QPalette::Text, p.textPrimary);
    q.setColor(QPalette::Button, p.elevated);
    q.setColor(QPalette::ButtonText, p.textPrimary);
    q.setColor(QPalette::BrightText, p.brand);
    q.setColor(QPalette::Light, p.elevated.lighter(130));
    q.setColor(QPalette::Midlight, p.elevated);
    q.setColor(QPalette::Mid, p.hair);
    q.setColor(QPalette::Dark, p.hairSoft);
    q.setColor(QPalette::Shadow, QColor(0, 0, 0));
    q.setColor(QPalette::Highlight, p.brand);
    q.setColor(QPalette::HighlightedText, p.void_);
    q.setColor(QPalette::Link, p.signal);
    q.setColor(QPalette::LinkVisited, p.wave);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) q.setColor(QPalette::Disabled, role, p.textMuted);
    return q;
}

QString popupStyleSheet(ThemeMode mode) {
    const Palette p = palette(mode);
    const auto rgb = [](const QColor& c) { return c.name(QColor::HexRgb); };
    return QStringLiteral(
               "QMenu { background-color: %1; color: %2; border: 1px solid %3; padding: 4px 0px; }\n"
               "QMenu::item { padding: 4px 22px 4px 8px; background-color: transparent; }\n"
               "QMenu::item:selected { background-color: %4; color: %1; }\n"
               "QMenu::item:disabled { color: %5; }\n"
               "QMenu::separator { height: 1px; background-color: %3; margin: 4px 8px; }\n"
               "QToolTip { background-color: %1; color: %2; border: 1px solid %3; padding: 3px 5px; }\n")
        .arg(rgb(p.elevated), rgb(p.textPrimary), rgb(p.textMuted), rgb(p.brand), rgb(p.textMuted));
}

void applyApplicationPalette(ThemeMode mode) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) return;
    if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette colours = qtPalette(mode);
    QApplication::setPalette(colours);
    for (const char* popup : {"QMenu", "QMenuBar", "QTipLabel"}) QApplication::setPalette(colours, popup);
    QToolTip::setPalette(colours);
    app->setStyleSheet(popupStyleSheet(mode));
}

}  // namespace quellor
