#pragma once
// The MIDI service of the machine, in the shape the MIDI input needs: one client with a change
// notification, one input port, a list of sources (each with a unique id and a hardware flag),
// connecting and disconnecting sources to the port, and incoming messages as Universal MIDI
// Packet words (MIDI 1.0 channel voice messages are type 2, one 32-bit word each).
//
// Backends: AlsaMIDIService (the ALSA sequencer) and FakeMIDIService (tests).
//
// Threads: every call from the main thread. The notification and receive functions are called on
// a thread of the backend (or, in the fake, synchronously on the caller's thread); they must only
// decode and hand work to the main thread. Once disposePort / disposeClient has returned, the
// backend calls that port's receive function / that client's notification function no more.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace quellor {

class MIDIService {
public:
    using Status = int;     // 0 is success; anything else is the backend's error code
    using Ref = std::uint32_t;  // a client, port or source; 0 is never a valid reference

    // Notification message ids.
    enum Notification : int {
        SetupChanged = 1,
        ObjectAdded = 2,
        ObjectRemoved = 3,
        PropertyChanged = 4,
    };

    using NotifyFn = std::function<void(int messageID)>;
    // `connectionRef` is the value handed to connectSource for the source that sent the words.
    using ReceiveFn = std::function<void(const std::uint32_t* words, std::size_t count,
                                         std::uint64_t connectionRef)>;

    virtual ~MIDIService() = default;

    virtual Status createClient(const QString& name, NotifyFn notify, Ref* client) = 0;
    virtual Status createInputPort(Ref client, const QString& name, ReceiveFn receive, Ref* port) = 0;
    virtual void disposePort(Ref port) = 0;
    virtual void disposeClient(Ref client) = 0;

    // The sources that exist now, in the system's order. sourceCount() takes a fresh look.
    virtual int sourceCount() = 0;
    virtual Ref source(int index) = 0;  // 0 when out of range
    virtual Status uniqueID(Ref source, std::int32_t* id) = 0;
    // Success when the source belongs to a hardware device (a device entity can be fetched).
    virtual Status entity(Ref source) = 0;

    virtual Status connectSource(Ref port, Ref source, std::uint64_t connectionRef) = 0;
    virtual Status disconnectSource(Ref port, Ref source) = 0;

    // The service of the process: installed at start-up; the ALSA sequencer when none is installed.
    static MIDIService& installed();
    static void install(MIDIService* service);
};

}  // namespace quellor
