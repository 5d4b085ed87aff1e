#include "ui/console/StripTitleBlockWidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFontMetricsF>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/console/StripGroupTagWidget.h"
#include "ui/console/StripRouteLineWidget.h"
#include "ui/console/StripShapes.h"
#include "ui/console/StripTextWidget.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

constexpr int kTitlePadding = 7;
constexpr int kHeaderHeight = 14;
constexpr int kHeaderSpacing = 5;
constexpr int kTitleSpacing = 1;
constexpr int kGroupTagSize = 11;
constexpr int kBarWidth = 3;

}  // namespace

StripTitleBlockWidget::StripTitleBlockWidget(ThemeController& themes, QWidget* parent)
    : QWidget(parent),
      themes_(themes),
      name_(new StripTextWidget(QStringLiteral("strip-name"), this)),
      group_(new StripGroupTagWidget(themes, this)),
      kind_(new StripTextWidget(QStringLiteral("strip-kind-tag"), this)),
      route_(new StripRouteLineWidget(this)) {
    setObjectName(QStringLiteral("strip-title-block"));
    setToolTip(kTitleBlockHelp);
}

void StripTitleBlockWidget::set(const StripTitleBlock& block, const StripLook& look, const QString& dragName,
                                std::optional<QString> payload) {
    block_ = block;
    look_ = look;
    dragName_ = dragName;
    payload_ = std::move(payload);
    const Palette p = themes_.palette();
    name_->set(block.name, monoFont(9, QFont::Medium), p.textPrimary, 0.5);
    name_->setAccessibleName(block.nameAccessibilityLabel);
    group_->setVisible(block.groupTag.has_value());
    if (block.groupTag) group_->set(*block.groupTag, block.groupHelp);
    kind_->setVisible(block.kindTag.has_value());
    kind_->set(block.kindTag.value_or(QString()), monoFont(7, QFont::Bold), block.kindColor);
    route_->setVisible(block.routeLabel.has_value());
    route_->set(block.routeLabel.value_or(QString()), monoFont(7, QFont::Medium), p.textMuted);
    route_->setAccessibleName(block.routeAccessibilityLabel);
    relayout();
    update();
}

int StripTitleBlockWidget::contentHeight() const {
    int content = kHeaderHeight;
    if (block_.routeLabel) content += kTitleSpacing + route_->lineHeight();
    return content;
}

int StripTitleBlockWidget::preferredHeight() const {
    return std::max(int(std::ceil(look_.titleMinHeight)), contentHeight());
}

int StripTitleBlockWidget::headerTop() const { return (height() - contentHeight()) / 2; }

void StripTitleBlockWidget::resizeEvent(QResizeEvent*) { relayout(); }

void StripTitleBlockWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (contextMenu) execMenu(contextMenu(), this, event->globalPos());
    event->accept();
}

void StripTitleBlockWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressAt_ = event->position().toPoint();
}

void StripTitleBlockWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!pressAt_ || !(event->buttons() & Qt::LeftButton)) return;
    if ((event->position().toPoint() - *pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
    pressAt_.reset();
    startDrag();
}

void StripTitleBlockWidget::mouseReleaseEvent(QMouseEvent*) { pressAt_.reset(); }

void StripTitleBlockWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Palette p = themes_.palette();
    const double inset = look_.titleBorderWidth / 2;
    const QPainterPath shape =
        halfRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kStripCornerRadius, /*top*/ false);
    painter.fillPath(shape, p.panel);
    painter.strokePath(shape, QPen(look_.titleBorderColor, look_.titleBorderWidth));
    painter.setOpacity(block_.barOpacity);
    painter.setPen(Qt::NoPen);
    painter.setBrush(block_.barColor);
    painter.drawRoundedRect(QRectF(kTitlePadding, headerTop(), kBarWidth, kHeaderHeight), 1.5, 1.5);
}

void StripTitleBlockWidget::relayout() {
    const int top = headerTop();
    int right = width() - kTitlePadding;
    if (block_.kindTag) {
        const int w = int(std::ceil(kind_->naturalWidth()));
        kind_->setGeometry(right - w, top, w, kHeaderHeight);
        right -= w + kHeaderSpacing;
    }
    if (block_.groupTag) {
        group_->setGeometry(right - kGroupTagSize, top + (kHeaderHeight - kGroupTagSize) / 2, kGroupTagSize,
                            kGroupTagSize);
        right -= kGroupTagSize + kHeaderSpacing;
    }
    const int nameLeft = kTitlePadding + kBarWidth + kHeaderSpacing;
    name_->setGeometry(nameLeft, top, std::max(0, right - nameLeft), kHeaderHeight);
    route_->setGeometry(kTitlePadding, top + kHeaderHeight + kTitleSpacing, std::max(0, width() - 2 * kTitlePadding),
                        route_->lineHeight());
    route_->menu = routeMenu;
}

void StripTitleBlockWidget::startDrag() {
    auto* mime = new QMimeData;
    mime->setText(payload_.value_or(QString()));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    // The preview: the strip's name on a small panel-coloured card.
    const QFont font = systemFont(11, QFont::Medium);
    const QFontMetricsF metrics(font);
    const QSize size(int(std::ceil(metrics.horizontalAdvance(dragName_))) + 12, int(std::ceil(metrics.height())) + 12);
    const qreal ratio = devicePixelRatioF();
    QPixmap preview(size * ratio);
    preview.setDevicePixelRatio(ratio);
    preview.fill(Qt::transparent);
    {
        QPainter painter(&preview);
        painter.setRenderHint(QPainter::Antialiasing);
        const Palette p = themes_.palette();
        painter.setPen(Qt::NoPen);
        painter.setBrush(p.panel);
        painter.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), 4, 4);
        painter.setFont(font);
        painter.setPen(p.textPrimary);
        painter.drawText(QRectF(QPointF(0, 0), QSizeF(size)), Qt::AlignCenter, dragName_);
    }
    drag->setPixmap(preview);
    drag->exec(Qt::MoveAction | Qt::CopyAction);
}

}  // namespace quellor
