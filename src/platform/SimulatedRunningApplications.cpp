#include "platform/SimulatedRunningApplications.h"

#include <QJsonObject>
#include <algorithm>

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

void SimulatedRunningApplications::load(const QJsonArray& applications) {
    auto optionalText = [](const QJsonObject& o, const char* key) -> std::optional<QString> {
        QJsonValue v = o.value(QLatin1String(key));
        return v.isString() ? std::optional<QString>(v.toString()) : std::nullopt;
    };
    for (const QJsonValue& entry : applications) {
        QJsonObject o = entry.toObject();
        int pid = o.value(QLatin1String("pid")).toInt(0);
        if (pid <= 0) continue;
        int owner = o.value(QLatin1String("responsible")).toInt(0);
        if (owner > 0) setResponsible(pid, owner);
        if (o.value(QLatin1String("helper")).toBool(false)) continue;
        RunningApplication app;
        app.processIdentifier = pid;
        app.bundleIdentifier = optionalText(o, "bundleID");
        app.localizedName = optionalText(o, "name");
        app.icon = optionalText(o, "icon");
        QString policy = o.value(QLatin1String("policy")).toString(QStringLiteral("regular"));
        app.activationPolicy = policy == QLatin1String("accessory")    ? ActivationPolicy::Accessory
                               : policy == QLatin1String("prohibited") ? ActivationPolicy::Prohibited
                                                                       : ActivationPolicy::Regular;
        launch(app);
    }
}

}  // namespace quellor
