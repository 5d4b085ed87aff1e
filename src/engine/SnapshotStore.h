#pragma once
// Where the list of mix snapshots lives: "mixSnapshots" in the given user defaults, as a JSON
// array of MixSnapshot (through JsonDefaults), in the order it was stored.
//
// Threads: the main thread (the owner of the defaults).

#include <QString>
#include <vector>

#include "base/UserDefaults.h"
#include "engine/MixSnapshot.h"

namespace quellor {

class SnapshotStore {
public:
    explicit SnapshotStore(UserDefaults& defaults = UserDefaults::standard()) : defaults_(&defaults) {}

    const QString& key() const { return key_; }
    UserDefaults& defaults() const { return *defaults_; }

    // The stored list, or an empty one when there is none or it does not decode (one bad
    // snapshot makes the whole list unreadable). Logs nothing and leaves the stored entry alone.
    std::vector<MixSnapshot> loadSnapshots() const;

private:
    QString key_ = QStringLiteral("mixSnapshots");
    UserDefaults* defaults_;
};

}  // namespace quellor
