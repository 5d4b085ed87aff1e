#pragma once
// Connects the program to every MIDI source and reports each control change, with the source
// that sent it, on the main thread. Note values, pitch bend and every other message are ignored.
//
// At construction it creates the client "QuellorMIDIClient" and the input port
// "QuellorMIDIInputPort" and connects the sources that exist; after that it follows the service's
// setup, add and remove notifications. A failed client or port leaves it inert for the life of the
// process (logged; no retry).
//
// Threads: main thread only. The service's threads only decode and post to the main thread
// through Scheduler::current().post; control changes arrive in the order they were posted.

#include <QObject>
#include <functional>
#include <map>
#include <optional>

#include "base/Logger.h"
#include "base/Scheduler.h"
#include "platform/MIDIService.h"
#include "remote/MIDISource.h"

namespace quellor {

class MIDIManager : public QObject {
    Q_OBJECT
public:
    struct ControlChange {
        int number = 0;
        int value = 0;
        bool operator==(const ControlChange&) const = default;
    };
    using ControlChangeHandler = std::function<void(int number, int value, MIDISource source)>;

    explicit MIDIManager(MIDIService& service = MIDIService::installed(), QObject* parent = nullptr);
    ~MIDIManager() override;

    MIDIService::Ref client() const { return client_; }  // 0 while none exists
    MIDIService::Ref port() const { return port_; }      // 0 while none exists
    // Unique id -> endpoint reference of the sources connected to the port.
    const std::map<std::int32_t, MIDIService::Ref>& connectedSources() const { return connectedSources_; }
    const std::optional<ControlChange>& lastReceivedCC() const { return lastReceivedCC_; }

    // Set by the engine; called on the main thread for each control change.
    ControlChangeHandler onControlChangeReceived;

    // Brings the port's connections in line with the sources that exist now.
    void connectSources();

signals:
    void connectedSourcesChanged();
    void lastReceivedCCChanged();

private:
    void receive(int number, int value, MIDISource source);

    MIDIService& service_;
    MIDIService::Ref client_ = 0;
    MIDIService::Ref port_ = 0;
    std::map<std::int32_t, MIDIService::Ref> connectedSources_;
    std::optional<ControlChange> lastReceivedCC_;
    Logger log_{"MIDIManager"};
    Liveness alive_;
};

}  // namespace quellor
