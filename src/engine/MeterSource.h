#pragma once
// Where the meters tap a source: before its fader ("pre") or after it ("post", the default). Kept
// as a string under the user default "meterSource"; a missing or unknown value (case matters:
// "PRE" is unknown) reads as post. The meter clock reads it on every tick.
//
// Pure value and functions; the defaults reader belongs to the main thread.

#include <QString>
#include <optional>

#include "base/UserDefaults.h"

namespace quellor {

enum class MeterSource { pre, post };

struct MeterSources {
    static inline const QString kDefaultsKey = QStringLiteral("meterSource");

    static std::optional<MeterSource> parse(const QString& raw) {
        if (raw == u"pre") return MeterSource::pre;
        if (raw == u"post") return MeterSource::post;
        return std::nullopt;
    }
    static QString rawValue(MeterSource s) { return s == MeterSource::pre ? QStringLiteral("pre") : QStringLiteral("post"); }
    static QString label(MeterSource s) { return s == MeterSource::pre ? QStringLiteral("PRE") : QStringLiteral("POST"); }
    static MeterSource toggled(MeterSource s) { return s == MeterSource::pre ? MeterSource::post : MeterSource::pre; }
    static MeterSource read(const UserDefaults& defaults) {
        return parse(defaults.stringOr(kDefaultsKey, QString())).value_or(MeterSource::post);
    }
};

}  // namespace quellor
