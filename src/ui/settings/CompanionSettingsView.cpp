#include "ui/settings/CompanionSettingsView.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/settings/SwitchToggle.h"
#include "ui/settings/CompanionStatusDotWidget.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/style/Fonts.h"
#include "ui/style/SymbolIcons.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

// The system's red, the colour of a warning.
const QColor kWarningRed(255, 59, 48);

QVBoxLayout* group(QVBoxLayout* column) {
    auto* g = new QVBoxLayout;
    g->setSpacing(SettingsMetrics::Page::kItemSpacing);
    column->addLayout(g);
    return g;
}

QFont plainButtonFont() { return systemFont(11, QFont::DemiBold); }

}  // namespace

CompanionSettingsView::CompanionSettingsView(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes,
                                             Platform platform, QWidget* parent)
    : QWidget(parent), themes_(themes), platform_(std::move(platform)),
      settings_(engine, defaults, platform_.copyText) {
    setObjectName(QStringLiteral("settings-companion"));
    if (!platform_.openURL) platform_.openURL = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(SettingsMetrics::Page::kGroupSpacing);
    const auto secondary = &Palette::textSecondary;

    // Status.
    auto* statusGroup = group(column);
    statusGroup->addWidget(makeSectionTitle(themes, CompanionSettings::kStatusTitle, secondary, this));
    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(SettingsMetrics::CompanionPage::kStatusSpacing);
    dot_ = new CompanionStatusDotWidget(themes, this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("companion-status"));
    status_->setFont(systemFont(13));
    statusRow->addWidget(dot_, 0, Qt::AlignVCenter);
    statusRow->addWidget(status_, 1);
    statusGroup->addLayout(statusRow);

    // Pairing PIN.
    auto* pinGroup = group(column);
    pinGroup->addWidget(headerRow(CompanionSettings::kPINTitle, CompanionSettings::kNewPINButton,
                                  CompanionSettings::kNewPINHelp, "companion-new-pin",
                                  [this] { settings_.issueNewPIN(); }));
    pinGroup->addWidget(secretRow(
        pin_, "companion-copy-pin", "companion-reveal-pin", [this] { settings_.copyPIN(); },
        [this] { settings_.toggleRevealed(); }, revealPIN_));
    pin_->setObjectName(QStringLiteral("companion-pin"));
    pinGroup->addWidget(makeNote(
        themes, CompanionSettings::kPINNote,
        11, secondary, this));

    // OSC reception and its port.
    auto* oscGroup = group(column);
    oscGroup->addWidget(makeSectionTitle(themes, CompanionSettings::kOSCTitle, secondary, this));
    oscEnabled_ = new SwitchToggle(themes, CompanionSettings::kOSCEnabledLabel, this);
    oscEnabled_->setObjectName(QStringLiteral("companion-osc-enabled"));
    oscGroup->addWidget(oscEnabled_, 0, Qt::AlignLeft);
    auto* portRow = new QHBoxLayout;
    auto* portLabel = new QLabel(CompanionSettings::kPortLabel, this);
    portLabel->setFont(systemFont(12));
    port_ = new QLineEdit(this);
    port_->setObjectName(QStringLiteral("companion-osc-port"));
    port_->setAccessibleName(CompanionSettings::kPortLabel);
    port_->setFixedWidth(SettingsMetrics::CompanionPage::kPortFieldWidth);
    port_->installEventFilter(this);
    portRow->addWidget(portLabel);
    portRow->addWidget(port_);
    portRow->addStretch(1);
    oscGroup->addLayout(portRow);
    oscGroup->addWidget(makeNote(
        themes,
        CompanionSettings::kPortNote,
        11, secondary, this));

    // Control password.
    auto* passwordGroup = group(column);
    passwordGroup->addWidget(headerRow(CompanionSettings::kPasswordTitle, CompanionSettings::kRegenerateButton,
                                       CompanionSettings::kRegenerateHelp,
                                       "companion-regenerate-password", [this] { settings_.regeneratePassword(); }));
    passwordGroup->addWidget(secretRow(
        password_, "companion-copy-password", "companion-reveal-password", [this] { settings_.copyPassword(); },
        [this] { settings_.togglePasswordRevealed(); }, revealPassword_));
    password_->setObjectName(QStringLiteral("companion-password"));
    passwordGroup->addWidget(makeNote(
        themes,
        CompanionSettings::kPasswordNote,
        11, secondary, this));
    pinRequired_ = new SwitchToggle(themes, CompanionSettings::kRequirePasswordLabel, this);
    pinRequired_->setObjectName(QStringLiteral("companion-require-password"));
    passwordGroup->addWidget(pinRequired_, 0, Qt::AlignLeft);
    openWarning_ = new QLabel(CompanionSettings::kOpenWarning, this);
    openWarning_->setObjectName(QStringLiteral("companion-open-warning"));
    openWarning_->setWordWrap(true);
    openWarning_->setFont(systemFont(11, QFont::DemiBold));
    {
        QPalette p = openWarning_->palette();
        p.setColor(QPalette::WindowText, kWarningRed);
        openWarning_->setPalette(p);
    }
    passwordGroup->addWidget(openWarning_);
    openNote_ = makeNote(
        themes, CompanionSettings::kOpenNote,
        11, secondary, this, "companion-open-note");
    passwordGroup->addWidget(openNote_);

    // Setting the companion up.
    auto* setUpGroup = group(column);
    setUpGroup->addWidget(makeSectionTitle(themes, CompanionSettings::kSetUpTitle, secondary, this));
    setUpGroup->addWidget(makeNote(themes,
                                   CompanionSettings::setUpSteps(),
                                   12, secondary, this));
    auto* download = new QPushButton(CompanionSettings::kDownloadButton, this);
    download->setObjectName(QStringLiteral("companion-download"));
    download->setAutoDefault(false);
    auto* downloadRow = new QHBoxLayout;
    downloadRow->addWidget(download);
    downloadRow->addStretch(1);
    setUpGroup->addLayout(downloadRow);
    setUpGroup->addWidget(makeNote(
        themes, CompanionSettings::kLocalNetworkNote, 11,
        &Palette::textMuted, this));
    column->addStretch(1);

    connect(oscEnabled_, &QCheckBox::toggled, this, [this](bool on) { settings_.setOSCEnabled(on); });
    connect(pinRequired_, &QCheckBox::toggled, this, [this](bool on) { settings_.setPINRequired(on); });
    connect(port_, &QLineEdit::returnPressed, this, [this] {
        settings_.applyPort(port_->text());
        port_->setText(settings_.shownPort());
    });
    connect(download, &QPushButton::clicked, this, [this] {
        const QUrl url(QString::fromLatin1(kDownloadPageAddress), QUrl::StrictMode);
        if (url.isValid() && !url.scheme().isEmpty()) platform_.openURL(url);
    });
    connect(&settings_, &CompanionSettings::changed, this, &CompanionSettingsView::refresh);
    refresh();
}

