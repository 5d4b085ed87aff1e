#include "app/BannerStackWidget.h"

#include <QChildEvent>
#include <QEvent>
#include <QVBoxLayout>

#include "app/ShellMetrics.h"

namespace quellor {

BannerStackWidget::BannerStackWidget(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    layout_->setSpacing(ShellMetrics::SourcesColumn::kBannerSpacing);
    layout_->setContentsMargins(0, 0, 0, 0);
}

void BannerStackWidget::add(QWidget* banner) {
    layout_->addWidget(banner);
    banner->installEventFilter(this);
    settle();
}

bool BannerStackWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) settle();
    return QWidget::eventFilter(watched, event);
}

void BannerStackWidget::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    if (event->removed()) settle();
}

void BannerStackWidget::settle() {
    bool any = false;
    for (int i = 0; i < layout_->count() && !any; ++i)
        if (QWidget* w = layout_->itemAt(i)->widget()) any = !w->isHidden();
    using M = ShellMetrics::SourcesColumn;
    if (any) layout_->setContentsMargins(M::kBannerSidePadding, M::kBannerTopPadding, M::kBannerSidePadding, 0);
    else
        layout_->setContentsMargins(0, 0, 0, 0);
}

}  // namespace quellor
