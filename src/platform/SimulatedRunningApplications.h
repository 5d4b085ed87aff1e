#pragma once
// Running applications of a simulated desktop: tests and the simulated world launch and quit
// applications, tie helper processes to the application responsible for them, and can take the
// responsibility lookup away.
//
// Threads: main thread only.

#include <QJsonArray>
#include <map>

#include "platform/RunningApplications.h"

namespace quellor {

class SimulatedRunningApplications : public RunningApplications {
public:
    std::optional<RunningApplication> application(std::int32_t pid) const override;
    std::vector<RunningApplication> runningApplications() const override;
    std::optional<QString> ownBundleIdentifier() const override { return ownBundleIdentifier_; }
    std::optional<std::int32_t> responsibleProcess(std::int32_t pid) const override;

    // Adds the application at the end of the list, or updates it in place when its pid is known.
    void launch(const RunningApplication& app);
    void quit(std::int32_t pid);
    // `pid` (an application or a bare helper process) is run on behalf of `owner`.
    void setResponsible(std::int32_t pid, std::int32_t owner);
    // Without the lookup every process answers for itself only.
    void setResponsibilityAvailable(bool available) { responsibilityAvailable_ = available; }
    void setOwnBundleIdentifier(std::optional<QString> identifier) { ownBundleIdentifier_ = std::move(identifier); }

    // Launches the applications of a world description: an array of objects with "pid",
    // "bundleID", "name", "policy" ("regular", "accessory", "prohibited"; default regular),
    // "icon" and "responsible" (the owner's pid). An entry with "helper": true is a bare process
    // that is no application: only its "responsible" owner is recorded. Entries without a positive
    // "pid" are skipped.
    void load(const QJsonArray& applications);

private:
    std::vector<RunningApplication> apps_;
    std::map<std::int32_t, std::int32_t> responsible_;
    std::optional<QString> ownBundleIdentifier_ = QStringLiteral("com.larchfen.quellor");
    bool responsibilityAvailable_ = true;
};

}  // namespace quellor
