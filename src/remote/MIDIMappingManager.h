#pragma once
// The assignments of MIDI control-change numbers to route ids, learn mode, and their storage
// under the user default "midiMappings".
//
// Each number has at most one mapping, and learning leaves each route id on one number only. A mapping is bound to
// the source it was learnt from, so the same number on another controller does nothing. A mapping
// without a source (migrated from the older format) binds itself to the first hardware source
// that uses it. Controls reached without a source (numbered OSC values) use any mapping.
//
// Storage: JSON data, an object from the number in decimal to a mapping object. The older format,
// a dictionary from number strings to route-id strings, is read once and rewritten as JSON.
//
// Threads: main thread only.

#include <QObject>
#include <QString>
#include <map>
#include <optional>

#include "base/Logger.h"
#include "base/UserDefaults.h"
#include "remote/MIDIMapping.h"
#include "remote/MIDISource.h"

namespace quellor {

class MIDIMappingManager : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kDefaultsKey = "midiMappings";
    using Mappings = std::map<QString, MIDIMapping>;  // key: the number in decimal, as "7"

    explicit MIDIMappingManager(UserDefaults& defaults = UserDefaults::standard(), QObject* parent = nullptr);

    const Mappings& mappings() const { return mappings_; }
    std::size_t count() const { return mappings_.size(); }

    // The route id waiting for the next control; learn mode is on while it is set.
    const std::optional<QString>& learningTarget() const { return learningTarget_; }
    void setLearningTarget(std::optional<QString> target);

    // The number of the first mapping (in key order) whose target is `target`.
    std::optional<int> ccNumber(const QString& target) const;
    // Removes every mapping of `target`, then saves.
    void clearMapping(const QString& target);
    // The learn result: `target` moves to `cc`, bound to `source` (unbound without one).
    void assign(int cc, std::optional<MIDISource> source, const QString& target);
    // The route id that control `cc` from `source` moves, or nothing. Binds an unbound mapping
    // to a hardware source on first use.
    std::optional<QString> target(int cc, std::optional<MIDISource> source);

    // What a moved control does, for MIDI control changes and numbered OSC values alike: while a
    // target is learning, the control is assigned to it, learning ends and nothing is moved;
    // otherwise the mapped route id, if any, is the one to move.
    std::optional<QString> routeForControl(int cc, std::optional<MIDISource> source);
    // A MIDI control value as a fader value: clamped to 0...127, divided by 127.
    static float faderValue(int midiValue);

    // Reads the stored mappings (done at construction).
    void load();

signals:
    void mappingsChanged();
    void learningTargetChanged();

private:
    void setMappings(Mappings mappings);
    void save();

    UserDefaults& defaults_;
    Mappings mappings_;
    std::optional<QString> learningTarget_;
    Logger log_{"MIDIMappingManager"};
};

}  // namespace quellor
