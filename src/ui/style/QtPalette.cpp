#include "ui/style/QtPalette.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

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

void applyApplicationPalette(ThemeMode mode) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) return;
    if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(qtPalette(mode));
}

}  // namespace quellor
