#include "ui/style/PromptSheet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/style/Fonts.h"

namespace quellor {

PromptSheet::PromptSheet(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("prompt-sheet"));
    setWindowModality(Qt::WindowModal);
    setFixedWidth(320);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 18, 18, 18);
    column->setSpacing(14);
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("prompt-title"));
    title_->setTextFormat(Qt::PlainText);
    title_->setFont(monoFont(13, QFont::DemiBold));
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("prompt-field"));
    auto* buttons = new QHBoxLayout;
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("prompt-cancel"));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("prompt-ok"));
    ok_->setDefault(true);
    cancel_->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    buttons->addWidget(ok_);
    column->addWidget(title_);
    column->addWidget(field_);
    column->addLayout(buttons);
    // Escape is QDialog's reject(); Return in the field reaches the default button.
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok_, &QPushButton::clicked, this, &PromptSheet::confirm);
}

void PromptSheet::present(Request request) {
    title_->setText(request.title);
    field_->setPlaceholderText(request.placeholder);
    field_->setText(request.initial);
    onDone_ = std::move(request.onDone);
    setWindowTitle(request.title);
    adjustSize();
    open();
    field_->setFocus();
}

QString PromptSheet::title() const { return title_->text(); }
QString PromptSheet::text() const { return field_->text(); }

void PromptSheet::confirm() {
    // The caller hears the text before the sheet closes; a second confirmation of the same
    // presentation calls nothing.
    auto done = std::move(onDone_);
    onDone_ = nullptr;
    if (done) done(field_->text());
    accept();
}

}  // namespace quellor
