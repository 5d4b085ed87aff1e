#pragma once
// The objects of an audio hardware layer and their properties: a system object, devices, process
// objects and plain objects (taps, private aggregates), held as property tables, with the property
// calls of AudioHardware and their listeners. The simulated hardware keeps its world here (and adds
// fault injection, a call log and the sound side, SimulatedHardware.h); the PipeWire hardware keeps
// what the server reports here (PipeWireHardware.h).
//
// What a client sees (properties by their hal:: constants, AudioConstants.h):
// - System object (kSystemObject): kDevices (device ids in the order they were added),
//   kDefaultOutputDevice and kDefaultInputDevice (settable; a write must name an existing device),
//   kProcessObjectList (process object ids).
// - Devices: kDeviceUID, kName (object-valued strings), kTransportType, kNominalSampleRate
//   (settable, > 0; the stream formats follow), kBufferFrameSize (settable within
//   kBufferFrameSizeRange), kBufferFrameSizeRange, kDeviceIsAlive, kDeviceIsRunningSomewhere,
//   kFullSubDeviceList (aggregates only); per scope (kScopeOutput/kScopeInput):
//   kStreamConfiguration (also for a scope without streams), kStreamFormat (Float32 PCM, scopes with
//   streams), kSafetyOffset, kLatency, and where the device has them kDataSource,
//   kVirtualMainVolume, kVolumeScalar (Float32, clamped to 0...1 on write), kMute (written as 0/1).
//   A device-wide property answers in every scope.
// - Process objects: kProcessPID, kProcessIsRunningOutput, kProcessIsRunningInput.
// A missing object answers hal::kStatusBadObject, a missing property hal::kStatusUnknownProperty,
// a write to a property that is not settable hal::kStatusIllegalOperation.
//
// The owner changes the world: adds and removes devices and processes, changes defaults, rates and
// flags, or sets any property directly (bypassing settable flags). Every change that alters a value
// notifies the listeners of that property (posted to the scheduler of the thread that made the
// change, in registration order); notify() sends a notification without a change. Removing the
// default device of a direction makes the first remaining device with channels in that direction
// the default (0 when none). Adding a device with channels in a direction whose default is 0 makes
// it that default.
//
// Threads: every call may come from any non-realtime thread (one mutex inside). Listener callbacks
// run without the lock held.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "platform/AudioHardware.h"
#include "platform/SimulatedDevice.h"
#include "platform/SimulatedProcess.h"
#include "platform/StreamConfiguration.h"

namespace quellor {

class AudioObjectStore {
public:
    // A property's value. Object-valued: QString and QStringList; everything else is data. A
    // QByteArray is raw bytes of any length (for values no other type describes, and odd sizes).
    using Value = std::variant<std::uint32_t, std::int32_t, float, double, ValueRange, StreamFormat,
                               std::vector<std::uint32_t>, StreamConfiguration, QByteArray, QString,
                               QStringList>;

    AudioObjectStore();
    ~AudioObjectStore();
    AudioObjectStore(const AudioObjectStore&) = delete;
    AudioObjectStore& operator=(const AudioObjectStore&) = delete;

    // The property calls of AudioHardware.
    OSStatus propertyDataSize(AudioObjectID object, const PropertyAddress& address, std::uint32_t& size) const;
    OSStatus propertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t& ioSize,
                          void* data) const;
    OSStatus propertyObject(AudioObjectID object, const PropertyAddress& address, QVariant& value) const;
    OSStatus setPropertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t size,
                             const void* data);
    OSStatus isPropertySettable(AudioObjectID object, const PropertyAddress& address, bool& settable) const;
    OSStatus addPropertyListener(AudioObjectID object, const PropertyAddress& address, PropertyListener listener,
                                 ListenerToken& token);
    OSStatus removePropertyListener(AudioObjectID object, const PropertyAddress& address, ListenerToken token);

    // --- The world changing ---
    AudioObjectID addDevice(const SimulatedDevice& device);
    bool removeDevice(AudioObjectID device);
    AudioObjectID addProcess(const SimulatedProcess& process);
    bool removeProcess(AudioObjectID process);
    // An object outside the device and process lists (taps, private aggregates); its properties
    // are set with setProperty.
    AudioObjectID addPlainObject();
    bool removePlainObject(AudioObjectID object);
    // 0 clears the default. False when the id is neither 0 nor a device.
    bool setDefaultOutputDevice(AudioObjectID device);
    bool setDefaultInputDevice(AudioObjectID device);
    bool setNominalSampleRate(AudioObjectID device, double rate);
    bool setProcessRunning(AudioObjectID process, bool output, bool input);
    // Creates or replaces a property of an existing object; `settable` keeps the old flag when absent
    // (false for a new property). False when the object does not exist.
    bool setProperty(AudioObjectID object, const PropertyAddress& address, Value value,
                     std::optional<bool> settable = std::nullopt);
    bool setSettable(AudioObjectID object, const PropertyAddress& address, bool settable);
    bool removeProperty(AudioObjectID object, const PropertyAddress& address);
    // Notifies the listeners of (object, address) as if the property had changed.
    void notify(AudioObjectID object, const PropertyAddress& address);

    // --- Looking at the world ---
    bool exists(AudioObjectID object) const;
    bool isDevice(AudioObjectID object) const;
    std::optional<Value> property(AudioObjectID object, const PropertyAddress& address) const;
    std::vector<AudioObjectID> deviceIDs() const;
    std::vector<AudioObjectID> processIDs() const;
    AudioObjectID deviceWithUID(const QString& uid) const;  // 0 when none
    AudioObjectID defaultOutputDevice() const;
    AudioObjectID defaultInputDevice() const;
    // The description a process object was added with, its running flags as they are now.
    std::optional<SimulatedProcess> process(AudioObjectID process) const;
    // Registrations alive, on one property or (address absent) on the whole object, or in all.
    std::size_t listenerCount(std::optional<AudioObjectID> object = std::nullopt,
                              std::optional<PropertyAddress> address = std::nullopt) const;

    struct State;  // defined in the .cpp; shared with posted notifications, which hold it weakly

private:
    std::shared_ptr<State> state_;
};

// A property's value as a T: nothing when the object lacks it or it holds another type. For the
// store and for anything that shows one (property(object, address)).
template <class T, class Objects>
std::optional<T> valueOf(const Objects& objects, AudioObjectID object, std::uint32_t selector,
                         std::uint32_t scope = hal::kScopeGlobal) {
    auto v = objects.property(object, {selector, scope, hal::kElementMain});
    if (!v) return std::nullopt;
    if (auto* x = std::get_if<T>(&*v)) return *x;
    return std::nullopt;
}

}  // namespace quellor
