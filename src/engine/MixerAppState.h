#pragma once
// What the companion app is told it can control, sent as the JSON text of "/app/list": the rows
// (four fixed bus rows, then one per audio application), the first strips of the console, the
// snapshot names offered for recall and the panic state.
//
// JSON: one object per record with the field names as members. Every member is always written
// and required when read: a row without "isEmpty", or with a member of the wrong type, does not
// read. Floats are written as their shortest text ("0.123").
//
// A plain value; any thread (not realtime code).

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "base/JsonCoding.h"
#include "engine/AppVolume.h"

namespace quellor {

struct MixerAppState {
    struct AppEntry {
        QString bundleID;  // a route id for the fixed rows, else the application's bundle identifier
        QString name;
        float volume = 1.0f;     // fader value 0...1
        bool isSystem = false;   // the four fixed rows
        bool isCued = false;
        bool canCue = false;
        float cueVolume = 1.0f;
        bool isEmpty = false;    // the row's target does not exist at the moment

        bool operator==(const AppEntry&) const = default;
    };

    std::vector<AppEntry> apps;
    QStringList consoleSlots;  // JSON "slots": the first strips of the console, "" for an empty strip
    QStringList snapshotNames;
    bool isPanicked = false;

    bool operator==(const MixerAppState&) const = default;

    // What the rows are made of, read from the engine at the moment of sending.
    struct Sources {
        struct App {
            QString bundleID;
            QString name;
        };
        float outputVolume = 0;               // the default output device's volume
        float inputVolume = 0;                // the default input device's volume
        bool hasOutputDevice = false;
        std::optional<float> phonesVolume;    // present exactly while the output has a PHONES bus
        std::vector<App> apps;                // the running audio applications, in display order
        const AppVolumeMap* volumes = nullptr;
        QStringList consoleSlots;             // the console's whole strip order
        bool isPanicked = false;
    };
    // Rows "system_output", "system_input", "bus:main", "bus:phones", then one per application
    // (an application without a record is at the defaults); the first 8 strips; no snapshot names.
    static MixerAppState make(const Sources& sources);
    static constexpr int kSentSlotCount = 8;
};

template <>
struct json::Coding<MixerAppState::AppEntry> {
    static QJsonValue encode(const MixerAppState::AppEntry& v);
    static std::optional<MixerAppState::AppEntry> decode(const QJsonValue& v);
};

template <>
struct json::Coding<MixerAppState> {
    static QJsonValue encode(const MixerAppState& v);
    static std::optional<MixerAppState> decode(const QJsonValue& v);
};

}  // namespace quellor
