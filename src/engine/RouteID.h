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

    // The ids themselves. They are stored in setups, user defaults and MIDI mappings and sent over
    // OSC, so their text never changes.
    static inline const QString kSystemOutput = QStringLiteral("system_output");
    static inline const QString kSystemInput = QStringLiteral("system_input");
    static inline const QString kMainBus = QStringLiteral("bus:main");
    static inline const QString kPhonesBus = QStringLiteral("bus:phones");
    static inline const QString kRecordTransport = QStringLiteral("transport:record");
    // Followed by a device UID, or by a bundle identifier.
    static inline const QString kDevicePrefix = QStringLiteral("device:");
    static inline const QString kCuePrefix = QStringLiteral("cue:");

    static RouteID parse(const QString& id);

    bool operator==(const RouteID&) const = default;
};

}  // namespace quellor
