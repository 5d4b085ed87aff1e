#include "app/AppActions.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMessageBox>

#include "app/AppVersion.h"
#include "app/UpdateController.h"
#include "platform/LaunchAtLogin.h"

namespace quellor {

AppActions::AppActions(UpdateController& updater, MixerEngine* engine, Platform platform, QObject* parent)
    : QObject(parent), updater_(updater), engine_(engine), platform_(std::move(platform)) {
    if (!platform_.openURL) platform_.openURL = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    if (!platform_.copyText) {
        platform_.copyText = [](const QString& text) {
            QClipboard* clipboard = QGuiApplication::clipboard();
            clipboard->clear();
            clipboard->setText(text);
        };
    }
    if (!platform_.showAboutPanel) {
        platform_.showAboutPanel = [] {
            QMessageBox::about(nullptr, QStringLiteral("About Quellor"),
                               QStringLiteral("Quellor %1 (%2)").arg(appShortVersion(), appBuildNumber()));
        };
    }
    if (!platform_.quit) platform_.quit = [] { QCoreApplication::quit(); };
    if (!platform_.systemFacts) platform_.systemFacts = &currentSystemFacts;
}

bool AppActions::launchAtLoginEnabled() const { return platform_.launchAtLogin.isEnabled(); }

void AppActions::setLaunchAtLogin(bool enabled) {
    if (enabled) platform_.launchAtLogin.enable();
    else platform_.launchAtLogin.disable();
}

QString AppActions::updateMenuTitle() const { return updater_.menuTitle(); }

void AppActions::openPage(const char* address) {
    const QUrl url(QString::fromLatin1(address), QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty()) platform_.openURL(url);
}

void AppActions::openSupportPage() { openPage(kSupportPageAddress); }

void AppActions::openTermsPage() { openPage(kTermsPageAddress); }

QString AppActions::diagnostics() const {
    const int mappings = platform_.midiMappingCount ? platform_.midiMappingCount() : 0;
    return diagnosticsText(platform_.systemFacts(), engine_.data(), mappings);
}

void AppActions::copyDiagnostics() { platform_.copyText(diagnostics()); }

void AppActions::showAbout() {
    if (QWidget* w = QApplication::activeWindow()) w->activateWindow();
    platform_.showAboutPanel();
}

void AppActions::quit() { platform_.quit(); }

}  // namespace quellor
