#include "ui/console/ConsoleStripWidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFontMetricsF>
#include <QGraphicsOpacityEffect>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"
#include "remote/MIDIMappingManager.h"
#include "ui/console/ConsoleFaderWidget.h"
#include "ui/console/MIDIBadgeLabel.h"
#include "ui/console/StripButtonRow.h"
#include "ui/console/StripButtons.h"
#include "ui/console/StripFadeMenu.h"
#include "ui/console/StripModelBuilder.h"
#include "ui/console/StripReadout.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

constexpr double kCornerRadius = 6;
constexpr int kReadoutPadding = 7;
constexpr int kReadoutSpacing = 3;
constexpr int kTitlePadding = 7;
constexpr int kHeaderHeight = 14;
constexpr int kHeaderSpacing = 5;
constexpr int kTitleSpacing = 1;
constexpr int kGroupTagSize = 11;
constexpr int kBarWidth = 3;

// A rectangle with its top corners (or its bottom corners) rounded and the others square.
QPainterPath halfRounded(const QRectF& r, double radius, bool top) {
    QPainterPath path;
    if (top) {
        path.moveTo(r.bottomLeft());
        path.lineTo(r.left(), r.top() + radius);
        path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 180, -90);
        path.lineTo(r.right() - radius, r.top());
        path.arcTo(QRectF(r.right() - 2 * radius, r.top(), 2 * radius, 2 * radius), 90, -90);
        path.lineTo(r.bottomRight());
    } else {
        path.moveTo(r.topLeft());
        path.lineTo(r.topRight());
        path.lineTo(r.right(), r.bottom() - radius);
        path.arcTo(QRectF(r.right() - 2 * radius, r.bottom() - 2 * radius, 2 * radius, 2 * radius), 0, -90);
        path.lineTo(r.left() + radius, r.bottom());
        path.arcTo(QRectF(r.left(), r.bottom() - 2 * radius, 2 * radius, 2 * radius), 270, -90);
    }
    path.closeSubpath();
    return path;
}

void openMenu(const MenuModel& model, QWidget* over, QPoint globalPos) {
    QMenu menu(over);
    populateMenu(menu, model);
    menu.exec(globalPos);
}

// One line of text, leading-aligned and vertically centred, that may shrink to `minimumScale` of
// its size before it is cut with an ellipsis.
class StripText : public QWidget {
public:
    StripText(const QString& objectName, QWidget* parent) : QWidget(parent) { setObjectName(objectName); }

    void set(const QString& text, const QFont& font, const QColor& color, double minimumScale = 1) {
        text_ = text;
        font_ = font;
        color_ = color;
        minimumScale_ = minimumScale;
        update();
    }
    const QString& text() const { return text_; }
    double naturalWidth() const { return QFontMetricsF(font_).horizontalAdvance(text_); }
    int lineHeight() const { return int(std::ceil(QFontMetricsF(font_).height())); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const double natural = naturalWidth();
        const double scale = natural > width() ? std::max(minimumScale_, width() / natural) : 1.0;
        painter.translate(0, height() / 2.0);
        painter.scale(scale, scale);
        painter.setFont(font_);
        painter.setPen(color_);
        const QFontMetricsF metrics(font_);
        const QString shown = metrics.elidedText(text_, Qt::ElideRight, width() / scale);
        painter.drawText(QPointF(0, (metrics.ascent() - metrics.descent()) / 2), shown);
    }

private:
    QString text_;
    QFont font_;
    QColor color_;
    double minimumScale_ = 1;
};

// The LCD at the top of the strip: the level in % or dB and the fader's MIDI badge.
class ReadoutWidget : public QWidget {
public:
    ReadoutWidget(ThemeController& themes, QWidget* parent)
        : QWidget(parent), themes_(themes), badge_(new MIDIBadgeLabel(themes, /*onDark*/ true, this)) {
        setObjectName(QStringLiteral("strip-readout"));
        setToolTip(kReadoutHelp);
        badge_->setObjectName(QStringLiteral("strip-fader-midi-badge"));
    }

    void set(const QString& text, const StripLook& look, std::optional<MIDIStatusBadge> badge) {
        text_ = text;
        look_ = look;
        setAccessibleName(QStringLiteral("Level"));
        setAccessibleDescription(text);
        badge_->setBadge(badge.value_or(MIDIStatusBadge{}));
        relayout();
        update();
    }
    const QString& text() const { return text_; }

