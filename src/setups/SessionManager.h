#pragma once
// Owns the setups and the current setup, keeps the setups file in step with them, and moves the
// live mix between the engine and the setups. The current setup follows the live mix: each
// reported mix change (the engine's onMixChanged, wired by the application to captureCurrent)
// captures the engine into it and schedules a rewrite of the setups file: the captures of one
// burst of changes are written once, kCaptureSaveDelay after the first of them. Every other
// operation writes the file at once, and flush() (called when the manager is destroyed at quit)
// writes what is still waiting and waits until it is on disk.
//
// "Writes the file" means: the setups are copied on the main thread and handed to a writer thread,
// which encodes and writes them (with tens of thousands of setups that takes a second or more, and
// the interface and the companion keep being answered meanwhile). The writes run one at a time and
// a newer content replaces one still waiting, so the file always ends with the newest setups.
//
// Start-up reads the setups file, else its backup. When neither exists a first "Setup 1" is
// captured from the engine and written. When files exist but none can be read or decoded (damage,
// or a newer format), they are first renamed to "<name>.unreadable" and the fact is logged, so
// that the first save does not overwrite every earlier setup; a file that cannot be read is kept
// aside the same way when its backup loaded. A current id that names no setup
// is repaired to the first setup (written with the next change). No setup is applied at start.
//
// Invariants after construction: at least one setup; currentID names one of them; no operation
// removes the last setup. Every operation that changes the setups or the current id ends by
// handing the file to the writer. Operations never throw; failures are no-ops or false. A save that
// fails is logged (on the main thread, once its outcome is back) once until a save succeeds again;
// the setups stay in memory and the next change, or the flush at quit, writes them.
//
// Threads: main thread only (the writer thread touches only its copy). The engine, the clock and
// the scheduler installed at construction must outlive the manager.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Logger.h"
#include "base/Scheduler.h"
#include "setups/MixSession.h"
#include "setups/MixSessionStore.h"
#include "setups/SessionEngine.h"
#include "setups/SetupsFileWriter.h"

namespace quellor {

class SessionManager : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;  // wall-clock "now" for created/modified dates

    // Seconds from the first mix change of a burst to the save that writes the burst.
    static constexpr double kCaptureSaveDelay = 0.3;

    SessionManager(SessionEngine& engine, MixSessionStore store, Clock clock = {}, QObject* parent = nullptr);
    ~SessionManager() override;

    const std::vector<MixSession>& sessions() const { return sessions_; }
    const std::optional<QUuid>& currentID() const { return currentID_; }
    const MixSessionStore& store() const { return store_; }
    // The first setup whose id is currentID, or nothing.
    std::optional<MixSession> currentSession() const;
    // All setups, newest modifiedAt first; equal dates keep their list order.
    std::vector<MixSession> recentSessions() const;

    // Replaces the current setup with a capture of the engine and schedules a write of the file,
    // even when nothing changed. Nothing when no setup is current.
    void captureCurrent();
    // Captures the current setup, then makes `id` current and applies it. Nothing for the current
    // id or an unknown one.
    void switchTo(const QUuid& id);
    // Captures the current setup, then adds and applies an empty setup (MAIN and PHONES on the
    // first two strips) named uniquely after `name`.
    void newSetup(const QString& name);
    // Reads one setup from a single-setup file, gives it a new id, a unique name and modifiedAt
    // now, adds it and applies it. False (and nothing changed) when the file does not read or
    // decode.
    bool importSetup(const QString& path);
    // Captures, then writes the current setup to `path` atomically (no folder is made).
    bool exportSetup(const QString& path);
    // Captures, then adds a copy of the current setup named "<name> copy" (made unique) and makes
    // it current; the engine already holds its mix.
    void duplicateSetup();
    // Renames the current setup to `name` trimmed of spaces and tabs; nothing for a blank name.
    // Names need not be unique.
    void renameSetup(const QString& name);
    // Removes the current setup (not captured first), then makes the most recently modified
    // remaining setup current and applies it. Nothing with fewer than two setups.
    void deleteSetup();
    // Hands currentID and the setups to the writer now.
    void persist();
    // Hands the setups to the writer when a save is scheduled or the last one failed, and waits
    // until every write is over (then retries once a write that failed meanwhile).
    void flush();
    // Waits until the writes handed over so far are over and takes their outcomes.
    void waitForWrites();
    // True while the setups in memory are not yet on disk (a save is scheduled or being written, or
    // the last failed).
    bool hasUnsavedChanges() const { return unsaved_ || captureSave_.pending() || writer_.busy(); }
    // True from a failed save until a save succeeds; `saveError()` says why the first one failed.
    // saveFailingChanged() marks the start and the end of such an episode, not each failure.
    bool saveFailing() const { return saveFailures_.failing(); }
    const QString& saveError() const { return saveError_; }
    // The setups files that could not be read at start and were set aside (old path, new path; the
    // new path is empty when the rename failed), so that the user can be told where they are.
    const std::vector<std::pair<QString, QString>>& setAsideAtStart() const { return setAside_; }
    // True when start-up found no setups file that read, so the setups began with a fresh "Setup 1".
    bool startedAfresh() const { return startedAfresh_; }

    // `base` trimmed of spaces and tabs ("Session" when blank); when some setup already has that
    // exact name, the first of "<base> 2", "<base> 3", ... that none has.
    static QString uniqueName(const QString& base, const std::vector<MixSession>& sessions);

signals:
    void sessionsChanged();
    void currentIDChanged();
    void saveFailingChanged();

private:
    void loadAtStart();
    QDateTime now() const { return clock_(); }
    void setCurrentID(std::optional<QUuid> id);
    void appendAndApply(MixSession session);
    int currentIndex() const;
    // Takes the outcomes of the writes that ended: logs failures and their end, notes unsaved.
    void collectWrites();

    SessionEngine& engine_;
    MixSessionStore store_;
    Clock clock_;
    std::vector<MixSession> sessions_;
    std::optional<QUuid> currentID_;
    Logger log_{QStringLiteral("SessionManager")};
    FailureEpisode saveFailures_{log_, QStringLiteral("the setups file")};
    QString saveError_;
    std::vector<std::pair<QString, QString>> setAside_;
    bool startedAfresh_ = false;
    bool unsaved_ = false;
    // A capture waits for the rest of its burst, but never longer than kCaptureSaveDelay.
    Debouncer captureSave_{kCaptureSaveDelay, kCaptureSaveDelay};
    Liveness alive_;
    Scheduler& scheduler_;
    SetupsFileWriter writer_;  // last: its thread reports to the members above
};

}  // namespace quellor
