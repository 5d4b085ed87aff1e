#pragma once
// A MIDI service for tests: sources are added and removed by hand, control changes and raw
// packet words are sent from any thread, and every call the client makes can be inspected or made
// to fail. Delivery is synchronous on the thread that adds, removes or sends, so a test decides
// which thread the backend side runs on.
//
// Threads: the test controls and inspectors may be called from any thread.

#include "platform/MIDIService.h"

#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace quellor {

class FakeMIDIService : public MIDIService {
public:
    // ---- MIDIService
    Status createClient(const QString& name, NotifyFn notify, Ref* client) override;
    Status createInputPort(Ref client, const QString& name, ReceiveFn receive, Ref* port) override;
    void disposePort(Ref port) override;
    void disposeClient(Ref client) override;
    int sourceCount() override;
    Ref source(int index) override;
    Status uniqueID(Ref source, std::int32_t* id) override;
    Status entity(Ref source) override;
    Status connectSource(Ref port, Ref source, std::uint64_t connectionRef) override;
    Status disconnectSource(Ref port, Ref source) override;

    // ---- Test controls
    static constexpr Status kNotFound = -50;

    // Appends a source (a new reference each time) and, when `announce`, notifies ObjectAdded.
    // A source without `uniqueID` fails its unique-id read.
    Ref addSource(std::optional<std::int32_t> uniqueID, bool isHardware, bool announce = true);
    // Removes a source and, when `announce`, notifies ObjectRemoved.
    void removeSource(Ref source, bool announce = true);
    void notify(int messageID);
    // A MIDI 1.0 control change (channel 0...15, group 0...15) from a source connected to the port;
    // nothing when the source is not connected.
    void sendControlChange(Ref source, int number, int value, int channel = 0, int group = 0);
    void send(Ref source, const std::vector<std::uint32_t>& words);

    void failCreateClient(Status status) { std::lock_guard l(mutex_); clientFailure_ = status; }
    void failCreatePort(Status status) { std::lock_guard l(mutex_); portFailure_ = status; }
    // Connecting this source fails with `status` until cleared with 0.
    void failConnect(Ref source, Status status);

    // ---- Inspection
    struct Call {
        enum Kind { Connect, Disconnect } kind;
        Ref source;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls() const;  // connect and disconnect calls, in order
    void clearCalls();
    // Source -> connection reference, for the sources connected to the live port.
    std::map<Ref, std::uint64_t> connections() const;
    bool hasClient() const;
    bool hasPort() const;
    QString clientName() const;
    QString portName() const;

private:
    struct Source {
        Ref ref;
        std::optional<std::int32_t> uniqueID;
        bool isHardware;
    };
    const Source* find(Ref ref) const;

    mutable std::mutex mutex_;
    Ref nextRef_ = 1;
    Ref client_ = 0;
    Ref port_ = 0;
    QString clientName_, portName_;
    NotifyFn notify_;
    ReceiveFn receive_;
    Status clientFailure_ = 0;
    Status portFailure_ = 0;
    std::vector<Source> sources_;
    std::map<Ref, Status> connectFailures_;
    std::map<Ref, std::uint64_t> connections_;
    std::vector<Call> calls_;
};

}  // namespace quellor