    std::function<void()> onClick;
    std::function<MenuModel()> fadeMenu;

protected:
    void resizeEvent(QResizeEvent*) override { relayout(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick) onClick();
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (fadeMenu) openMenu(fadeMenu(), this, event->globalPos());
        event->accept();
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const Palette p = themes_.palette();
        const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const QPainterPath shape = halfRounded(box, kCornerRadius, /*top*/ true);
        painter.setOpacity(look_.lcdOpacity);
        painter.fillPath(shape, p.lcd);
        painter.setOpacity(1);
        painter.strokePath(shape, QPen(p.hair, 1));

        const QFont font = monoFont(10, look_.readoutSemibold ? QFont::DemiBold : QFont::Normal);
        const QFontMetricsF metrics(font);
        const double right = badge_->isVisible() ? badge_->x() - kReadoutSpacing : width() - kReadoutPadding;
        const QString shown = metrics.elidedText(text_, Qt::ElideRight, right - kReadoutPadding);
        const double baseline = height() / 2.0 + (metrics.ascent() - metrics.descent()) / 2;
        painter.setFont(font);
        painter.setPen(look_.readoutColor);
        painter.drawText(QPointF(kReadoutPadding, baseline), shown);
        if (look_.readoutStruck) {
            const double y = std::round(height() / 2.0) + 0.5;
            painter.setPen(QPen(look_.strikeColor, 1));
            painter.drawLine(QPointF(kReadoutPadding, y), QPointF(kReadoutPadding + metrics.horizontalAdvance(shown), y));
        }
    }

private:
    void relayout() {
        const QSize hint = badge_->sizeHint();
        badge_->setGeometry(width() - kReadoutPadding - hint.width(), (height() - hint.height()) / 2, hint.width(),
                            hint.height());
    }

    ThemeController& themes_;
    MIDIBadgeLabel* badge_;
    QString text_;
    StripLook look_;
};

// The ground under the buttons: the panel between the strip's two side walls.
class ButtonAreaWidget : public QWidget {
public:
    ButtonAreaWidget(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
        setObjectName(QStringLiteral("strip-button-area"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const Palette p = themes_.palette();
        painter.fillRect(rect(), p.panel);
        painter.fillRect(QRect(0, 0, 1, height()), p.hair);
        painter.fillRect(QRect(width() - 1, 0, 1, height()), p.hair);
    }

private:
    ThemeController& themes_;
};

// The group tag: the tag's letters on a small brand-coloured square.
class GroupTag : public QWidget {
public:
    GroupTag(ThemeController& themes, QWidget* parent) : QWidget(parent), themes_(themes) {
        setObjectName(QStringLiteral("strip-group-tag"));
    }
    void set(const QString& tag, const QString& help) {
        tag_ = tag;
        setToolTip(help);
        setAccessibleName(help);
        update();
    }
    const QString& tag() const { return tag_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const Palette p = themes_.palette();
        painter.setPen(Qt::NoPen);
        painter.setBrush(p.brand);
        painter.drawRoundedRect(QRectF(rect()), 2, 2);
        painter.setPen(p.void_);
        painter.setFont(monoFont(8, QFont::Bold));
        painter.drawText(rect(), Qt::AlignCenter, tag_);
    }

private:
    ThemeController& themes_;
    QString tag_;
};

// The route line under the header: it opens the route menu.
class RouteLine : public StripText {
public:
    explicit RouteLine(QWidget* parent) : StripText(QStringLiteral("strip-route-menu"), parent) {
        setToolTip(StripTitleBlock::kRouteHelp);
        setCursor(Qt::PointingHandCursor);
    }
    std::function<MenuModel()> menu;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton || !menu) return StripText::mousePressEvent(event);
        openMenu(menu(), this, mapToGlobal(QPoint(0, height())));
    }
};

// The foot of the strip: colour bar, name, group and kind tags, route line; the strip's drag
// handle and the home of the rename / colour / group / fade menu.
class TitleBlockWidget : public QWidget {
public:
    TitleBlockWidget(ThemeController& themes, QWidget* parent)
        : QWidget(parent),
          themes_(themes),
          name_(new StripText(QStringLiteral("strip-name"), this)),
          group_(new GroupTag(themes, this)),
          kind_(new StripText(QStringLiteral("strip-kind-tag"), this)),
          route_(new RouteLine(this)) {
        setObjectName(QStringLiteral("strip-title-block"));
        setToolTip(kTitleBlockHelp);
    }

