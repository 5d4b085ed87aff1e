#pragma once
// Running applications of a simulated desktop: tests and the simulated world launch and quit
// applications, tie helper processes to the application responsible for them, and can take the
// responsibility lookup away.
//
// Threads: main thread only.

#include <map>

#include "platform/RunningApplications.h"

namespace quellor {

class SimulatedWorld;

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

    // Launches the processes of a simulated world as applications: each with its bundle identifier
    // and name (empty ones count as absent); one that another process answers for is a background
    // helper (Accessory), the others are ordinary applications.
    void populate(const SimulatedWorld& world);

private:
    std::vector<RunningApplication> apps_;
    std::map<std::int32_t, std::int32_t> responsible_;
    std::optional<QString> ownBundleIdentifier_ = QStringLiteral("com.larchfen.quellor");
    bool responsibilityAvailable_ = true;
};

}  // namespace quellor
