#include "ui/console/StripButtonRow.h"

#include <QPainter>
#include <algorithm>

#include "ui/console/ConsoleMetrics.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using B = ConsoleMetrics::Button;

namespace {

QString roleName(StripButton::Role role) {
    switch (role) {
    case StripButton::Role::Cue: return QStringLiteral("cue");
    case StripButton::Role::Solo: return QStringLiteral("solo");
    case StripButton::Role::Mute: return QStringLiteral("mute");
    }
    return {};
}

}  // namespace

StripButtonWidget::StripButtonWidget(StripButton::Role role, ThemeController& themes, QWidget* parent)
    : QAbstractButton(parent), themes_(themes) {
    face_.role = role;
    setObjectName(QStringLiteral("strip-%1-button").arg(roleName(role)));
    setAccessibleName(roleName(role).toUpper());
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        // A copy: the action may rebuild the strip and with it this face.
        const std::function<void()> action = face_.action;
        if (action) action();
    });
}

void StripButtonWidget::setFace(StripButton face) {
    face_ = std::move(face);
    setToolTip(face_.help);
    setAccessibleDescription(face_.help);
    update();
}

void StripButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ThemeMode theme = themes_.current();
    painter.setPen(Qt::NoPen);
    painter.setBrush(face_.fill(theme));
    painter.drawRoundedRect(QRectF(rect()), B::kCornerRadius, B::kCornerRadius);
    const QColor content = face_.content(theme);
    if (!face_.symbol.isEmpty()) {
        // A symbol about as tall as the letters of the other faces.
        const QRectF box(QPointF(width() / 2.0 - B::kSymbolSize / 2, height() / 2.0 - B::kSymbolSize / 2),
                         QSizeF(B::kSymbolSize, B::kSymbolSize));
        paintSymbol(painter, box, face_.symbol, content);
    } else {
        painter.setPen(content);
        painter.setFont(monoFont(B::kFontSize, QFont::Bold));
        painter.drawText(rect(), Qt::AlignCenter, face_.text);
    }
}

StripButtonRow::StripButtonRow(ThemeController& themes, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("strip-buttons"));
    for (StripButton::Role role : {StripButton::Role::Cue, StripButton::Role::Solo, StripButton::Role::Mute}) {
        auto* b = new StripButtonWidget(role, themes, this);
        b->hide();
        buttons_[std::size_t(role)] = b;
    }
}

std::vector<QRect> StripButtonRow::layout(const std::vector<StripButton>& faces, QSize size) {
    std::vector<QRect> rects;
    if (faces.empty()) return rects;
    const int inner = std::max(0, size.width() - 2 * B::kRowPadding - B::kRowSpacing * int(faces.size() - 1));
    int narrow = 0, wide = 0;
    for (const StripButton& f : faces) (f.wide ? wide : narrow)++;
    // A narrow face takes at most its maximum; the wide ones share the rest.
    const int narrowWidth = wide ? std::min(int(B::kNarrowMaxWidth), inner / int(faces.size()))
                                 : std::min(int(B::kNarrowMaxWidth), inner / std::max(narrow, 1));
    const int wideTotal = inner - narrow * narrowWidth;
    const int height = int(B::kHeight);
    const int y = (size.height() - height) / 2;
    // Narrow faces alone stand in the middle of the row.
    int x = wide ? B::kRowPadding : (size.width() - narrow * narrowWidth - B::kRowSpacing * (narrow - 1)) / 2;
    int wideLeft = wide;
    int wideSpace = wideTotal;
    for (const StripButton& f : faces) {
        int w = narrowWidth;
        if (f.wide) {
            w = wideSpace / wideLeft;  // the last wide face takes any odd pixel
            wideSpace -= w;
            --wideLeft;
        }
        rects.emplace_back(x, y, w, height);
        x += w + B::kRowSpacing;
    }
    return rects;
}

void StripButtonRow::setButtons(const std::vector<StripButton>& faces) {
    faces_ = faces;
    for (StripButtonWidget* b : buttons_) b->hide();
    for (const StripButton& f : faces) {
        StripButtonWidget* b = button(f.role);
        b->setFace(f);
        b->show();
    }
    relayout();
}

void StripButtonRow::resizeEvent(QResizeEvent*) { relayout(); }

void StripButtonRow::relayout() {
    const std::vector<QRect> rects = layout(faces_, size());
    for (std::size_t i = 0; i < faces_.size(); ++i) button(faces_[i].role)->setGeometry(rects[i]);
}

}  // namespace quellor