    void set(const StripTitleBlock& block, const StripLook& look, const QString& dragName,
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

    // The height the block asks for: its content, at least the look's minimum.
    int preferredHeight() const {
        int content = kHeaderHeight;
        if (block_.routeLabel) content += kTitleSpacing + route_->lineHeight();
        return std::max(int(std::ceil(look_.titleMinHeight)), content);
    }

    std::function<MenuModel()> contextMenu;
    std::function<MenuModel()> routeMenu;

protected:
    void resizeEvent(QResizeEvent*) override { relayout(); }
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (contextMenu) openMenu(contextMenu(), this, event->globalPos());
        event->accept();
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) pressAt_ = event->position().toPoint();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!pressAt_ || !(event->buttons() & Qt::LeftButton)) return;
        if ((event->position().toPoint() - *pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
        pressAt_.reset();
        startDrag();
    }
    void mouseReleaseEvent(QMouseEvent*) override { pressAt_.reset(); }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const Palette p = themes_.palette();
        const double inset = look_.titleBorderWidth / 2;
        const QPainterPath shape =
            halfRounded(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kCornerRadius, /*top*/ false);
        painter.fillPath(shape, p.panel);
        painter.strokePath(shape, QPen(look_.titleBorderColor, look_.titleBorderWidth));
        painter.setOpacity(block_.barOpacity);
        painter.setPen(Qt::NoPen);
        painter.setBrush(block_.barColor);
        painter.drawRoundedRect(QRectF(kTitlePadding, headerTop(), kBarWidth, kHeaderHeight), 1.5, 1.5);
    }

private:
    int headerTop() const {
        int content = kHeaderHeight;
        if (block_.routeLabel) content += kTitleSpacing + route_->lineHeight();
        return (height() - content) / 2;
    }
    void relayout() {
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
    void startDrag() {
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

    ThemeController& themes_;
    StripText* name_;
    GroupTag* group_;
    StripText* kind_;
    RouteLine* route_;
    StripTitleBlock block_;
    StripLook look_;
    QString dragName_;
    std::optional<QString> payload_;
    std::optional<QPoint> pressAt_;
};

}  // namespace

ConsoleStripWidget::ConsoleStripWidget(ConsoleStripEnvironment environment, QWidget* parent)
    : QWidget(parent), env_(std::move(environment)) {
    auto* readout = new ReadoutWidget(env_.themes, this);
    readout_ = readout;
    buttonArea_ = new ButtonAreaWidget(env_.themes, this);
    buttons_ = new StripButtonRow(env_.themes, buttonArea_);
    fader_ = new ConsoleFaderWidget(env_.clock, env_.themes, this);
    title_ = new TitleBlockWidget(env_.themes, this);
    cueBadge_ = new MIDIBadgeLabel(env_.themes, /*onDark*/ false, this);
    cueBadge_->setObjectName(QStringLiteral("strip-cue-midi-badge"));

    // The unit is one setting for every strip; each follows it.
    readout->onClick = [defaults = &env_.defaults] { toggleReadoutUnit(*defaults); };
    connect(&env_.defaults, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == QLatin1String(kReadoutDBKey)) refresh();
    });
    connect(&env_.themes, &ThemeController::themeChanged, this, [this] { refresh(); });
    setStrip(StripModelBuilder::emptySlotModel(), std::nullopt, false, {});
}

std::optional<QString> ConsoleStripWidget::dragPayload() const {
    if (!slot_) return std::nullopt;
    return QStringLiteral("vesk-slot:%1").arg(*slot_);
}

void ConsoleStripWidget::setStrip(StripModel model, std::optional<int> slot, bool compact, StripCallbacks callbacks) {
    model_ = std::move(model);
    slot_ = slot;
    compact_ = compact;
    callbacks_ = std::move(callbacks);
    refresh();
}

