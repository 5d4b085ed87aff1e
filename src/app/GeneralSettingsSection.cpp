#include "app/GeneralSettingsSection.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/AppActions.h"
#include "app/AppVersion.h"
#include "app/UpdateController.h"

namespace quellor {

GeneralSettingsSection::GeneralSettingsSection(AppActions& actions, QWidget* parent)
    : QWidget(parent), actions_(actions) {
    setObjectName(QStringLiteral("settings-general"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    version_ = new QLabel(QStringLiteral("Quellor ") + appShortVersion(), this);
    version_->setObjectName(QStringLiteral("settings-version"));
    launchAtLogin_ = new QCheckBox(QStringLiteral("Launch at login"), this);
    launchAtLogin_->setObjectName(QStringLiteral("settings-launch-at-login"));
    auto* buttons = new QHBoxLayout;
    update_ = new QPushButton(this);
    update_->setObjectName(QStringLiteral("settings-update"));
    copyDiagnostics_ = new QPushButton(QStringLiteral("Copy Diagnostics"), this);
    copyDiagnostics_->setObjectName(QStringLiteral("settings-copy-diagnostics"));
    buttons->addWidget(update_);
    buttons->addWidget(copyDiagnostics_);
    buttons->addStretch(1);
    column->addWidget(version_);
    column->addWidget(launchAtLogin_);
    column->addLayout(buttons);

    connect(launchAtLogin_, &QCheckBox::toggled, this, [this](bool on) {
        actions_.setLaunchAtLogin(on);
        reload();
    });
    connect(update_, &QPushButton::clicked, this, [this] { actions_.updater().checkForUpdates(); });
    connect(copyDiagnostics_, &QPushButton::clicked, this, [this] { actions_.copyDiagnostics(); });
    auto retitle = [this] { update_->setText(actions_.updateMenuTitle()); };
    connect(&actions_.updater(), &UpdateController::availableVersionChanged, this, retitle);
    connect(&actions_.updater(), &UpdateController::stagedVersionChanged, this, retitle);
    reload();
}

void GeneralSettingsSection::reload() {
    const QSignalBlocker blocker(launchAtLogin_);
    launchAtLogin_->setChecked(actions_.launchAtLoginEnabled());
    update_->setText(actions_.updateMenuTitle());
}

}  // namespace quellor
