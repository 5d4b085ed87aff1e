#include "platform/SimulatedRunningApplications.h"

#include <algorithm>

#include "platform/SimulatedWorld.h"

namespace quellor {

std::optional<RunningApplication> SimulatedRunningApplications::application(std::int32_t pid) const {
    auto it = std::find_if(apps_.begin(), apps_.end(), [pid](const auto& a) { return a.processIdentifier == pid; });
    if (it == apps_.end()) return std::nullopt;
    return *it;
}

std::vector<RunningApplication> SimulatedRunningApplications::runningApplications() const { return apps_; }

std::optional<std::int32_t> SimulatedRunningApplications::responsibleProcess(std::int32_t pid) const {
    if (!responsibilityAvailable_) return std::nullopt;
    auto it = responsible_.find(pid);
    return it == responsible_.end() ? pid : it->second;
}

void SimulatedRunningApplications::launch(const RunningApplication& app) {
    auto it = std::find_if(apps_.begin(), apps_.end(),
                           [&](const auto& a) { return a.processIdentifier == app.processIdentifier; });
    if (it == apps_.end())
        apps_.push_back(app);
    else
        *it = app;
}

void SimulatedRunningApplications::quit(std::int32_t pid) {
    std::erase_if(apps_, [pid](const auto& a) { return a.processIdentifier == pid; });
}

void SimulatedRunningApplications::setResponsible(std::int32_t pid, std::int32_t owner) { responsible_[pid] = owner; }

void SimulatedRunningApplications::populate(const SimulatedWorld& world) {
    auto present = [](const QString& text) { return text.isEmpty() ? std::nullopt : std::optional<QString>(text); };
    for (const SimulatedWorld::Process& entry : world.processes) {
        const SimulatedProcess& p = entry.process;
        bool helper = p.responsiblePid != 0 && p.responsiblePid != p.pid;
        launch({p.pid, present(p.bundleID), present(p.name),
                helper ? ActivationPolicy::Accessory : ActivationPolicy::Regular, std::nullopt});
        if (helper) setResponsible(p.pid, p.responsiblePid);
    }
}

}  // namespace quellor
