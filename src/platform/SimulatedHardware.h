#pragma once
// The simulated audio hardware: a system object, devices and process objects held as property
// tables, with listeners, a log of mutating calls and fault injection for tests.
//
// What a client sees:
// - System object (1): 'dev#' (device ids in the order they were added), 'dOut' and 'dIn '
//   (settable; a write must name an existing device), 'prs#' (process object ids).
// - Devices: 'uid ', 'lnam' (object-valued strings), 'tran', 'nsrt' (settable, > 0; the stream
//   formats follow), 'fsiz' (settable within 'fsz#'), 'fsz#', 'livn', 'gone', 'grup' (aggregates
//   only); per scope ('outp'/'inpt'): 'slay' (StreamConfiguration bytes, also for a scope without
//   streams), 'sfmt' (Float32 PCM, scopes with streams), 'saft', 'ltnc', and where the device has
//   them 'ssrc', 'vmvc', 'volm' (Float32, clamped to 0...1 on write), 'mute' (written as 0/1).
//   A device-wide property answers in every scope.
// - Process objects: 'ppid', 'piro', 'piri'.
// A missing object answers hal::kStatusBadObject, a missing property hal::kStatusUnknownProperty,
// a write to a property that is not settable hal::kStatusIllegalOperation.
//
// Test controls (the world changing by itself): add/remove devices and processes, change defaults,
// rates and flags, or set any property directly (bypassing settable flags). Every change that
// alters a value notifies the listeners of that property, as the real layer does; notify() sends a
// notification without a change. Removing the default device of a direction makes the first
// remaining device with channels in that direction the default (0 when none). Adding a device with
// channels in a direction whose default is 0 makes it that default.
//
// Faults: a rule matches calls by kind, object, selector and scope (each optional) and either fails
// them with a status, lets a read report success without writing anything, or runs a hook just
// before the call is served (outside the lock: a hook may change the world, e.g. remove a device
// between a size query and the read that follows it). Rules apply once or to every match.
//
// Threads: every call, AudioHardware or test control, may come from any non-realtime thread (one
// mutex inside). Listener callbacks and hooks run without the lock held.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "platform/AudioHardware.h"
#include "platform/SimulatedDevice.h"
#include "platform/SimulatedIO.h"
#include "platform/SimulatedProcess.h"
#include "platform/StreamConfiguration.h"

namespace quellor {

class SimulatedHardware : public AudioHardware {
public:
    // A property's value. Object-valued: QString and QStringList; everything else is data. A
    // QByteArray is raw bytes of any length (for values no other type describes, and odd sizes).
    using Value = std::variant<std::uint32_t, std::int32_t, float, double, ValueRange, StreamFormat,
                               std::vector<std::uint32_t>, StreamConfiguration, QByteArray, QString,
                               QStringList>;

    // The kinds of call, for fault rules, call counts and the mutation log.
    enum class Call {
        DataSize, Data, Object, SetData, IsSettable, AddListener, RemoveListener,
        CreateTap, DestroyTap, CreateAggregate, DestroyAggregate, CreateIOProc, DestroyIOProc,
        StartDevice, StopDevice
    };

    // Which calls a rule or a count applies to; an absent member matches anything.
    struct CallMatch {
        std::optional<Call> call = std::nullopt;
        std::optional<AudioObjectID> object = std::nullopt;
        std::optional<std::uint32_t> selector = std::nullopt;
        std::optional<std::uint32_t> scope = std::nullopt;
        bool matches(Call c, AudioObjectID o, const PropertyAddress& a) const;
    };

    using FaultId = std::uint64_t;

    // One mutating call as the client made it, with the status it got.
    struct LoggedCall {
        Call call;
        AudioObjectID object;
        PropertyAddress address;
        QByteArray data;
        OSStatus status;
    };

    SimulatedHardware();
    ~SimulatedHardware() override;
    SimulatedHardware(const SimulatedHardware&) = delete;
    SimulatedHardware& operator=(const SimulatedHardware&) = delete;

