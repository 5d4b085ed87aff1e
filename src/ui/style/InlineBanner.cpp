#include "ui/style/InlineBanner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

InlineBanner::InlineBanner(ThemeController& themes, QString symbol, QWidget* parent)
    : QWidget(parent), themes_(themes), symbol_(std::move(symbol)), tint_(themes.palette().brand) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    row->setSpacing(kSpacing);
    symbolSlot_ = new QWidget(this);
    symbolSlot_->setFixedSize(kSymbolSize, kSymbolSize);
    symbolSlot_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->setContentsMargins(0, 0, 0, 0);
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("banner-title"));
    title_->setTextFormat(Qt::PlainText);
    title_->setFont(systemFont(11, QFont::DemiBold));
    detail_ = new QLabel(this);
    detail_->setObjectName(QStringLiteral("banner-detail"));
    detail_->setTextFormat(Qt::PlainText);
    detail_->setFont(systemFont(10));
    detail_->setWordWrap(true);
    detail_->hide();
    texts->addWidget(title_);
    texts->addWidget(detail_);
    button_ = new QPushButton(this);
    button_->setObjectName(QStringLiteral("banner-button"));
    // The small control size.
    button_->setFont(systemFont(11));
    button_->setFixedHeight(22);
    row->addWidget(symbolSlot_, 0, Qt::AlignVCenter);
    row->addLayout(texts, 1);
    row->addWidget(button_, 0, Qt::AlignVCenter);
    connect(button_, &QPushButton::clicked, this, &InlineBanner::buttonClicked);
    connect(&themes_, &ThemeController::themeChanged, this, &InlineBanner::applyTheme);
    applyTheme();
}

void InlineBanner::applyTheme() {
    const Palette p = themes_.palette();
    QPalette titlePalette = title_->palette();
    titlePalette.setColor(QPalette::WindowText, p.textPrimary);
    title_->setPalette(titlePalette);
    QPalette detailPalette = detail_->palette();
    detailPalette.setColor(QPalette::WindowText, p.textSecondary);
    detail_->setPalette(detailPalette);
    update();
}

void InlineBanner::setTint(const QColor& tint) {
    tint_ = tint;
    update();
}

void InlineBanner::setTitle(const QString& title) { title_->setText(title); }

void InlineBanner::setDetail(const QString& detail) {
    detail_->setText(detail);
    detail_->setVisible(!detail.isEmpty());
}

void InlineBanner::setButtonTitle(const QString& title) {
    button_->setText(title);
    // A small control: as wide as its title, not the platform's minimum width of a push button.
    button_->setFixedWidth(QFontMetrics(button_->font()).horizontalAdvance(title) + 2 * 10);
}

QString InlineBanner::title() const { return title_->text(); }
QString InlineBanner::detail() const { return detail_->text(); }
QString InlineBanner::buttonTitle() const { return button_->text(); }

void InlineBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = tint_;
    fill.setAlphaF(0.1f * tint_.alphaF());
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(shape, fill);
    paintSymbol(painter, QRectF(symbolSlot_->geometry()), symbol_, tint_);
}

}  // namespace quellor
