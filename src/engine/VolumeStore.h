#pragma once
// Where the per-application mix records live: "appVolumes" in the given user defaults, as the
// JSON object of bundle identifier -> AppVolume (through JsonDefaults).
//
// Threads: the main thread (the owner of the defaults).

#include <QString>

#include "base/UserDefaults.h"
#include "engine/AppVolume.h"

namespace quellor {

class VolumeStore {
public:
    static inline const QString key = QStringLiteral("appVolumes");

    explicit VolumeStore(UserDefaults& defaults = UserDefaults::standard()) : defaults_(&defaults) {}

    UserDefaults& defaults() const { return *defaults_; }

    // The stored records; empty when there are none or they do not decode (one bad record drops
    // them all, and the next save replaces the entry).
    AppVolumeMap load() const;
    // Writes the records that are not at defaults, so an application moved back to defaults
    // leaves the stored map. Returns false (and keeps the stored entry) when encoding fails.
    bool save(const AppVolumeMap& volumes) const;

private:
    UserDefaults* defaults_;
};

}  // namespace quellor