    // AudioHardware
    OSStatus propertyDataSize(AudioObjectID object, const PropertyAddress& address,
                              std::uint32_t& size) override;
    OSStatus propertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t& ioSize,
                          void* data) override;
    OSStatus propertyObject(AudioObjectID object, const PropertyAddress& address, QVariant& value) override;
    OSStatus setPropertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t size,
                             const void* data) override;
    OSStatus isPropertySettable(AudioObjectID object, const PropertyAddress& address, bool& settable) override;
    OSStatus addPropertyListener(AudioObjectID object, const PropertyAddress& address,
                                 PropertyListener listener, ListenerToken& token) override;
    OSStatus removePropertyListener(AudioObjectID object, const PropertyAddress& address,
                                    ListenerToken token) override;
    // Taps, aggregates and IO procedures: fault rules match them by call kind and object (the tap,
    // aggregate or device; 0 for the two creations); the work is the IO half's.
    OSStatus createProcessTap(const TapDescription& description, AudioObjectID& tap) override;
    OSStatus destroyProcessTap(AudioObjectID tap) override;
    OSStatus createAggregateDevice(const QVariantMap& description, AudioObjectID& device) override;
    OSStatus destroyAggregateDevice(AudioObjectID device) override;
    OSStatus createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc) override;
    OSStatus destroyIOProc(AudioObjectID device, IOProcID proc) override;
    OSStatus startDevice(AudioObjectID device, IOProcID proc) override;
    OSStatus stopDevice(AudioObjectID device, IOProcID proc) override;

    // The sound side: tones, taps, aggregates, IO cycles, captures, drivers (SimulatedIO.h).
    SimulatedIO& io() { return *io_; }

    // --- The world changing (test controls) ---
    AudioObjectID addDevice(const SimulatedDevice& device);
    bool removeDevice(AudioObjectID device);
    AudioObjectID addProcess(const SimulatedProcess& process);
    bool removeProcess(AudioObjectID process);
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

    // --- Faults ---
    FaultId failNext(CallMatch match, OSStatus status);
    FaultId failEvery(CallMatch match, OSStatus status);
    // Data and object reads that match report success and leave the caller's buffer untouched.
    FaultId succeedWithoutWriting(CallMatch match, bool every = false);
    // Runs `hook` right before the next matching call is served.
    FaultId beforeNext(CallMatch match, std::function<void()> hook);
    void clearFault(FaultId id);
    void clearFaults();

    // --- Calls made ---
    // The mutating calls (setPropertyData, destroyAggregateDevice), successful or not, in order: the
    // latest kMaxLoggedMutations, so that a program running for days keeps no more than that.
    static constexpr std::size_t kMaxLoggedMutations = 4096;
    std::vector<LoggedCall> mutations() const;
    void clearMutations();
    // Number of calls made by clients that match, including failed ones.
    std::size_t callCount(const CallMatch& match) const;
    void clearCallCounts();

    struct State;  // defined in the .cpp; shared with posted notifications, which hold it weakly

private:
    // A listed aggregate device (one the world holds, e.g. left over by an earlier run).
    OSStatus destroyListedAggregate(AudioObjectID device);
    friend class SimulatedIO;
    friend class PipeWireTaps;
    // An object outside the device and process lists (taps, private aggregates); its properties
    // are set with setProperty.
    AudioObjectID addPlainObject();
    bool removePlainObject(AudioObjectID object);
    void followRate(AudioObjectID device, double rate);

    std::shared_ptr<State> state_;
    std::unique_ptr<SimulatedIO> io_;  // after state_: goes first
};

// A property's value as a T: nothing when the object lacks it or it holds another type.
template <class T>
std::optional<T> valueOf(const SimulatedHardware& hw, AudioObjectID object, std::uint32_t selector,
                         std::uint32_t scope = hal::kScopeGlobal) {
    auto v = hw.property(object, {selector, scope, hal::kElementMain});
    if (!v) return std::nullopt;
    if (auto* x = std::get_if<T>(&*v)) return *x;
    return std::nullopt;
}

}  // namespace quellor
