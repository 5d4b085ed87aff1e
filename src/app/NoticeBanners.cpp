#include "app/NoticeBanners.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "app/ShellMetrics.h"
#include "app/WarningYellow.h"
#include "ui/style/InlineBanner.h"
#include "ui/style/ThemeController.h"

namespace quellor {

NoticeBanners::NoticeBanners(UserNotices& notices, ThemeController& themes, QWidget* parent)
    : QWidget(parent), notices_(notices), themes_(themes) {
    setObjectName(QStringLiteral("notice-banners"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(ShellMetrics::NoticeBanners::kSpacing);
    connect(&notices_, &UserNotices::changed, this, &NoticeBanners::rebuild);
    rebuild();
}

int NoticeBanners::heightFor(int width) const {
    if (notices_.notices().empty()) return 0;
    return layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width) : layout()->totalSizeHint().height();
}

void NoticeBanners::rebuild() {
    QLayout* column = layout();
    // A banner may be the one whose button asked for this rebuild: it goes once that has returned.
    while (QLayoutItem* item = column->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    for (const UserNotices::Notice& notice : notices_.notices()) {
        auto* banner = new InlineBanner(themes_, QStringLiteral("exclamationmark.triangle.fill"), this);
        banner->setObjectName(QStringLiteral("notice-banner"));
        banner->setTitle(notice.title);
        banner->setDetail(notice.detail);
        banner->setButtonTitle(tr("OK"));
        banner->setTint(warningYellow(themes_.current()));
        connect(&themes_, &ThemeController::themeChanged, banner,
                [banner](ThemeMode mode) { banner->setTint(warningYellow(mode)); });
        connect(banner, &InlineBanner::buttonClicked, this, [this, kind = notice.kind] { notices_.dismiss(kind); });
        column->addWidget(banner);
    }
    setVisible(!notices_.notices().empty());
    emit heightChanged();
}

}  // namespace quellor