QWidget* CompanionSettingsView::headerRow(const QString& title, const QString& renew, const QString& help, const char* name,
                                          std::function<void()> action) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeSectionTitle(themes_, title, &Palette::textSecondary, row));
    layout->addStretch(1);
    auto* button = makePlainButton(themes_, renew, systemFont(11), row, name);
    button->setToolTip(help);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    constexpr int iconSize = SettingsMetrics::CompanionPage::kRenewIconSize;
    button->setIconSize(QSize(iconSize, iconSize));
    auto recolour = [this, button] {
        button->setIcon(symbolIcon(QStringLiteral("arrow.clockwise"), themes_.palette().textSecondary, iconSize));
    };
    recolour();
    connect(&themes_, &ThemeController::themeChanged, button, recolour);
    connect(button, &QToolButton::clicked, this, [action = std::move(action)] { action(); });
    layout->addWidget(button);
    return row;
}

QWidget* CompanionSettingsView::secretRow(QLabel*& value, const char* copyName, const char* revealName,
                                          std::function<void()> copy, std::function<void()> reveal,
                                          QToolButton*& revealButton) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(SettingsMetrics::CompanionPage::kSecretSpacing);
    value = new QLabel(row);
    value->setTextFormat(Qt::PlainText);
    value->setFont(monoFont(20, QFont::Medium));
    layout->addWidget(value, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    auto* copyButton = makePlainButton(themes_, CompanionSettings::kCopyButton, plainButtonFont(), row, copyName);
    revealButton = makePlainButton(themes_, CompanionSettings::kShowButton, plainButtonFont(), row, revealName);
    connect(copyButton, &QToolButton::clicked, this, [copy = std::move(copy)] { copy(); });
    connect(revealButton, &QToolButton::clicked, this, [reveal = std::move(reveal)] { reveal(); });
    layout->addWidget(copyButton, 0, Qt::AlignVCenter);
    layout->addWidget(revealButton, 0, Qt::AlignVCenter);
    return row;
}

void CompanionSettingsView::refresh() {
    dot_->setConnected(settings_.isPhoneConnected());
    status_->setText(settings_.statusText());
    pin_->setText(settings_.pinText());
    revealPIN_->setText(settings_.revealPINText());
    password_->setText(settings_.passwordText());
    revealPassword_->setText(settings_.revealPasswordText());
    {
        const QSignalBlocker a(oscEnabled_), b(pinRequired_);
        oscEnabled_->setChecked(settings_.oscEnabled());
        pinRequired_->setChecked(settings_.pinRequired());
    }
    port_->setEnabled(settings_.oscEnabled());
    // A port being typed stays until Return or until the field is left.
    if (!port_->hasFocus()) port_->setText(settings_.shownPort());
    openWarning_->setVisible(!settings_.pinRequired());
    openNote_->setVisible(!settings_.pinRequired());
}

void CompanionSettingsView::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) settings_.maskSecrets();
    QWidget::showEvent(event);
}

bool CompanionSettingsView::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the field without Return drops what was typed: the field shows the stored port.
    if (watched == port_ && event->type() == QEvent::FocusOut) port_->setText(settings_.shownPort());
    return QWidget::eventFilter(watched, event);
}

}  // namespace quellor
