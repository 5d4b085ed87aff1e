#pragma once
// An update framework and an application host for update tests: the framework records what the
// controller asks of it and lets the test report whatever a real cycle would; the host is active
// or not as the test says, keeps the alerts it was given with their answers, and counts quits.
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "app/UpdateHost.h"
#include "platform/UpdateBackend.h"

namespace quellor::test {

class FakeUpdateBackend : public UpdateBackend {
public:
    UpdateBackendDelegate* delegate = nullptr;
    std::optional<bool> automaticChecks;
    bool automaticDownloads = false;
    int starts = 0;
    QStringList calls;  // "background check", "interactive check"

    void setDelegate(UpdateBackendDelegate* d) override { delegate = d; }
    bool automaticallyChecksForUpdates() const override { return automaticChecks.value_or(false); }
    void setAutomaticallyChecksForUpdates(bool on) override { automaticChecks = on; }
    bool automaticallyDownloadsUpdates() const override { return automaticDownloads; }
    void setAutomaticallyDownloadsUpdates(bool on) override { automaticDownloads = on; }
    std::optional<UpdateError> start() override {
        ++starts;
        return UpdateError{kUpdateErrorDomain, kUpdateFeedError, "cannot start"};  // dropped by the controller
    }
    void checkForUpdatesInBackground() override { calls << "background check"; }
    void checkForUpdates() override { calls << "interactive check"; }

    // A staged update whose immediate install counts its calls.
    void stage(const QString& version) {
        delegate->updaterWillInstallUpdateOnQuit(version, [this] { ++installNowCalls; });
    }
    int installNowCalls = 0;
};

class FakeUpdateHost : public UpdateHost {
public:
    struct Shown {
        Alert alert;
        std::function<void(int)> answer;
    };
    bool active = false;
    std::vector<Shown> alerts;
    int terminationRequests = 0;
    int sheetsEnded = 0;

    bool isActive() const override { return active; }
    void presentAlert(const Alert& alert, std::function<void(int)> answer) override { alerts.push_back({alert, answer}); }
    void endAttachedSheets() override { ++sheetsEnded; }
    void requestTermination() override { ++terminationRequests; }

    // The user leaves the application.
    void resignActive() {
        active = false;
        emit didResignActive();
    }
    QStringList messages() const {
        QStringList m;
        for (const auto& s : alerts) m << s.alert.message;
        return m;
    }
};

}  // namespace quellor::test
