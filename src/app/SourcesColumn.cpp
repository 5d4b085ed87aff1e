#include "app/SourcesColumn.h"

#include <QChildEvent>
#include <QEvent>
#include <QVBoxLayout>

#include "app/ShellMetrics.h"

namespace quellor {

// A vertical stack whose padding is there only while one of its banners shows. A banner showing
// or hiding tells the stack at once (its show and hide events pass the stack's filter), and so
// does one that goes away.
class SourcesColumn::Stack : public QWidget {
public:
    explicit Stack(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
        layout_->setSpacing(ShellMetrics::SourcesColumn::kBannerSpacing);
        layout_->setContentsMargins(0, 0, 0, 0);
    }
    void add(QWidget* banner) {
        layout_->addWidget(banner);
        banner->installEventFilter(this);
        settle();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) settle();
        return QWidget::eventFilter(watched, event);
    }
    void childEvent(QChildEvent* event) override {
        QWidget::childEvent(event);
        if (event->removed()) settle();
    }

private:
    void settle() {
        bool any = false;
        for (int i = 0; i < layout_->count() && !any; ++i)
            if (QWidget* w = layout_->itemAt(i)->widget()) any = !w->isHidden();
        using M = ShellMetrics::SourcesColumn;
        if (any) layout_->setContentsMargins(M::kBannerSidePadding, M::kBannerTopPadding, M::kBannerSidePadding, 0);
        else
            layout_->setContentsMargins(0, 0, 0, 0);
    }

    QVBoxLayout* layout_;
};

SourcesColumn::SourcesColumn(QWidget* content, QWidget* parent)
    : QWidget(parent), stack_(new Stack(this)), content_(content) {
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
