#include "ui/settings/AudioSettingsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/settings/SwitchToggle.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/style/Fonts.h"

namespace quellor {

AudioSettingsView::AudioSettingsView(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes, QWidget* parent)
    : QWidget(parent), settings_(engine, defaults) {
    setObjectName(QStringLiteral("settings-audio"));
    auto* column = new QVBoxLayout(this);
    using M = SettingsMetrics::AudioPage;
    column->setContentsMargins(M::kSidePadding, M::kVerticalPadding, M::kSidePadding, M::kVerticalPadding);
    column->setSpacing(M::kSpacing);

    auto* title = new QLabel(QStringLiteral("LATENCY"), this);
    title->setFont(systemFont(11, QFont::DemiBold));
    followThemeColor(title, themes, QPalette::WindowText, &Palette::textSecondary);
    column->addWidget(title);

    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Buffer size"), this);
    buffer_ = new QComboBox(this);
    buffer_->setObjectName(QStringLiteral("settings-buffer-size"));
    buffer_->setAccessibleName(QStringLiteral("Buffer size"));
    label->setBuddy(buffer_);
    latency_ = new QLabel(this);
    latency_->setObjectName(QStringLiteral("settings-latency"));
    latency_->setFont(monoFont(11));
    followThemeColor(latency_, themes, QPalette::WindowText, &Palette::textSecondary);
    row->addWidget(label);
    row->addWidget(buffer_);
    row->addStretch(1);
    row->addWidget(latency_);
    column->addLayout(row);

    minLatency_ = new SwitchToggle(themes, QStringLiteral("Minimum latency (experimental)"), this);
    minLatency_->setObjectName(QStringLiteral("settings-min-latency"));
    column->addWidget(minLatency_, 0, Qt::AlignLeft);
    column->addWidget(makeNote(
        themes,
        QStringLiteral("Smaller buffer = less latency, like a DAW. Too small will crackle, so bring it down by ear. The "
                       "figure is the output side (buffer + device); the tap adds a little on top. Minimum latency drops "
                       "the tap's drift compensation — lower latency when an app plays to the same device, but it can "
                       "glitch if that app runs on a different clock."),
        11, &Palette::textSecondary, this));
    column->addStretch(1);

    // `activated` comes from the user's pick only: filling the menu stores nothing.
    connect(buffer_, &QComboBox::activated, this, [this](int index) {
        const auto items = settings_.choices();
        if (index >= 0 && index < int(items.size())) settings_.pickBufferFrames(items[std::size_t(index)].frames);
    });
    connect(minLatency_, &QCheckBox::toggled, this, [this](bool on) { settings_.setMinLatency(on); });
    connect(&settings_, &AudioSettings::changed, this, &AudioSettingsView::refresh);
    refresh();
}

void AudioSettingsView::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

void AudioSettingsView::refresh() {
    {
        const QSignalBlocker blockBuffer(buffer_), blockToggle(minLatency_);
        buffer_->clear();
        for (const BufferChoice& choice : settings_.choices()) buffer_->addItem(choice.label, QVariant(choice.frames));
        buffer_->setCurrentIndex(settings_.selectedIndex());
        minLatency_->setChecked(settings_.minLatency());
    }
    const auto text = settings_.latencyText();
    latency_->setText(text.value_or(QString()));
    latency_->setVisible(text.has_value());
}

}  // namespace quellor
