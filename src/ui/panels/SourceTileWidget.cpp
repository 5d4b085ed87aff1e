#include "ui/panels/SourceTileWidget.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "ui/console/StripDragPayload.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

QFont nameFont() { return monoFont(10, QFont::Medium); }
QFont badgeFont() { return monoFont(9, QFont::Bold); }

}  // namespace

SourceTileWidget::SourceTileWidget(ThemeController& themes, QWidget* parent)
    : QAbstractButton(parent), themes_(themes) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleDescription(kSourceTileHint);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onClick) onClick();
    });
}

int SourceTileWidget::tileHeight() {
    using Tile = PanelMetrics::SourceTile;
    const int line = int(std::ceil(QFontMetricsF(nameFont()).height()));
    return Tile::kVerticalPadding + Tile::kPicture + Tile::kSpacing + line + Tile::kVerticalPadding;
}

void SourceTileWidget::setTile(const SourceTile& tile, std::optional<int> faderNumber) {
    if (tile == tile_ && faderNumber == faderNumber_) return;
    if (tile.icon != tile_.icon) icon_ = tile.icon.isEmpty() ? QIcon() : QIcon::fromTheme(tile.icon);
    tile_ = tile;
    faderNumber_ = faderNumber;
    setObjectName(sourceTileIdentifier(tile.id));
    setToolTip(sourceTileHelp(faderNumber));
    setAccessibleName(sourceTileAccessibleName(tile.name, faderNumber));
    update();
}

QString SourceTileWidget::dragText() const { return StripDragPayload::forApp(tile_.id); }

void SourceTileWidget::paintEvent(QPaintEvent*) {
    using Tile = PanelMetrics::SourceTile;
    const Palette p = themes_.palette();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(tile_.silent ? 0.5 : 1.0);

    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(faderNumber_ ? QColor(p.brand.red(), p.brand.green(), p.brand.blue(), int(255 * 0.7)) : p.hair, 1));
    painter.setBrush(p.rowHover);
    painter.drawRoundedRect(card, Tile::kCornerRadius, Tile::kCornerRadius);

    const QRectF picture((width() - Tile::kPicture) / 2.0, Tile::kVerticalPadding, Tile::kPicture, Tile::kPicture);
    const int inset = Tile::kSymbolInset;
    if (!icon_.isNull())
        icon_.paint(&painter, picture.toRect());
    else
        paintSymbol(painter, picture.adjusted(inset, inset, -inset, -inset), tile_.symbol, p.textSecondary);

    const QFont font = nameFont();
    const QFontMetricsF metrics(font);
    const QRectF line(Tile::kHorizontalPadding, picture.bottom() + Tile::kSpacing,
                      width() - 2 * Tile::kHorizontalPadding, std::ceil(metrics.height()));
    painter.setFont(font);
    painter.setPen(p.textPrimary);
    painter.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, metrics.elidedText(tile_.name, Qt::ElideRight, line.width()));

    if (faderNumber_) {
        const QFont badge = badgeFont();
        const QFontMetricsF bm(badge);
        const QString number = QString::number(*faderNumber_);
        const double h = std::max<double>(Tile::kBadgeMinimum, std::ceil(bm.height()));
        const double w = std::max(h, std::ceil(bm.horizontalAdvance(number)) + 2 * Tile::kBadgePadding);
        const QRectF capsule(width() - Tile::kBadgeInset - w, Tile::kBadgeInset, w, h);
        painter.setPen(Qt::NoPen);
        painter.setBrush(p.brand);
        painter.drawRoundedRect(capsule, h / 2, h / 2);
        painter.setFont(badge);
        painter.setPen(p.void_);
        painter.drawText(capsule, Qt::AlignCenter, number);
    }
}

void SourceTileWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressAt_ = event->position().toPoint();
    QAbstractButton::mousePressEvent(event);
}

void SourceTileWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!pressAt_ || !(event->buttons() & Qt::LeftButton)) return QAbstractButton::mouseMoveEvent(event);
    if ((event->position().toPoint() - *pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
    pressAt_.reset();
    setDown(false);  // a drag is no click
    // The owner runs the drag: nothing of this tile may be touched once it returns.
    if (onDrag) onDrag(dragText());
}

void SourceTileWidget::mouseReleaseEvent(QMouseEvent* event) {
    pressAt_.reset();
    QAbstractButton::mouseReleaseEvent(event);
}

void SourceTileWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
}

}  // namespace quellor
