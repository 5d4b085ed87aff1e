#include "ui/settings/GeneralSettingsSection.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/UserDefaults.h"
#include "ui/console/StoredStripCount.h"
#include "ui/settings/SegmentedControl.h"
#include "ui/settings/SettingsMetrics.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/settings/SwitchToggle.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeController.h"

namespace quellor {

namespace {

QPushButton* button(const QString& title, const char* name, QWidget* parent) {
    auto* b = new QPushButton(title, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// A titled section: the title, then its controls, each at its own width on the leading edge.
QVBoxLayout* section(QVBoxLayout* column, ThemeController& themes, const QString& title, QWidget* parent) {
    auto* s = new QVBoxLayout;
    s->setSpacing(SettingsMetrics::Page::kItemSpacing);
    s->addWidget(makeSectionTitle(themes, title, &Palette::textMuted, parent));
    column->addLayout(s);
    return s;
}

void addLeading(QVBoxLayout* layout, QWidget* widget) { layout->addWidget(widget, 0, Qt::AlignLeft); }

}  // namespace

GeneralSettingsSection::GeneralSettingsSection(GeneralSettingsActions actions, UserDefaults& defaults,
                                               ThemeController& themes, QWidget* parent)
    : QWidget(parent), actions_(std::move(actions)), defaults_(defaults) {
    setObjectName(QStringLiteral("settings-general"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(SettingsMetrics::Page::kGroupSpacing);
    const auto secondary = &Palette::textSecondary;

    auto* console = section(column, themes, QStringLiteral("Console"), this);
    auto* stripsRow = new QHBoxLayout;
    stripsRow->setSpacing(SettingsMetrics::GeneralPage::kStripsSpacing);
    stripsRow->addWidget(new QLabel(QStringLiteral("Strips"), this));
    auto* segments = new SegmentedControl(themes, this);
    segments->setMaximumWidth(SettingsMetrics::GeneralPage::kStripsMaxWidth);
    strips8_ = segments->addSegment(QStringLiteral("8"), QStringLiteral("settings-strips-8"));
    strips16_ = segments->addSegment(QStringLiteral("16"), QStringLiteral("settings-strips-16"));
    stripsRow->addWidget(segments);
    stripsRow->addStretch(1);
    console->addLayout(stripsRow);
    console->addWidget(makeNote(themes,
                                QStringLiteral("8: one row of tall faders. 16: two rows of eight, half the height. "
                                               "Strips 9-16 are kept when you go back to 8."),
                                11, secondary, this));

    auto* startup = section(column, themes, QStringLiteral("Startup"), this);
    launchAtLogin_ = new SwitchToggle(themes, QStringLiteral("Launch at login"), this);
    launchAtLogin_->setObjectName(QStringLiteral("settings-launch-at-login"));
    addLeading(startup, launchAtLogin_);

    auto* updates = section(column, themes, QStringLiteral("Updates"), this);
    update_ = button(QString(), "settings-update", this);
    addLeading(updates, update_);
    autoUpdate_ = new SwitchToggle(themes, QStringLiteral("Update automatically"), this);
    autoUpdate_->setObjectName(QStringLiteral("settings-update-automatically"));
    addLeading(updates, autoUpdate_);

    auto* help = section(column, themes, QStringLiteral("Help"), this);
    auto* support = button(QStringLiteral("Support…"), "settings-support", this);
    auto* copyDiagnostics = button(QStringLiteral("Copy Diagnostics"), "settings-copy-diagnostics", this);
    addLeading(help, support);
    addLeading(help, copyDiagnostics);
    help->addWidget(makeNote(themes,
                             QStringLiteral("Versions and device info for a support message, in one paste. Nothing "
                                            "about which apps you run."),
                             11, secondary, this));

    auto* about = section(column, themes, QStringLiteral("About"), this);
    auto* version = new QLabel(QStringLiteral("Quellor ") + actions_.version, this);
    version->setObjectName(QStringLiteral("settings-version"));
    version->setFont(monoFont(12));
    about->addWidget(version);
    auto* aboutButton = button(QStringLiteral("About Quellor"), "settings-about", this);
    auto* terms = button(QStringLiteral("Licence Agreement…"), "settings-terms", this);
    addLeading(about, aboutButton);
    addLeading(about, terms);

    column->addWidget(makeDivider(themes, this));
    auto* quit = button(QStringLiteral("Quit Quellor"), "settings-quit", this);
    column->addWidget(quit, 0, Qt::AlignLeft);
    column->addStretch(1);

    connect(strips8_, &QPushButton::clicked, this, [this] { defaults_.setInteger(kConsoleStripsKey, 8); });
    connect(strips16_, &QPushButton::clicked, this, [this] { defaults_.setInteger(kConsoleStripsKey, 16); });
    connect(&defaults_, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == QLatin1String(kConsoleStripsKey)) reload();
    });
    connect(launchAtLogin_, &QCheckBox::toggled, this, [this](bool on) {
        actions_.setLaunchAtLogin(on);
        reload();
    });
    connect(update_, &QPushButton::clicked, this, [this] { actions_.checkForUpdates(); });
    connect(autoUpdate_, &QCheckBox::toggled, this,
            [this](bool on) { actions_.setAutomaticallyDownloadsUpdates(on); });
    connect(support, &QPushButton::clicked, this, [this] { actions_.openSupportPage(); });
    connect(copyDiagnostics, &QPushButton::clicked, this, [this] { actions_.copyDiagnostics(); });
    connect(aboutButton, &QPushButton::clicked, this, [this] { actions_.showAbout(); });
    connect(terms, &QPushButton::clicked, this, [this] { actions_.openTermsPage(); });
    connect(quit, &QPushButton::clicked, this, [this] { actions_.quit(); });
    reload();
}

void GeneralSettingsSection::reload() {
    const QSignalBlocker blockLogin(launchAtLogin_), blockAuto(autoUpdate_);
    launchAtLogin_->setChecked(actions_.launchAtLoginEnabled());
    autoUpdate_->setChecked(actions_.automaticallyDownloadsUpdates());
    retitleUpdate();
    const bool sixteen = storedStripCount(defaults_) == 16;
    strips8_->setChecked(!sixteen);
    strips16_->setChecked(sixteen);
}

void GeneralSettingsSection::retitleUpdate() { update_->setText(actions_.updateTitle()); }

}  // namespace quellor
