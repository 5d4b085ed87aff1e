#pragma once
// The live list of source applications. The hardware reports audio per process object, and many
// applications play through helper processes; every process object is folded into the application
// responsible for it, so that one strip controls all of an application's audio. Listed: each
// application that owns process objects and plays, records or is an ordinary (Regular)
// application, plus every other running ordinary application. Playing applications come first,
// then by name in the user's locale, ignoring case.
//
// The list is rebuilt 0.1 s after the last of a burst of process-list notifications and every 2 s
// (flags of existing process objects and launched or quit applications change no process list),
// and published only when it changed.
//
// Threads: main thread only. Timers and listener work hold the monitor weakly.

#include <QObject>
#include <memory>
#include <vector>

#include "audio/AudioApp.h"
#include "audio/HALListener.h"
#include "base/Logger.h"
#include "base/Scheduler.h"

namespace quellor {

class RunningApplications;

// The process responsible for `pid`; `pid` itself when the lookup is unavailable or gives no
// positive id.
std::int32_t responsiblePID(const RunningApplications& running, std::int32_t pid);

class AudioProcessMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr double kDebounceSeconds = 0.1;
    static constexpr double kPollSeconds = 2.0;

    explicit AudioProcessMonitor(RunningApplications& running, QObject* parent = nullptr);
    ~AudioProcessMonitor() override;

    // Listens to the process list, starts polling and fills the list at once. Once only.
    void start();
    const std::vector<AudioApp>& apps() const { return apps_; }
    QString icon(const AudioApp& app) const { return appIcon(app, running_); }

    void refresh();
    void scheduleRefresh();

signals:
    void appsChanged();

private:
    void logGrouping(const std::vector<std::uint32_t>& objects) const;

    RunningApplications& running_;
    std::vector<AudioApp> apps_;
    std::unique_ptr<HALListener> listListener_;
    TaskSlot pendingRefresh_;
    TaskSlot pollTask_;
    Logger log_{QStringLiteral("AudioProcessMonitor")};
    Liveness alive_;
};

}  // namespace quellor
