#include "ui/console/SlideSwitchWidget.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "ui/style/Fonts.h"
#include "ui/style/SoftShadow.h"
#include "ui/style/ThemeController.h"

namespace quellor {

using L = ConsoleMetrics::SlideSwitch;

namespace {

QFont captionFont() {
    QFont font = monoFont(L::kCaptionFontSize, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, L::kCaptionTracking);
    return font;
}

QFont optionFont() {
    QFont font = monoFont(L::kOptionFontSize, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, L::kOptionTracking);
    return font;
}

}  // namespace

// A clickable part without a face of its own: the switch widget paints every part.
class SlideSwitchWidget::Part : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;

protected:
    void paintEvent(QPaintEvent*) override {}
};

SlideSwitchWidget::SlideSwitchWidget(ThemeController& themes, Options options, QWidget* parent)
    : QWidget(parent),
      themes_(themes),
      options_(std::move(options)),
      left_(new Part(this)),
      switch_(new Part(this)),
      right_(new Part(this)),
      knobPosition_(options_.isRight ? 1 : 0) {
    left_->setAccessibleName(options_.left);
    right_->setAccessibleName(options_.right);
    switch_->setObjectName(options_.identifier);
    switch_->setAccessibleName(options_.label);
    switch_->setToolTip(options_.help);
    connect(left_, &QAbstractButton::clicked, this, [this] { request(SlideSwitchPart::LeftOption); });
    connect(switch_, &QAbstractButton::clicked, this, [this] { request(SlideSwitchPart::Switch); });
    connect(right_, &QAbstractButton::clicked, this, [this] { request(SlideSwitchPart::RightOption); });

    // Close to a spring of 0.22 s that settles with a slight overshoot.
    slide_.setDuration(220);
    slide_.setEasingCurve(QEasingCurve(QEasingCurve::OutBack));
    connect(&slide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        knobPosition_ = v.toDouble();
        update();
    });
    connect(&themes_, &ThemeController::themeChanged, this, qOverload<>(&QWidget::update));

    const SlideSwitchGeometry g = geometry();
    left_->setGeometry(g.leftOption.translated(kGlowRoom, kGlowRoom).toAlignedRect());
    switch_->setGeometry(g.track.translated(kGlowRoom, kGlowRoom).toAlignedRect());
    right_->setGeometry(g.rightOption.translated(kGlowRoom, kGlowRoom).toAlignedRect());
    setFixedSize(sizeHint());
}

void SlideSwitchWidget::setRight(bool isRight) {
    if (isRight == options_.isRight) return;
    options_.isRight = isRight;
    slide_.stop();
    slide_.setStartValue(knobPosition_);
    slide_.setEndValue(isRight ? 1.0 : 0.0);
    slide_.start();
    update();  // lamps and texts change at once
}

void SlideSwitchWidget::setOptions(Options options) {
    const bool isRight = options.isRight;
    options.isRight = options_.isRight;
    options.left = options_.left;
    options.right = options_.right;
    options.caption = options_.caption;
    options_ = std::move(options);
    switch_->setObjectName(options_.identifier);
    switch_->setAccessibleName(options_.label);
    switch_->setToolTip(options_.help);
    setRight(isRight);
    update();
}

void SlideSwitchWidget::request(SlideSwitchPart part) {
    if (options_.set) options_.set(requestedPosition(part, options_.isRight));
}

SlideSwitchGeometry SlideSwitchWidget::geometry() const {
    const QFontMetricsF option(optionFont());
    std::optional<double> caption;
    if (options_.caption) caption = QFontMetricsF(captionFont()).horizontalAdvance(*options_.caption);
    return SlideSwitchGeometry::of(caption, option.horizontalAdvance(options_.left), option.horizontalAdvance(options_.right),
                                   option.height());
}

SlideSwitchLook SlideSwitchWidget::look() const {
    return SlideSwitchLook::of(options_.isRight, options_.rightLamp, themes_.current());
}

QSize SlideSwitchWidget::sizeHint() const {
    const SlideSwitchGeometry g = geometry();
    return QSizeF(g.width + 2 * kGlowRoom + L::kWidthSlack, g.height + 2 * kGlowRoom).toSize();
}

void SlideSwitchWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(kGlowRoom, kGlowRoom);
    const SlideSwitchGeometry g = geometry();
    const SlideSwitchLook l = look();
    if (g.caption) {
        painter.setFont(captionFont());
        painter.setPen(options_.captionColor);
        painter.drawText(*g.caption, Qt::AlignLeft | Qt::AlignVCenter, *options_.caption);
    }
    paintOption(painter, g.leftOption, options_.left, l.left);
    paintSwitch(painter, g.track);
    paintOption(painter, g.rightOption, options_.right, l.right);
}

void SlideSwitchWidget::paintOption(QPainter& painter, const QRectF& rect, const QString& text,
                                    const SlideSwitchLook::Option& option) {
    const double d = L::kLampSize;
    const QRectF lamp(rect.left(), rect.center().y() - d / 2, d, d);
    if (option.glow.alpha() > 0) {
        const double r = d / 2 + L::kLampGlowRadius;
        QRadialGradient glow(lamp.center(), r);
        glow.setColorAt(d / 2 / r, option.glow);
        glow.setColorAt(1, Qt::transparent);
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(lamp.center(), r, r);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(option.lamp);
    painter.drawEllipse(lamp);
    painter.setFont(optionFont());
    painter.setPen(option.text);
    painter.drawText(rect.adjusted(d + L::kOptionSpacing, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}

void SlideSwitchWidget::paintSwitch(QPainter& painter, const QRectF& track) {
    const SlideSwitchLook l = look();
    painter.save();
    painter.translate(track.topLeft());
    const QRectF local(0, 0, track.width(), track.height());
    painter.setPen(QPen(l.trackStroke, L::kTrackStrokeWidth));
    painter.setBrush(l.track);
    const double inset = L::kTrackStrokeWidth / 2;
    painter.drawRoundedRect(local.adjusted(inset, inset, -inset, -inset), L::kTrackRadius, L::kTrackRadius);

    const QRectF knob = SlideSwitchLook::knobRect(knobPosition_);
    painter.setPen(Qt::NoPen);
    paintSoftShadow(painter, knob, L::kKnobRadius, l.knobShadow, L::kKnobShadowBlur, L::kKnobShadowDrop);
    QLinearGradient body(knob.topLeft(), knob.bottomLeft());
    body.setColorAt(0, l.knobTop);
    body.setColorAt(1, l.knobBottom);
    painter.setBrush(body);
    painter.drawRoundedRect(knob, L::kKnobRadius, L::kKnobRadius);
    painter.setBrush(l.grip);
    for (const QRectF& line : SlideSwitchLook::gripLines(knob)) painter.drawRect(line);
    painter.restore();
}

}  // namespace quellor
