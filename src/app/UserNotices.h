#pragma once
// What the main window tells the user about their work that could not be kept where it belongs:
// setups files that could not be read at start (and where they were set aside), setups that cannot
// be saved, and a recording whose folder vanished (where the take was kept, or that it was lost).
// The log has the details; a notice says in a sentence what happened and where the user's files are.
//
// Each failure is told once: a notice stays until the user dismisses it, and a failure that repeats
// (a save failing on every change while the disk is full) adds nothing while its notice is up or
// after it was dismissed, until it recovers. A recovered save takes its notice down. A later state of
// the same recording replaces its notice (found gone, then kept).
//
// Threads: main thread only.
#include <QObject>
#include <QString>
#include <utility>
#include <vector>

#include "recording/RecordingLane.h"

namespace quellor {

class SessionManager;
class MixRecorder;

class UserNotices : public QObject {
    Q_OBJECT
public:
    enum class Kind { SetupsSetAside, SetupsNotSaved, RecordingVanished };
    struct Notice {
        Kind kind;
        QString title;
        QString detail;
        friend bool operator==(const Notice&, const Notice&) = default;
    };

    using QObject::QObject;

    // Follows the manager's save failures and tells what it set aside at start.
    void follow(SessionManager& sessions);
    // Follows what becomes of takes whose file vanished.
    void follow(MixRecorder& recorder);

    // The notices to show, oldest first.
    const std::vector<Notice>& notices() const { return notices_; }
    void dismiss(Kind kind);

    // The decisions, fed by follow() and by tests.
    // `startedAfresh`: no setups file read, so a new setup was made; otherwise the backup loaded.
    void setupsSetAside(const std::vector<std::pair<QString, QString>>& setAside, bool startedAfresh);
    void setupsSaveFailing(bool failing, const QString& error);
    void recordingRescued(const RecordingLane::Rescue& rescue);

signals:
    void changed();

private:
    void show(Notice notice);
    void remove(Kind kind);

    std::vector<Notice> notices_;
    bool saveFailing_ = false;
};

}  // namespace quellor
