#include "app/StartupScreenView.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

#include "ui/style/AppIcon.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using startup::Element;

namespace {

QFont wordmarkFont() {
    QFont font = systemFont(19, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2.6);
    return font;
}

QFont recentHeaderFont() {
    QFont font = systemFont(10, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    return font;
}

void fillCapsule(QPainter& painter, const QRectF& rect, const QColor& color) {
    QPainterPath path;
    const double radius = rect.height() / 2;
    path.addRoundedRect(rect, radius, radius);
    painter.fillPath(path, color);
}

}  // namespace

StartupScreenView::StartupScreenView(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
    setObjectName(QStringLiteral("startup-window"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(&themes_, &ThemeController::themeChanged, this, [this] { update(); });
    setModel({});
}

int StartupScreenView::wordmarkWidth() const {
    const QFontMetrics metrics(wordmarkFont());
    return metrics.horizontalAdvance(startup::kWordmarkLead + startup::kWordmarkRest);
}

void StartupScreenView::setModel(startup::Model model) {
    model_ = std::move(model);
    layout_ = startup::layout(model_, wordmarkWidth());
    // A press survives a rebuild (the live mix is saved into the current setup now and then):
    // its release still counts when it lands on the same element, or on the row of the same setup.
    if (hoveredRow_ && *hoveredRow_ >= int(model_.rows.size())) hoveredRow_.reset();
    setFixedSize(layout_.size);
    update();
}

void StartupScreenView::startEntrance() {
    entranceStart_ = Scheduler::current().now();
    update();
    entranceTicks_.set(Scheduler::current().every(1.0 / 60.0, alive_.guard([this] {
        update();
        if (Scheduler::current().now() - *entranceStart_ >= startup::kEntranceDuration) entranceTicks_.cancel();
    })));
}

startup::EntranceFrame StartupScreenView::entrance() const {
    if (!entranceStart_) return startup::entranceFrame(0);
    return startup::entranceFrame(Scheduler::current().now() - *entranceStart_);
}

void StartupScreenView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Palette p = themes_.palette();
    painter.fillRect(rect(), p.panel);
    const startup::EntranceFrame frame = entrance();
    painter.setOpacity(frame.opacity);
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.scale(frame.scale, frame.scale);
    painter.translate(-centre);
    paintContent(painter);
}

void StartupScreenView::paintContent(QPainter& painter) {
    const Palette p = themes_.palette();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), p.panel);
    QLinearGradient glow(QPointF(0, 0), QPointF(0, height() / 2.0));
    QColor top = p.brand;
    top.setAlphaF(0.16f);
    QColor clear = p.brand;
    clear.setAlphaF(0);
    glow.setColorAt(0, top);
    glow.setColorAt(1, clear);
    painter.fillRect(QRectF(0, 0, width(), height() / 2.0), glow);

    // Header: the icon and the two-part wordmark.
    paintAppIcon(painter, layout_.icon);
    const QFont mark = wordmarkFont();
    const QFontMetrics markMetrics(mark);
    painter.setFont(mark);
    const int baseline = layout_.wordmark.center().y() + (markMetrics.ascent() - markMetrics.descent()) / 2;
    painter.setPen(p.textPrimary);
    painter.drawText(QPoint(layout_.wordmark.left(), baseline), startup::kWordmarkLead);
    painter.setPen(p.brand);
    painter.drawText(QPoint(layout_.wordmark.left() + markMetrics.horizontalAdvance(startup::kWordmarkLead), baseline),
                     startup::kWordmarkRest);