void ConsoleStripWidget::refresh() {
    const ThemeMode theme = env_.themes.current();
    look_ = stripLook(model_, theme, compact_);
    setAccessibleName(model_.name.isEmpty() ? QStringLiteral("Empty strip") : model_.name);

    // Faded as a whole while inactive: one layer, so the parts do not show through each other.
    if (look_.opacity < 1) {
        auto* effect = qobject_cast<QGraphicsOpacityEffect*>(graphicsEffect());
        if (!effect) {
            effect = new QGraphicsOpacityEffect(this);
            setGraphicsEffect(effect);
        }
        effect->setOpacity(look_.opacity);
    } else if (graphicsEffect()) {
        setGraphicsEffect(nullptr);
    }

    auto* readout = static_cast<ReadoutWidget*>(readout_);
    std::optional<MIDIStatusBadge> faderBadge;
    if (model_.midiTarget) faderBadge = MIDIStatusBadge::of(env_.mappings, *model_.midiTarget);
    readout->set(readoutText(model_.volume, model_.isActive, readoutShowsDB(env_.defaults)), look_, faderBadge);
    readout->fadeMenu = [model = model_, fades = &env_.fades] { return fadeSection(model, *fades); };

    const std::vector<StripButton> faces = stripButtons(model_, theme);
    buttons_->setVisible(look_.buttonArea == StripLook::ButtonArea::Buttons);
    buttons_->setButtons(look_.buttonArea == StripLook::ButtonArea::Buttons ? faces : std::vector<StripButton>{});
    MIDIStatusBadge cueBadge;
    for (const StripButton& b : faces)
        if (b.badgeTarget && look_.buttonArea == StripLook::ButtonArea::Buttons)
            cueBadge = MIDIStatusBadge::of(env_.mappings, *b.badgeTarget);
    cueBadge_->setBadge(cueBadge);

    fader_->setState({model_.volume, model_.isActive, model_.isCued, model_.resetValue});
    fader_->setOnChange(model_.setVolume);
    fader_->setMeter(model_.meter);
    fader_->setAccessibility(faderAccessibilityLabel(model_.name), faderAccessibilityValue(model_.volume),
                             [model = model_](bool increment) { adjustFader(model, increment); });

    auto* title = static_cast<TitleBlockWidget*>(title_);
    title->contextMenu = [model = model_, callbacks = callbacks_, fades = &env_.fades] {
        return titleBlockContextMenu(model, callbacks, *fades);
    };
    title->routeMenu = [model = model_] { return quellor::routeMenu(model); };
    title->set(StripTitleBlock::of(model_, compact_), look_, model_.name, dragPayload());
    relayout();
    update();
}

void ConsoleStripWidget::resizeEvent(QResizeEvent*) { relayout(); }

void ConsoleStripWidget::relayout() {
    const int pad = int(look_.padding);
    const QRect inner = rect().adjusted(pad, pad, -pad, -pad);
    const int readoutHeight = int(look_.readoutHeight);
    readout_->setGeometry(inner.x(), inner.y(), inner.width(), readoutHeight);
    const QRect area(inner.x(), inner.y() + readoutHeight, inner.width(), kButtonAreaHeight);
    buttonArea_->setGeometry(area);
    buttons_->setGeometry(buttonArea_->rect());
    const int titleHeight = static_cast<TitleBlockWidget*>(title_)->preferredHeight();
    const int titleTop = inner.y() + inner.height() - titleHeight;
    title_->setGeometry(inner.x(), titleTop, inner.width(), titleHeight);
    fader_->setGeometry(inner.x(), area.bottom() + 1, inner.width(), std::max(0, titleTop - area.bottom() - 1));

    // The CUE badge stands 12 points above the CUE button's top, centred over it.
    if (StripButtonWidget* cue = buttons_->button(StripButton::Role::Cue); cue->isVisible() && cueBadge_->isVisible()) {
        const QRect button(cue->mapTo(this, QPoint(0, 0)), cue->size());
        const QSize hint = cueBadge_->sizeHint();
        cueBadge_->setGeometry(button.center().x() + 1 - (hint.width() + 1) / 2,
                               button.top() - int(StripButton::kBadgeRise), hint.width(), hint.height());
        cueBadge_->raise();
    }
}

MenuModel ConsoleStripWidget::contextMenu() const {
    if (!slot_) return {};
    // An empty slot offers its sources; a filled one the strip's own menu.
    if (model_.targetID.isEmpty()) return env_.sourceMenu ? env_.sourceMenu(*slot_) : MenuModel{};
    return stripContextMenu(*slot_, model_, env_.engine, env_.mappings, env_.sourceMenu);
}

void ConsoleStripWidget::contextMenuEvent(QContextMenuEvent* event) {
    const MenuModel menu = contextMenu();
    if (!menu.empty()) openMenu(menu, this, event->globalPos());
    event->accept();
}

std::optional<QRect> ConsoleStripWidget::mainMuteAnchor() const {
    if (look_.buttonArea != StripLook::ButtonArea::MainMuteAnchor) return std::nullopt;
    return buttonArea_->geometry();
}

}  // namespace quellor
