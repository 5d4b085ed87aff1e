#include "ui/console/ConsoleTopBarWidget.h"

#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "base/UserDefaults.h"
#include "engine/MeterSource.h"
#include "engine/MixerEngine.h"
#include "ui/console/ConsoleLock.h"
#include "ui/style/Fonts.h"
#include "ui/style/MenuModel.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"
#include "ui/style/ThemeSwitch.h"

namespace quellor {

using Kind = ConsoleTopBar::Item::Kind;
using Row = ConsoleTopBar::Row;

using T = ConsoleMetrics::TopBar;

namespace {

bool isCompact(Row row) { return row == Row::C || row == Row::D; }

// The bar's texts: bold, monospaced, tracked.
QFont barFont(double tracking) {
    QFont font = monoFont(T::kFontSize, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return font;
}

}  // namespace

TopBarButton::TopBarButton(Shape shape, double symbolSize, double tracking, std::function<TopBarButtonFace()> face,
                           QWidget* parent)
    : QToolButton(parent), shape_(shape), symbolSize_(symbolSize), tracking_(tracking), faceOf_(std::move(face)) {
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    refresh();
}

void TopBarButton::setPadding(double padding) {
    padding_ = padding;
    updateGeometry();
}

void TopBarButton::refresh() {
    face_ = faceOf_();
    setObjectName(face_.objectName);
    setToolTip(face_.help);
    setAccessibleName(face_.accessibilityLabel);
    updateGeometry();
    update();
}

QFont TopBarButton::textFont() const { return barFont(tracking_); }

QSize TopBarButton::sizeHint() const {
    if (shape_ == Shape::Glyph) {
        const int side = int(T::kIconGlyphSize);
        return {side, side};
    }
    double width = 2 * padding_;
    if (!face_.symbol.isEmpty()) width += symbolSize_;
    if (face_.text) {
        if (!face_.symbol.isEmpty()) width += T::kSymbolTextSpacing;
        width += QFontMetricsF(textFont()).horizontalAdvance(*face_.text);
    }
    const double height = shape_ == Shape::Pill ? T::kLockHeight : QFontMetricsF(textFont()).height();
    return {int(std::ceil(width)), int(std::ceil(height))};
}

void TopBarButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect();
    if (face_.background.alpha() > 0) {
        QPainterPath path;
        path.addRoundedRect(box, T::kLockCornerRadius, T::kLockCornerRadius);
        painter.fillPath(path, face_.background);
    }
    if (shape_ == Shape::Glyph) {
        const QRectF symbol(box.center() - QPointF(symbolSize_ / 2, symbolSize_ / 2), QSizeF(symbolSize_, symbolSize_));
        paintSymbol(painter, symbol, face_.symbol, face_.color);
        return;
    }
    double x = padding_;
    if (!face_.symbol.isEmpty()) {
        paintSymbol(painter, QRectF(x, box.center().y() - symbolSize_ / 2, symbolSize_, symbolSize_), face_.symbol,
                    face_.color);
        x += symbolSize_ + T::kSymbolTextSpacing;
    }
    if (face_.text) {
        painter.setFont(textFont());
        painter.setPen(face_.color);
        painter.drawText(QRectF(x, 0, box.width() - x, box.height()), Qt::AlignVCenter | Qt::AlignLeft, *face_.text);
    }
}

ConsoleTopBarWidget::ConsoleTopBarWidget(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes,
                                         std::function<void()> onSettings, QWidget* parent)
    : QWidget(parent), model_(engine, defaults, themes, std::move(onSettings)), themes_(themes) {
    setObjectName(QStringLiteral("console-top-bar"));
    lock_ = new TopBarButton(TopBarButton::Shape::Pill, T::kLockSymbolSize, T::kLockTracking,
                             [this] { return model_.lockButton(isCompact(row_)); }, this);
    clearSolo_ = new TopBarButton(TopBarButton::Shape::Text, 0, T::kLockTracking, [this] { return model_.clearSoloButton(); },
                                  this);
    more_ = new TopBarButton(TopBarButton::Shape::Glyph, T::kGlyphSymbolSize, 0, [this] { return model_.moreMenuButton(); },
                             this);
    sidebar_ = new TopBarButton(TopBarButton::Shape::Glyph, T::kGlyphSymbolSize, 0,
                                [this] { return model_.sidebarToggle(); }, this);
    settings_ = new TopBarButton(TopBarButton::Shape::Glyph, T::kGlyphSymbolSize, 0,
                                 [this] { return model_.settingsButton(); }, this);
    themeSwitch_ = new ThemeSwitch(themes, this);

    auto* menu = new QMenu(more_);
    bindMenu(*menu, [this] { return model_.moreMenu(); });
    more_->setMenu(menu);
    more_->setPopupMode(QToolButton::InstantPopup);

    connect(lock_, &QToolButton::clicked, this, [this] { model_.toggleLock(); });
    connect(clearSolo_, &QToolButton::clicked, this, [this] { model_.clearSolo(); });
    connect(sidebar_, &QToolButton::clicked, this, [this] { model_.toggleSidebar(); });
    connect(settings_, &QToolButton::clicked, this, [this] { model_.openSettings(); });

    const QStringList keys{ConsoleLock::kDefaultsKey, ConsoleTopBar::kSidebarHiddenKey, MeterSources::kDefaultsKey,
                           QString::fromLatin1(ThemeController::kThemeKey)};
    connect(&defaults, &UserDefaults::changed, this, [this, keys](const QString& key) {
        if (keys.contains(key)) refresh();
    });
    connect(&engine, &MixerEngine::soloedChanged, this, &ConsoleTopBarWidget::refresh);
    connect(&themes_, &ThemeController::themeChanged, this, &ConsoleTopBarWidget::refresh);
    setMinimumHeight(int(T::kHeight + T::kLineWidth));
    refresh();
}

namespace {

// Takes `card` over into `slot`, in place of the widget that stood there.
void adopt(QWidget* bar, QPointer<QWidget>& slot, QWidget* card) {
    if (card) card->setParent(bar);
    if (slot != card) delete slot.data();
    slot = card;
}

}  // namespace

void ConsoleTopBarWidget::setCards(QWidget* stripCountCard, QWidget* meterCard) {
    adopt(this, stripCountCard_, stripCountCard);
    adopt(this, meterCard_, meterCard);
    place();
}

void ConsoleTopBarWidget::setRecordingCards(QWidget* recCard, QWidget* recCardCompact, QWidget* mainRecordingCard) {
    adopt(this, recCard_, recCard);
    adopt(this, recCardCompact_, recCardCompact);
    adopt(this, mainRecordingCard_, mainRecordingCard);
    place();
}

QSize ConsoleTopBarWidget::sizeHint() const {
    const auto widths = measure();
    const double width = ConsoleTopBar::idealWidth(ConsoleTopBar::rowLayout(Row::A, model_.showsClearSolo(), recCard_ != nullptr),
                                                   widths) +
                         2 * T::kHorizontalPadding;
    return {int(std::ceil(width)), int(T::kHeight + T::kLineWidth)};
}

QFont ConsoleTopBarWidget::titleFont() const { return barFont(T::kTitleTracking); }

void ConsoleTopBarWidget::refresh() {
    // The lock's form depends on the row, and the row on the lock's width: take the faces, choose
    // the row, then take the lock's face again in the form that row shows.
    for (TopBarButton* button : {lock_, clearSolo_, more_, sidebar_, settings_}) button->refresh();
    place();
    lock_->refresh();
    update();
}

ConsoleTopBar::ItemWidths ConsoleTopBarWidget::measure() const {
    ConsoleTopBar::ItemWidths widths;
    widths.title = QFontMetricsF(titleFont()).horizontalAdvance(ConsoleTopBar::kTitle);
    widths.stripCountCard = stripCountCard_ ? stripCountCard_->sizeHint().width() : 0;
    widths.meterCard = meterCard_ ? meterCard_->sizeHint().width() : 0;
    widths.recCard = recCard_ ? recCard_->sizeHint().width() : 0;
    widths.recCardCompact = recCardCompact_ ? recCardCompact_->sizeHint().width() : 0;
    widths.mainRecordingCard = mainRecordingCard_ ? mainRecordingCard_->sizeHint().width() : 0;
    const QFontMetricsF lockText(barFont(T::kLockTracking));
    // The full lock at its wider text, so the row does not flip when the lock is switched.
    const double text = std::max(lockText.horizontalAdvance(QStringLiteral("LOCKED")),
                                 lockText.horizontalAdvance(QStringLiteral("LOCK")));
    widths.lockFull = 2 * T::kLockPadding + T::kLockSymbolSize + T::kSymbolTextSpacing + text;
    widths.lockCompact = 2 * T::kLockCompactPadding + T::kLockSymbolSize;
    widths.clearSolo = clearSolo_->sizeHint().width();
    widths.themeSwitch = themeSwitch_->sizeHint().width();
    return widths;
}

QWidget* ConsoleTopBarWidget::widgetOf(Kind kind) const {
    switch (kind) {
    case Kind::StripCountCard: return stripCountCard_;
    case Kind::MeterCard: return meterCard_;
    case Kind::RecCard: return recCard_;
    case Kind::RecCardCompact: return recCardCompact_;
    case Kind::MainRecordingCard: return mainRecordingCard_;
    case Kind::LockFull:
    case Kind::LockCompact: return lock_;
    case Kind::ClearSolo: return clearSolo_;
    case Kind::ThemeSwitch: return themeSwitch_;
    case Kind::MoreMenu: return more_;
    default: return nullptr;
    }
}

void ConsoleTopBarWidget::resizeEvent(QResizeEvent*) {
    place();
    lock_->refresh();
}

void ConsoleTopBarWidget::place() {
    const bool solo = model_.showsClearSolo();
    const ConsoleTopBar::ItemWidths widths = measure();
    const bool recording = recCard_ != nullptr;
    row_ = ConsoleTopBar::rowThatFits(width(), widths, solo, recording);
    const ConsoleTopBar::RowLayout layout = ConsoleTopBar::rowLayout(row_, solo, recording);
    lock_->setPadding(isCompact(row_) ? T::kLockCompactPadding : T::kLockPadding);

    // What the row's flexible spaces share: the room its ideal width leaves over.
    const double padding = T::kHorizontalPadding;
    const double spare = std::max(0.0, width() - 2 * padding - ConsoleTopBar::idealWidth(layout, widths));
    const auto flexibles = std::count_if(layout.items.begin(), layout.items.end(),
                                         [](const auto& item) { return item.kind == Kind::FlexibleSpace; });
    const double centre = T::kHeight / 2;

    std::vector<QWidget*> shown;
    title_ = QRectF();
    dividers_.clear();
    double x = padding;
    for (const auto& item : layout.items) {
        x += item.leading;
        double w = widths.of(item.kind);
        if (item.kind == Kind::FlexibleSpace) w = item.minLength + spare / double(std::max<qsizetype>(1, flexibles));
        if (item.kind == Kind::Title) title_ = QRectF(x, 0, w, T::kHeight);
        if (item.kind == Kind::Divider)
            dividers_.push_back(QRectF(x, centre - T::kDividerHeight / 2, T::kLineWidth, T::kDividerHeight));
        if (item.kind == Kind::IconGroup) {
            const double side = T::kIconGlyphSize;
            sidebar_->setGeometry(QRectF(x, centre - side / 2, side, side).toRect());
            settings_->setGeometry(
                QRectF(x + side + T::kIconGroupSpacing, centre - side / 2, side, side).toRect());
            shown.push_back(sidebar_);
            shown.push_back(settings_);
        } else if (QWidget* widget = widgetOf(item.kind)) {
            const double h = std::min<double>(widget->sizeHint().height(), T::kHeight);
            widget->setGeometry(QRectF(x, centre - h / 2, w, h).toRect());
            shown.push_back(widget);
        }
        x += w + item.trailing + layout.spacing;
    }
    for (QWidget* widget : {static_cast<QWidget*>(lock_), static_cast<QWidget*>(clearSolo_),
                            static_cast<QWidget*>(more_), static_cast<QWidget*>(sidebar_),
                            static_cast<QWidget*>(settings_), static_cast<QWidget*>(themeSwitch_),
                            stripCountCard_.data(), meterCard_.data(), recCard_.data(), recCardCompact_.data(),
                            mainRecordingCard_.data()})
        if (widget) widget->setVisible(std::find(shown.begin(), shown.end(), widget) != shown.end());
    update();
}

void ConsoleTopBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double height = T::kHeight;
    painter.fillRect(QRectF(0, 0, width(), height), model_.background());
    painter.fillRect(QRectF(0, height, width(), T::kLineWidth), model_.hair());
    for (const QRectF& divider : dividers_) painter.fillRect(divider, model_.hair());
    if (!title_.isNull()) {
        painter.setFont(titleFont());
        painter.setPen(model_.titleColor());
        painter.drawText(title_.adjusted(0, 0, T::kTitleOverhang, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         ConsoleTopBar::kTitle);
    }
}

}  // namespace quellor
