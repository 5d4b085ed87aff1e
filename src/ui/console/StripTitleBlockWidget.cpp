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

#include "ui/console/ConsoleMetrics.h"
#include "ui/console/StripGroupTagWidget.h"
#include "ui/console/StripRouteLineWidget.h"
#include "ui/console/StripShapes.h"
#include "ui/console/StripTextWidget.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using T = ConsoleMetrics::TitleBlock;

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
    name_->set(block.name, monoFont(T::kNameFontSize, QFont::Medium), p.textPrimary, 0.5);
    name_->setAccessibleName(block.nameAccessibilityLabel);
    group_->setVisible(block.groupTag.has_value());
    if (block.groupTag) group_->set(*block.groupTag, block.groupHelp);
    kind_->setVisible(block.kindTag.has_value());
    kind_->set(block.kindTag.value_or(QString()), monoFont(T::kTagFontSize, QFont::Bold), block.kindColor);
    route_->setVisible(block.routeLabel.has_value());
    route_->set(block.routeLabel.value_or(QString()), monoFont(T::kTagFontSize, QFont::Medium), p.textMuted);
    route_->setAccessibleName(block.routeAccessibilityLabel);
    relayout();
    update();
}

int StripTitleBlockWidget::contentHeight() const {
    int content = T::kHeaderHeight;
    if (block_.routeLabel) content += T::kLineSpacing + route_->lineHeight();
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
    const QPainterPath shape = halfRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset),
                                               ConsoleMetrics::Strip::kCornerRadius, /*top*/ false);
    painter.fillPath(shape, p.panel);
    painter.strokePath(shape, QPen(look_.titleBorderColor, look_.titleBorderWidth));
    painter.setOpacity(block_.barOpacity);
    painter.setPen(Qt::NoPen);
    painter.setBrush(block_.barColor);
    painter.drawRoundedRect(QRectF(T::kPadding, headerTop(), T::kBarWidth, T::kHeaderHeight), T::kBarRadius,
                            T::kBarRadius);
}

void StripTitleBlockWidget::relayout() {
    const int top = headerTop();
    int right = width() - T::kPadding;
    if (block_.kindTag) {
        const int w = int(std::ceil(kind_->naturalWidth()));
        kind_->setGeometry(right - w, top, w, T::kHeaderHeight);
        right -= w + T::kHeaderSpacing;
    }
    if (block_.groupTag) {
        group_->setGeometry(right - T::kGroupTagSize, top + (T::kHeaderHeight - T::kGroupTagSize) / 2, T::kGroupTagSize,
                            T::kGroupTagSize);
        right -= T::kGroupTagSize + T::kHeaderSpacing;
    }
    const int nameLeft = T::kPadding + T::kBarWidth + T::kHeaderSpacing;
    name_->setGeometry(nameLeft, top, std::max(0, right - nameLeft), T::kHeaderHeight);
    route_->setGeometry(T::kPadding, top + T::kHeaderHeight + T::kLineSpacing, std::max(0, width() - 2 * T::kPadding),
                        route_->lineHeight());
    route_->menu = routeMenu;
}

void StripTitleBlockWidget::startDrag() {
    auto* mime = new QMimeData;
    mime->setText(payload_.value_or(QString()));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    // The preview: the strip's name on a small panel-coloured card.
    const QFont font = systemFont(T::kPreviewFontSize, QFont::Medium);
    const QFontMetricsF metrics(font);
    const QSize size(int(std::ceil(metrics.horizontalAdvance(dragName_))) + T::kPreviewPadding,
                     int(std::ceil(metrics.height())) + T::kPreviewPadding);
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
        painter.drawRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), T::kPreviewRadius, T::kPreviewRadius);
        painter.setFont(font);
        painter.setPen(p.textPrimary);
        painter.drawText(QRectF(QPointF(0, 0), QSizeF(size)), Qt::AlignCenter, dragName_);
    }
    drag->setPixmap(preview);
    drag->exec(Qt::MoveAction | Qt::CopyAction);
}

}  // namespace quellor
