#include "app/GeneralSettingsWiring.h"

#include "app/AppActions.h"
#include "app/AppVersion.h"
#include "app/UpdateController.h"
#include "ui/settings/GeneralSettingsSection.h"

namespace quellor {

GeneralSettingsSection* makeGeneralSettingsSection(AppActions& actions, UserDefaults& defaults,
                                                   ThemeController& themes, QWidget* parent) {
    AppActions* a = &actions;
    UpdateController* updater = &actions.updater();
    GeneralSettingsActions wired{
        appShortVersion(),
        [a] { return a->launchAtLoginEnabled(); },
        [a](bool on) { a->setLaunchAtLogin(on); },
        [a] { return a->updateMenuTitle(); },
        [updater] { updater->checkForUpdates(); },
        [updater] { return updater->automaticallyDownloadsUpdates(); },
        [updater](bool on) { updater->setAutomaticallyDownloadsUpdates(on); },
        [a] { a->openSupportPage(); },
        [a] { a->copyDiagnostics(); },
        [a] { a->showAbout(); },
        [a] { a->openTermsPage(); },
        [a] { a->quit(); },
    };
    auto* section = new GeneralSettingsSection(std::move(wired), defaults, themes, parent);
    QObject::connect(updater, &UpdateController::availableVersionChanged, section,
                     &GeneralSettingsSection::retitleUpdate);
    QObject::connect(updater, &UpdateController::stagedVersionChanged, section,
                     &GeneralSettingsSection::retitleUpdate);
    return section;
}

}  // namespace quellor