    const QFont buttonFont = systemFont(13, QFont::Medium);
    const QFont titleFont = systemFont(12);
    const QFont dateFont = systemFont(10);
    for (const startup::Item& item : layout_.items) {
        const QRectF r(item.rect);
        switch (item.element) {
        case Element::NewSetup:
        case Element::OpenSetup:
        case Element::Update: {
            const bool primary = item.element == Element::NewSetup;
            fillCapsule(painter, r, primary ? p.brand : p.rowHover);
            painter.setPen(primary ? p.void_ : p.textPrimary);
            painter.setFont(buttonFont);
            const QString title = item.element == Element::NewSetup    ? startup::kNewSetupTitle
                                  : item.element == Element::OpenSetup ? startup::kOpenSetupTitle
                                                                       : model_.updateButtonTitle.value_or(QString());
            painter.drawText(r, Qt::AlignCenter, title);
            break;
        }
        case Element::RecentHeader: {
            paintSymbol(painter, startup::chevronRect(item.rect), model_.chevron, p.textMuted);
            painter.setPen(p.textMuted);
            painter.setFont(recentHeaderFont());
            painter.drawText(startup::headerTitleRect(item.rect), Qt::AlignLeft | Qt::AlignVCenter,
                             startup::kRecentTitle);
            break;
        }
        case Element::Row: {
            const startup::Row& row = model_.rows[std::size_t(item.row)];
            if (hoveredRow_ == item.row) {
                constexpr double radius = ShellMetrics::StartupScreen::kRowCornerRadius;
                QPainterPath path;
                path.addRoundedRect(r, radius, radius);
                painter.fillPath(path, p.rowHover);
            }
            const QRectF inner = startup::rowTextRect(item.rect);
            const int dateWidth = QFontMetrics(dateFont).horizontalAdvance(row.date);
            painter.setFont(dateFont);
            painter.setPen(p.textMuted);
            painter.drawText(inner, Qt::AlignRight | Qt::AlignVCenter, row.date);
            painter.setFont(titleFont);
            painter.setPen(p.textPrimary);
            const int titleWidth = startup::rowTitleWidth(inner, dateWidth);
            painter.drawText(QRectF(inner.left(), inner.top(), titleWidth, inner.height()), Qt::AlignLeft | Qt::AlignVCenter,
                             QFontMetrics(titleFont).elidedText(row.title, Qt::ElideRight, titleWidth));
            break;
        }
        }
    }
    // The keyboard focus, once the keys have moved it: a ring just outside the element's shape.
    if (const auto focused = focusedItem(); focused && focusVisible_) {
        const startup::FocusRing ring = startup::focusRing(*focused);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(p.brand, ShellMetrics::StartupScreen::kFocusRingWidth));
        painter.drawRoundedRect(ring.rect, ring.radius, ring.radius);
    }
}

std::optional<startup::Item> StartupScreenView::focusedItem() const {
    for (const startup::Item& item : layout_.items) {
        if (item.element != focusElement_) continue;
        if (item.element == Element::Row && model_.rows[std::size_t(item.row)].id != focusSetup_) continue;
        return item;
    }
    // What had the focus is gone (a collapsed list, a deleted setup): the first element has it.
    if (layout_.items.empty()) return std::nullopt;
    return layout_.items.front();
}

void StartupScreenView::moveFocus(int step) {
    const auto current = focusedItem();
    if (!current) return;
    const int count = int(layout_.items.size());
    int index = 0;
    for (int i = 0; i < count; ++i) {
        const startup::Item& item = layout_.items[std::size_t(i)];
        if (item.element == current->element && item.row == current->row) index = i;
    }
    const startup::Item& next = layout_.items[std::size_t(((index + step) % count + count) % count)];
    focusElement_ = next.element;
    focusSetup_ = next.element == Element::Row ? model_.rows[std::size_t(next.row)].id : QUuid();
    focusVisible_ = true;
    update();
}

bool StartupScreenView::focusNextPrevChild(bool next) {
    // Tab walks the painted elements; the window has no child that takes the focus.
    moveFocus(next ? 1 : -1);
    return true;
}

void StartupScreenView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Down:
    case Qt::Key_Right:
        moveFocus(1);
        return;
    case Qt::Key_Up:
    case Qt::Key_Left:
        moveFocus(-1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->isAutoRepeat()) return;
        if (const auto focused = focusedItem()) emit activated(focused->element, focused->row);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void StartupScreenView::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closeRequested();
}

void StartupScreenView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = layout_.hit(event->position().toPoint());
    pressedSetup_ = pressed_ && pressed_->element == Element::Row ? model_.rows[std::size_t(pressed_->row)].id : QUuid();
    // The background moves the window, as a title bar would.
    if (!pressed_ && windowHandle()) windowHandle()->startSystemMove();
}

void StartupScreenView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    const auto released = layout_.hit(event->position().toPoint());
    const startup::Item pressed = *pressed_;
    pressed_.reset();
    if (!released || released->element != pressed.element) return;
    if (released->element == Element::Row && model_.rows[std::size_t(released->row)].id != pressedSetup_) return;
    emit activated(released->element, released->row);
}

void StartupScreenView::mouseMoveEvent(QMouseEvent* event) {
    const auto item = layout_.hit(event->position().toPoint());
    setHoveredRow(item && item->element == Element::Row ? std::optional<int>(item->row) : std::nullopt);
}

void StartupScreenView::leaveEvent(QEvent*) { setHoveredRow(std::nullopt); }

void StartupScreenView::setHoveredRow(std::optional<int> row) {
    if (hoveredRow_ == row) return;
    hoveredRow_ = row;
    update();
}

}  // namespace quellor
