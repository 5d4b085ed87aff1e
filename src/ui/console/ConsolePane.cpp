#include "ui/console/ConsolePane.h"

#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include "engine/MixerEngine.h"
#include "ui/console/ConsoleMetrics.h"
#include "ui/console/ConsoleStripWidget.h"
#include "ui/console/ConsoleView.h"
#include "ui/console/StoredStripCount.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

MainMuteButton::MainMuteButton(MixerEngine& engine, ThemeController& themes, QWidget* parent)
    : QAbstractButton(parent), engine_(engine), themes_(themes) {
    setObjectName(MainMuteFace::kObjectName);
    setFocusPolicy(Qt::NoFocus);
    connect(&engine_, &MixerEngine::isPanickedChanged, this, &MainMuteButton::refresh);
    connect(&themes_, &ThemeController::themeChanged, this, &MainMuteButton::refresh);
    connect(this, &QAbstractButton::clicked, this, [this] { face_.click(engine_); });
    refresh();
}

void MainMuteButton::refresh() {
    face_ = MainMuteFace::of(engine_.isPanicked(), themes_.current());
    setToolTip(face_.help);
    setAccessibleName(face_.accessibilityLabel);
    update();
}

bool MainMuteButton::hitButton(const QPoint& pos) const { return width() > 0 && rect().contains(pos); }

void MainMuteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    using M = ConsoleMetrics::MainMute;
    const double r = M::kCornerRadius;
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), r, r);
    painter.fillPath(path, face_.fill);
    if (face_.border.alpha() > 0) {
        // The line is centred on the edge; half of it falls inside the widget.
        QPainterPath inner;
        const double half = M::kBorderWidth / 2;
        inner.addRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), r - half, r - half);
        painter.setPen(QPen(face_.border, M::kBorderWidth));
        painter.drawPath(inner);
    }
    painter.setFont(monoFont(M::kFontSize, QFont::Bold));
    painter.setPen(face_.text);
    painter.drawText(rect(), Qt::AlignCenter, MainMuteFace::kText);
}

ConsolePane::ConsolePane(MixerEngine& engine, MIDIMappingManager* mappings, UserDefaults& defaults,
                         ThemeController& themes, QWidget* parent)
    : QWidget(parent),
      engine_(engine),
      defaults_(defaults),
      themes_(themes),
      view_(new ConsoleView(engine, mappings, defaults, themes, this)),
      mainMute_(new MainMuteButton(engine, themes, this)) {
    setObjectName(QStringLiteral("console-pane"));
    mainMute_->hide();
    connect(view_, &ConsoleView::cellsPlaced, this, &ConsolePane::placeMainMute);
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this, &ConsolePane::placeMainMute);
    connect(&themes_, &ThemeController::themeChanged, this, qOverload<>(&QWidget::update));
}

void ConsolePane::resizeEvent(QResizeEvent*) {
    view_->setGeometry(rect());
    placeMainMute();
}

void ConsolePane::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), themes_.palette().void_); }

void ConsolePane::placeMainMute() {
    std::optional<QRectF> band;
    if (const auto slot = mainMuteSlot(engine_.consoleSlots(), storedStripCount(defaults_)))
        if (ConsoleStripWidget* strip = view_->strip(*slot))
            if (const auto anchor = strip->mainMuteAnchor())
                band = QRectF(QPointF(strip->mapTo(this, anchor->topLeft())), QSizeF(anchor->size()));
    const QWidget* viewport = view_->viewport();
    const QRectF visible(QPointF(viewport->mapTo(this, QPoint(0, 0))), QSizeF(viewport->size()));
    const auto rect = mainMuteRect(band, visible);
    mainMute_->setVisible(rect.has_value());
    if (!rect) return;
    mainMute_->setGeometry(rect->toRect());
    mainMute_->raise();
}

}  // namespace quellor
