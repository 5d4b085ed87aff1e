#pragma once
// Process taps, private aggregate devices and IO procedures on a PipeWire server.
//
// A tap is a private sink of ours (a null sink named "quellor.tap.<our pid>.<n>", of media class
// "Audio/Sink/Internal" so that the session manager links streams to it on request but never makes
// it the default and the desktop does not list it as a device): every stream of the tapped
// processes is moved there through the "default" metadata's "target.object" once the server has
// made every link of an aggregate that reads the sink (a playing stream sent to a sink outside a
// running graph stalls), and from then on as soon as its node appears; the tap's mixdown is that
// sink's monitor. A stream of a new process running the executable of a
// tapped process is another copy of that application: it joins the tap the moment its node appears.
// Destroying the tap puts back the targets the streams had before (PipeWireRouting.h), unless
// another tap holds their process and takes them over; it returns at once, and a stream put back
// moves to a tap again only once a core sync tells that the server has the writes. The sink and
// every link we make belong to our client, so the server removes them when we disconnect or die,
// and the session manager then sends the streams back to the default device. A link the server refuses kills the aggregate and
// lets the tap's streams go.
//
// The taps work on the program's one PipeWire connection (PipeWireConnection.h) as its guest: the
// hardware attaches them to each connection it makes and detaches them before it closes one. They
// learn the process of a stream from the connection and see the same registry it reports from.
//
// An aggregate is one filter node (node.name "quellor.aggregate.<n>"): input ports linked from the
// tap sink's monitor, output ports linked to the playback ports of each sub-device. Its process
// callback runs on PipeWire's data thread and calls the started IO procedures with the tap's
// frames (last input buffer, interleaved) and one zeroed interleaved buffer per sub-device, then
// hands what they wrote to the output ports. Everything the callback uses is allocated up front.
// A sub-device that goes away, or a filter that fails, marks the aggregate not alive
// (kDeviceIsAlive 0). Writing the aggregate's kBufferFrameSize asks the graph for that quantum
// (node.latency). The filter runs on the context's realtime data thread (PipeWireLoop.h); its cycle's
// timing is PipeWireCycle's. Stopping an IO procedure waits for the data thread to take the stop in
// between two cycles, without the loop's lock.
//
// Tap and aggregate objects live in the hardware's object store (plain objects with the properties
// an aggregate device shows, by their hal:: constants: kDeviceUID, kName, kTransportType,
// kNominalSampleRate, kBufferFrameSize, kBufferFrameSizeRange, kDeviceIsAlive,
// kFullSubDeviceList, kStreamConfiguration, kStreamFormat).
//
// Threads: owns() and setPropertyData() from any non-realtime thread (every write to any object asks
// owns()); detach() and the other AudioHardware calls from the main thread, and none of them waits
// for the server but detach() as the program quits; the guest's events on the connection's loop
// thread; the process callback on the data thread, lock-free.

#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/AudioHardware.h"
#include "platform/PipeWireConnection.h"

namespace quellor {

class AudioObjectStore;

class PipeWireTaps {
public:
    // Objects go into `model`, which must outlive this.
    explicit PipeWireTaps(AudioObjectStore& model);
    ~PipeWireTaps();
    PipeWireTaps(const PipeWireTaps&) = delete;
    PipeWireTaps& operator=(const PipeWireTaps&) = delete;

    // What a connection attaches (PipeWireConnection::connect()).
    PipeWireConnection::Guest& guest();
    // Lets go of the connection, which the caller closes next: our objects on the server go with
    // it. While the connection is still up (as the program quits) the stream targets we changed are
    // put back first, and this waits for the server to have them, two seconds at the most; after a
    // lost connection nothing is sent and nothing waits. Taps made from then on fail until the next
    // connection attaches.
    void detach();

    // Whether the object is one of ours (its writes come here).
    bool owns(AudioObjectID object) const;
    OSStatus setPropertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t size,
                             const void* data);

    OSStatus createProcessTap(const TapDescription& description, AudioObjectID& tap);
    OSStatus destroyProcessTap(AudioObjectID tap);
    OSStatus createAggregateDevice(const QVariantMap& description, AudioObjectID& device);
    OSStatus destroyAggregateDevice(AudioObjectID device);
    OSStatus createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc);
    OSStatus destroyIOProc(AudioObjectID device, IOProcID proc);
    OSStatus startDevice(AudioObjectID device, IOProcID proc);
    OSStatus stopDevice(AudioObjectID device, IOProcID proc);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace quellor
