#include "app/PermissionWindowView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/PermissionTexts.h"
#include "platform/PrivacySettings.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

QLabel* makeText(const QString& text, const QFont& font, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(font);
    return label;
}

void setTextColor(QLabel* label, const QColor& color) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

}  // namespace

PermissionWindowView::PermissionWindowView(ThemeController& themes, std::function<void()> dismiss, QWidget* parent)
    : QWidget(parent), themes_(themes) {
    setObjectName(QStringLiteral("permission-window"));
    auto* column = new QVBoxLayout(this);
    using M = ShellMetrics::PermissionWindow;
    column->setContentsMargins(M::kPadding, M::kPadding, M::kPadding, M::kPadding);
    column->setSpacing(M::kSpacing);
    headline_ = makeText(permission::kHeadline, systemFont(15, QFont::DemiBold), "permission-headline", this);
    explanation_ = makeText(permission::kExplanation, systemFont(12), "permission-explanation", this);
    instruction_ = makeText(permission::kInstruction, systemFont(11), "permission-instruction", this);
    auto* buttons = new QHBoxLayout;
    auto* notNow = new QPushButton(permission::kNotNow, this);
    notNow->setObjectName(QStringLiteral("permission-not-now"));
    notNow->setAutoDefault(false);
    auto* open = new QPushButton(permission::kOpenSettings, this);
    open->setObjectName(QStringLiteral("permission-open-settings"));
    open->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(notNow);
    buttons->addWidget(open);
    column->addWidget(headline_);
    column->addWidget(explanation_);
    column->addWidget(instruction_);
    column->addLayout(buttons);
    open_ = open;
    connect(notNow, &QPushButton::clicked, this, [dismiss] { dismiss(); });
    connect(open, &QPushButton::clicked, this, [dismiss] {
        openAudioCapturePrivacySettings();
        // Closes in either case: the user has been shown the way.
        dismiss();
    });
    connect(&themes_, &ThemeController::themeChanged, this, &PermissionWindowView::applyTheme);
    applyTheme();
    setFixedWidth(kWidth);
    setFixedHeight(column->heightForWidth(kWidth));
}

void PermissionWindowView::keyPressEvent(QKeyEvent* event) {
    // Return is the default action, as in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PermissionWindowView::applyTheme() {
    const Palette p = themes_.palette();
    setTextColor(headline_, p.textPrimary);
    setTextColor(explanation_, p.textSecondary);
    setTextColor(instruction_, p.textMuted);
}

}  // namespace quellor
