#pragma once
// The audio hardware layer as the rest of the program sees it: objects with UInt32 ids, each with
// properties addressed by (selector, scope, element). Every call returns a status (hal::kStatusOK
// or a failure code from AudioConstants.h). The one implementation here is SimulatedHardware.
//
// Objects: the system object is 1; object 0 never exists; ids are never reused, so a stale id
// answers hal::kStatusBadObject for ever.
//
// Values: fixed-size values (UInt32, Float32, Float64, ValueRange, StreamFormat), UInt32 arrays and
// byte blobs (StreamConfiguration) are read with propertyData() into the caller's buffer. Strings
// and string lists ('uid ', 'lnam', 'grup') are object-valued: they are read with propertyObject()
// as a QString or QStringList; their data size is that of a reference (8 bytes).
//
// Listeners: a registration is named by the token it returns. Notifications are delivered on the
// main thread through Scheduler::current().post, one posted call per registration, in the order
// the registrations were made. A registration that is removed before its posted call runs is not
// called. The callback receives the number of changed addresses and a pointer to the first.
//
// Process taps, private aggregate devices and IO procedures live in the same object space (created
// objects get fresh ids). An IO procedure is a block the device calls once per IO cycle, on the
// device's own IO thread, with the cycle's input and output buffers:
// - input: the input streams of the sub-devices in order, then one buffer per tap (the tapped
//   mixdown, 2 channels or 1), last;
// - output: one buffer per output stream of the sub-devices, in sub-device order; the block writes
//   them (they arrive zeroed) and the device plays what it wrote.
// Aggregate descriptions are dictionaries with string keys:
//   "name", "uid" (strings, uid unique), "master", "clock" (a sub-device uid), "private",
//   "tapautostart" (bools), "subdevices" (list of {"uid": device uid, "drift": bool}),
//   "taps" (list of {"uid": tap uuid, "drift": bool}), "stacked" (bool, optional).
//
// Threads: every call may be made from any non-realtime thread, never from inside an IO block.
// install() at start-up only. stopDevice returns only when no call of that block is in flight.

#include <QVariant>
#include <QVariantMap>
#include <cstdint>
#include <functional>

#include "platform/AudioConstants.h"
#include "platform/AudioTimeStamp.h"
#include "platform/AudioTypes.h"
#include "platform/IOBufferList.h"
#include "platform/TapDescription.h"

namespace quellor {

using ListenerToken = std::uint64_t;  // 0 is never a valid token
using PropertyListener = std::function<void(std::uint32_t count, const PropertyAddress* addresses)>;
using IOProcID = std::uint64_t;  // 0 is never a valid procedure
using IOBlock = std::function<void(const AudioTimeStamp& now, const IOBufferList& input,
                                   const AudioTimeStamp& inputTime, const IOBufferList& output,
                                   const AudioTimeStamp& outputTime)>;

class AudioHardware {
public:
    virtual ~AudioHardware() = default;

    // The byte size of the property's current value (of a variable-size one: its current length).
    virtual OSStatus propertyDataSize(AudioObjectID object, const PropertyAddress& address,
                                      std::uint32_t& size) = 0;
    // Copies the value into `data`, of `ioSize` bytes; on success `ioSize` becomes the number of
    // bytes written. Fixed-size values need a buffer at least their size (hal::kStatusBadPropertySize
    // otherwise); arrays deliver as many whole elements as fit; blobs must fit whole.
    virtual OSStatus propertyData(AudioObjectID object, const PropertyAddress& address,
                                  std::uint32_t& ioSize, void* data) = 0;
    // Reads an object-valued property into `value` (a QString or a QStringList). `value` is only
    // assigned on success.
    virtual OSStatus propertyObject(AudioObjectID object, const PropertyAddress& address,
                                    QVariant& value) = 0;
    // Writes a fixed-size value of exactly `size` bytes.
    virtual OSStatus setPropertyData(AudioObjectID object, const PropertyAddress& address,
                                     std::uint32_t size, const void* data) = 0;
    virtual OSStatus isPropertySettable(AudioObjectID object, const PropertyAddress& address,
                                        bool& settable) = 0;

    virtual OSStatus addPropertyListener(AudioObjectID object, const PropertyAddress& address,
                                         PropertyListener listener, ListenerToken& token) = 0;
    // Ends the registration `token` made for (object, address). Unknown tokens: hal::kStatusUnspecified.
    virtual OSStatus removePropertyListener(AudioObjectID object, const PropertyAddress& address,
                                            ListenerToken token) = 0;

    // --- Process taps, aggregate devices, IO procedures ---
    virtual OSStatus createProcessTap(const TapDescription& description, AudioObjectID& tap) = 0;
    virtual OSStatus destroyProcessTap(AudioObjectID tap) = 0;
    virtual OSStatus createAggregateDevice(const QVariantMap& description, AudioObjectID& device) = 0;
    virtual OSStatus destroyAggregateDevice(AudioObjectID device) = 0;
    virtual OSStatus createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc) = 0;
    virtual OSStatus destroyIOProc(AudioObjectID device, IOProcID proc) = 0;
    virtual OSStatus startDevice(AudioObjectID device, IOProcID proc) = 0;
    virtual OSStatus stopDevice(AudioObjectID device, IOProcID proc) = 0;

    // The installed hardware (not owned). Installing replaces the previous one.
    static AudioHardware& installed();
    static bool isInstalled();
    static void install(AudioHardware* hardware);
};

}  // namespace quellor
