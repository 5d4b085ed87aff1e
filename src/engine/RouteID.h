#pragma once
// What a route id names. Route ids are the short strings by which strips, MIDI mappings, OSC
// value addresses and the companion name what they move:
//   "system_output", "bus:main"  the default output device's volume (MAIN is that device)
//   "system_input"               the default input device's volume
//   "bus:phones"                 the PHONES bus level
//   "device:" + UID              one output device's hardware volume
//   "transport:record"           the recording transport button
//   "cue:" + bundle identifier   that application's cue button
//   anything else                an application, by bundle identifier
//
// A pure value; any thread.

#include <QString>

namespace quellor {

struct RouteID {
    enum class Kind { OutputVolume, InputVolume, PhonesBus, Device, Record, Cue, Application };

    Kind kind = Kind::Application;
    // The device UID, the cue's bundle identifier or the application's bundle identifier; empty for
    // the other kinds.
    QString target;

    static RouteID parse(const QString& id);

    bool operator==(const RouteID&) const = default;
};

}  // namespace quellor
