#include "audio/AudioProcessMonitor.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <map>

#include "audio/HALProperties.h"
#include "audio/MainThreadListener.h"
#include "audio/NameOrder.h"
#include "platform/RunningApplications.h"

namespace quellor {
namespace {

struct Group {
    RunningApplication app;
    std::vector<std::uint32_t> objects;
    bool playing = false;
    bool recording = false;
};

std::optional<std::int32_t> readPID(std::uint32_t object) {
    try {
        std::int32_t pid = 0;
        readHALProperty32(hal::kProcessPID, hal::kScopeGlobal, pid, object);
        return pid;
    } catch (const HALError&) {
        return std::nullopt;
    }
}

bool readFlag(std::uint32_t selector, std::uint32_t object) {
    std::uint32_t value = 0;
    try {
        readHALProperty32(selector, hal::kScopeGlobal, value, object);
    } catch (const HALError&) {
    }
    return value != 0;
}

std::optional<RunningApplication> owningApplication(const RunningApplications& running, std::int32_t pid) {
    if (auto app = running.application(responsiblePID(running, pid))) return app;
    return running.application(pid);
}

const char* yesNo(bool value) { return value ? "true" : "false"; }

}  // namespace

std::int32_t responsiblePID(const RunningApplications& running, std::int32_t pid) {
    auto owner = running.responsibleProcess(pid);
    return owner && *owner > 0 ? *owner : pid;
}

AudioProcessMonitor::AudioProcessMonitor(RunningApplications& running, QObject* parent)
    : QObject(parent), running_(running) {}

AudioProcessMonitor::~AudioProcessMonitor() = default;

void AudioProcessMonitor::start() {
    if (pollTask_.pending()) return;
    listListener_ = listenOnMainThread(hal::kSystemObject, hal::kProcessObjectList, hal::kScopeGlobal, alive_,
                                       [this] { scheduleRefresh(); });
    pollTask_.set(Scheduler::current().every(kPollSeconds, alive_.guard([this] { refresh(); })));
    refresh();
}

void AudioProcessMonitor::scheduleRefresh() {
    pendingRefresh_.set(Scheduler::current().after(kDebounceSeconds, alive_.guard([this] {
        pendingRefresh_.clear();
        refresh();
    })));
}

void AudioProcessMonitor::refresh() {
    std::vector<std::uint32_t> objects;
    try {
        objects = readUInt32ArrayProperty(hal::kProcessObjectList, hal::kScopeGlobal, hal::kSystemObject);
    } catch (const HALError&) {
        log_.error("Failed to read HAL process list");
        return;
    }

    const std::optional<QString> own = running_.ownBundleIdentifier();
    std::map<std::int32_t, Group> groups;
    for (std::uint32_t object : objects) {
        auto pid = readPID(object);
        if (!pid) continue;
        auto app = owningApplication(running_, *pid);
        if (!app || !app->bundleIdentifier) continue;
        if (own && app->bundleIdentifier == own) continue;  // never list ourselves
        auto [it, inserted] = groups.try_emplace(app->processIdentifier, Group{*app, {}, false, false});
        Group& group = it->second;
        group.objects.push_back(object);
        // Once a flag is set the group's later objects need not be asked.
        if (!group.playing) group.playing = readFlag(hal::kProcessIsRunningOutput, object);
        if (!group.recording) group.recording = readFlag(hal::kProcessIsRunningInput, object);
    }

    std::vector<AudioApp> apps;
    for (auto& [key, group] : groups) {
        if (!group.playing && !group.recording && group.app.activationPolicy != ActivationPolicy::Regular) continue;
        AudioApp app;
        app.id = key;
        app.bundleID = group.app.bundleIdentifier.value_or(QString());
        app.name = group.app.localizedName.value_or(
            group.app.bundleIdentifier.value_or(QStringLiteral("pid %1").arg(key)));
        app.objectIDs = group.objects;
        std::sort(app.objectIDs.begin(), app.objectIDs.end());
        app.isPlaying = group.playing;
        app.isRecording = group.recording;
        apps.push_back(std::move(app));
    }

    QSet<QString> listed;
    for (const AudioApp& app : apps) listed.insert(app.bundleID);
    for (const RunningApplication& r : running_.runningApplications()) {
        if (r.activationPolicy != ActivationPolicy::Regular) continue;
        if (!r.bundleIdentifier || r.bundleIdentifier->isEmpty() || r.bundleIdentifier == own ||
            listed.contains(*r.bundleIdentifier))
            continue;
        AudioApp app;
        app.id = r.processIdentifier;
        app.bundleID = *r.bundleIdentifier;
        app.name = r.localizedName.value_or(*r.bundleIdentifier);
        apps.push_back(std::move(app));
    }

    NameOrder names;
    std::stable_sort(apps.begin(), apps.end(), [&](const AudioApp& a, const AudioApp& b) {
        if (a.isPlaying != b.isPlaying) return a.isPlaying;
        return names(a.name, b.name);
    });

    if (apps == apps_) return;
    apps_ = std::move(apps);
    emit appsChanged();

    QStringList summary;
    for (const AudioApp& app : apps_) summary.append(app.isPlaying ? app.name + QLatin1Char('*') : app.name);
    log_.info("Apps: %ld/%ld HAL processes — %s", static_cast<long>(apps_.size()), static_cast<long>(objects.size()),
              qPrintable(summary.join(QStringLiteral(", "))));
    logGrouping(objects);
}

void AudioProcessMonitor::logGrouping(const std::vector<std::uint32_t>& objects) const {
    QSet<std::uint32_t> grouped;
    for (const AudioApp& app : apps_) {
        QStringList ids;
        for (std::uint32_t id : app.objectIDs) {
            ids.append(QString::number(id));
            grouped.insert(id);
        }
        log_.debug("GROUP %s objects=[%s] playing=%s", qPrintable(app.bundleID),
                   qPrintable(ids.join(QStringLiteral(", "))), yesNo(app.isPlaying));
    }
    for (std::uint32_t object : objects) {
        if (grouped.contains(object)) continue;
        std::int32_t pid = readPID(object).value_or(-1);
        std::int32_t owner = responsiblePID(running_, pid);
        QString bundle = QStringLiteral("?");
        for (std::int32_t candidate : {owner, pid}) {
            auto app = running_.application(candidate);
            if (app && app->bundleIdentifier) {
                bundle = *app->bundleIdentifier;
                break;
            }
        }
        log_.debug("UNGROUPED object=%u pid=%d owner=%d bundle=%s out=%s", object, pid, owner, qPrintable(bundle),
                   yesNo(readFlag(hal::kProcessIsRunningOutput, object)));
    }
}

}  // namespace quellor
