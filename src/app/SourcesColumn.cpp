#include "app/SourcesColumn.h"

#include <QVBoxLayout>

#include "app/BannerStackWidget.h"

namespace quellor {

SourcesColumn::SourcesColumn(QWidget* content, QWidget* parent)
    : QWidget(parent), stack_(new BannerStackWidget(this)), content_(content) {
    setObjectName(QStringLiteral("sources-column"));
    stack_->setObjectName(QStringLiteral("sources-banners"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(stack_);
    content_->setParent(this);
    layout->addWidget(content_, 1);
}

void SourcesColumn::addBanner(QWidget* banner) { stack_->add(banner); }

QWidget* SourcesColumn::bannerStack() const { return stack_; }

}  // namespace quellor
