#pragma once
// The simulated audio hardware: the objects of an audio hardware layer in an object store
// (AudioObjectStore.h, which says what a client sees and how the world's changes notify
// listeners), with a log of mutating calls, fault injection and the sound side for tests.
//
// Test controls (the world changing by itself) are the store's: add/remove devices and processes,
// change defaults, rates and flags, or set any property directly (bypassing settable flags).
//
// Faults: a rule matches calls by kind, object, selector and scope (each optional) and either fails
// them with a status, lets a read report success without writing anything, or runs a hook just
// before the call is served (outside the lock: a hook may change the world, e.g. remove a device
// between a size query and the read that follows it). Rules apply once or to every match.
//
// Threads: every call, AudioHardware or test control, may come from any non-realtime thread (one
// mutex inside, and the store's). Listener callbacks and hooks run without the locks held.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "platform/AudioHardware.h"
#include "platform/AudioObjectStore.h"
#include "platform/SimulatedDevice.h"
#include "platform/SimulatedIO.h"
#include "platform/SimulatedProcess.h"
#include "platform/StreamConfiguration.h"

namespace quellor {

class SimulatedHardware : public AudioHardware {
public:
    using Value = AudioObjectStore::Value;

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

    // The objects and their properties.
    AudioObjectStore& objects() { return objects_; }
    const AudioObjectStore& objects() const { return objects_; }

    // --- The world changing (test controls; the store's, see there) ---
    AudioObjectID addDevice(const SimulatedDevice& device) { return objects_.addDevice(device); }
    bool removeDevice(AudioObjectID device) { return objects_.removeDevice(device); }
    AudioObjectID addProcess(const SimulatedProcess& process) { return objects_.addProcess(process); }
    bool removeProcess(AudioObjectID process) { return objects_.removeProcess(process); }
    bool setDefaultOutputDevice(AudioObjectID device) { return objects_.setDefaultOutputDevice(device); }
    bool setDefaultInputDevice(AudioObjectID device) { return objects_.setDefaultInputDevice(device); }
    // Aggregates clocked by the device follow the new rate.
    bool setNominalSampleRate(AudioObjectID device, double rate);
    bool setProcessRunning(AudioObjectID process, bool output, bool input) {
        return objects_.setProcessRunning(process, output, input);
    }
    bool setProperty(AudioObjectID object, const PropertyAddress& address, Value value,
                     std::optional<bool> settable = std::nullopt) {
        return objects_.setProperty(object, address, std::move(value), settable);
    }
    bool setSettable(AudioObjectID object, const PropertyAddress& address, bool settable) {
        return objects_.setSettable(object, address, settable);
    }
    bool removeProperty(AudioObjectID object, const PropertyAddress& address) {
        return objects_.removeProperty(object, address);
    }
    void notify(AudioObjectID object, const PropertyAddress& address) { objects_.notify(object, address); }

    // --- Looking at the world ---
    bool exists(AudioObjectID object) const { return objects_.exists(object); }
    std::optional<Value> property(AudioObjectID object, const PropertyAddress& address) const {
        return objects_.property(object, address);
    }
    std::vector<AudioObjectID> deviceIDs() const { return objects_.deviceIDs(); }
    std::vector<AudioObjectID> processIDs() const { return objects_.processIDs(); }
    AudioObjectID deviceWithUID(const QString& uid) const { return objects_.deviceWithUID(uid); }
    AudioObjectID defaultOutputDevice() const { return objects_.defaultOutputDevice(); }
    AudioObjectID defaultInputDevice() const { return objects_.defaultInputDevice(); }
    std::optional<SimulatedProcess> process(AudioObjectID process) const { return objects_.process(process); }
    std::size_t listenerCount(std::optional<AudioObjectID> object = std::nullopt,
                              std::optional<PropertyAddress> address = std::nullopt) const {
        return objects_.listenerCount(object, address);
    }

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

    struct State;  // defined in the .cpp: fault rules, the mutation log, call counts

private:
    // A listed aggregate device (one the world holds, e.g. left over by an earlier run).
    OSStatus destroyListedAggregate(AudioObjectID device);
    friend class SimulatedIO;
    AudioObjectID addPlainObject() { return objects_.addPlainObject(); }
    bool removePlainObject(AudioObjectID object) { return objects_.removePlainObject(object); }
    void followRate(AudioObjectID device, double rate);

    std::shared_ptr<State> state_;
    AudioObjectStore objects_;
    std::unique_ptr<SimulatedIO> io_;  // last: goes first
};

}  // namespace quellor
