#include "platform/SimulatedHardware.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>
#include <tuple>

namespace quellor {

using namespace hal;

namespace {

using Call = SimulatedHardware::Call;

struct Fault {
    enum class Effect { fail, noWrite, hook };
    SimulatedHardware::FaultId id;
    SimulatedHardware::CallMatch match;
    Effect effect;
    OSStatus status = kStatusOK;
    std::function<void()> hook;
    bool once = true;
};

}  // namespace

bool SimulatedHardware::CallMatch::matches(Call c, AudioObjectID o, const PropertyAddress& a) const {
    return (!call || *call == c) && (!object || *object == o) && (!selector || *selector == a.selector) &&
           (!scope || *scope == a.scope);
}

// What the simulation adds to the object store: fault rules, the mutation log and the call counts.
struct SimulatedHardware::State {
    mutable std::mutex mutex;
    std::vector<Fault> faults;
    FaultId nextFault = 1;
    std::deque<LoggedCall> mutations;  // the latest kMaxLoggedMutations
    // Calls made, counted per (call, object, selector, scope): bounded however long the program runs.
    std::map<std::tuple<Call, AudioObjectID, std::uint32_t, std::uint32_t>, std::size_t> callCounts;

    // --- everything below runs with `mutex` held ---

    void logMutation(LoggedCall call) {
        if (mutations.size() == kMaxLoggedMutations) mutations.pop_front();
        mutations.push_back(std::move(call));
    }

    void count(Call call, AudioObjectID id, const PropertyAddress& a) {
        ++callCounts[{call, id, a.selector, a.scope}];
    }

    // The first fault rule with one of `effects` that matches; a one-shot rule is used up.
    std::optional<Fault> takeFault(Call call, AudioObjectID id, const PropertyAddress& a,
                                   std::initializer_list<Fault::Effect> effects) {
        for (auto it = faults.begin(); it != faults.end(); ++it) {
            if (std::find(effects.begin(), effects.end(), it->effect) == effects.end()) continue;
            if (!it->match.matches(call, id, a)) continue;
            Fault f = *it;
            if (f.once) faults.erase(it);
            return f;
        }
        return std::nullopt;
    }
};

// Serves one client call: counts it, runs due hooks (outside the lock), applies a failure or a
// no-write rule, and otherwise lets `body` (the object store's or the IO half's work) answer.
template <class Body>
static OSStatus serve(SimulatedHardware::State& s, Call call, AudioObjectID id, const PropertyAddress& a,
                      Body&& body) {
    std::vector<std::function<void()>> hooks;
    std::optional<Fault> fault;
    {
        std::lock_guard lock(s.mutex);
        s.count(call, id, a);
        while (auto f = s.takeFault(call, id, a, {Fault::Effect::hook})) hooks.push_back(f->hook);
    }
    for (auto& hook : hooks) hook();
    {
        std::lock_guard lock(s.mutex);
        // Only reads can succeed without writing; other calls leave such a rule for the next read.
        bool isRead = call == Call::Data || call == Call::Object;
        fault = isRead ? s.takeFault(call, id, a, {Fault::Effect::fail, Fault::Effect::noWrite})
                       : s.takeFault(call, id, a, {Fault::Effect::fail});
    }
    if (fault) return fault->effect == Fault::Effect::fail ? fault->status : kStatusOK;
    return body();
}

SimulatedHardware::SimulatedHardware()
    : state_(std::make_shared<State>()), io_(std::make_unique<SimulatedIO>(*this)) {}

SimulatedHardware::~SimulatedHardware() = default;

// --- AudioHardware ---

OSStatus SimulatedHardware::propertyDataSize(AudioObjectID object, const PropertyAddress& address,
                                             std::uint32_t& size) {
    return serve(*state_, Call::DataSize, object, address,
                 [&] { return objects_.propertyDataSize(object, address, size); });
}

OSStatus SimulatedHardware::propertyData(AudioObjectID object, const PropertyAddress& address,
                                         std::uint32_t& ioSize, void* data) {
    return serve(*state_, Call::Data, object, address,
                 [&] { return objects_.propertyData(object, address, ioSize, data); });
}

OSStatus SimulatedHardware::propertyObject(AudioObjectID object, const PropertyAddress& address, QVariant& value) {
    return serve(*state_, Call::Object, object, address,
                 [&] { return objects_.propertyObject(object, address, value); });
}

OSStatus SimulatedHardware::setPropertyData(AudioObjectID object, const PropertyAddress& address,
                                            std::uint32_t size, const void* data) {
    OSStatus status = serve(*state_, Call::SetData, object, address,
                            [&] { return objects_.setPropertyData(object, address, size, data); });
    if (status == kStatusOK && address.selector == kNominalSampleRate && size == sizeof(double))
        followRate(object, *static_cast<const double*>(data));
    std::lock_guard lock(state_->mutex);
    QByteArray bytes = data ? QByteArray(static_cast<const char*>(data), int(size)) : QByteArray();
    state_->logMutation({Call::SetData, object, address, bytes, status});
    return status;
}

OSStatus SimulatedHardware::isPropertySettable(AudioObjectID object, const PropertyAddress& address,
                                               bool& settable) {
    return serve(*state_, Call::IsSettable, object, address,
                 [&] { return objects_.isPropertySettable(object, address, settable); });
}

OSStatus SimulatedHardware::addPropertyListener(AudioObjectID object, const PropertyAddress& address,
                                                PropertyListener listener, ListenerToken& token) {
    return serve(*state_, Call::AddListener, object, address,
                 [&] { return objects_.addPropertyListener(object, address, std::move(listener), token); });
}

OSStatus SimulatedHardware::removePropertyListener(AudioObjectID object, const PropertyAddress& address,
                                                   ListenerToken token) {
    return serve(*state_, Call::RemoveListener, object, address,
                 [&] { return objects_.removePropertyListener(object, address, token); });
}

OSStatus SimulatedHardware::destroyListedAggregate(AudioObjectID device) {
    PropertyAddress none{0, kScopeGlobal, kElementMain};
    OSStatus status = serve(*state_, Call::DestroyAggregate, device, none, [&] {
        if (!objects_.isDevice(device)) return kStatusBadObject;
        if (valueOf<std::uint32_t>(objects_, device, kTransportType) != kTransportAggregate) return kStatusUnsupported;
        return objects_.removeDevice(device) ? kStatusOK : kStatusBadObject;
    });
    std::lock_guard lock(state_->mutex);
    state_->logMutation({Call::DestroyAggregate, device, none, QByteArray(), status});
    return status;
}

// --- The world changing ---

// Aggregates clocked by a device follow its rate.
void SimulatedHardware::followRate(AudioObjectID device, double rate) {
    if (auto uid = valueOf<QString>(objects_, device, kDeviceUID)) io_->deviceRateChanged(*uid, rate);
}

bool SimulatedHardware::setNominalSampleRate(AudioObjectID device, double rate) {
    const bool done = objects_.setNominalSampleRate(device, rate);
    if (done) followRate(device, rate);
    return done;
}

// --- Faults ---

static SimulatedHardware::FaultId addFault(SimulatedHardware::State& s, Fault fault) {
    std::lock_guard lock(s.mutex);
    fault.id = s.nextFault++;
    s.faults.push_back(std::move(fault));
    return s.faults.back().id;
}

SimulatedHardware::FaultId SimulatedHardware::failNext(CallMatch match, OSStatus status) {
    return addFault(*state_, {0, match, Fault::Effect::fail, status, {}, true});
}

SimulatedHardware::FaultId SimulatedHardware::failEvery(CallMatch match, OSStatus status) {
    return addFault(*state_, {0, match, Fault::Effect::fail, status, {}, false});
}

SimulatedHardware::FaultId SimulatedHardware::succeedWithoutWriting(CallMatch match, bool every) {
    return addFault(*state_, {0, match, Fault::Effect::noWrite, kStatusOK, {}, !every});
}

SimulatedHardware::FaultId SimulatedHardware::beforeNext(CallMatch match, std::function<void()> hook) {
    return addFault(*state_, {0, match, Fault::Effect::hook, kStatusOK, std::move(hook), true});
}

void SimulatedHardware::clearFault(FaultId id) {
    std::lock_guard lock(state_->mutex);
    std::erase_if(state_->faults, [&](const Fault& f) { return f.id == id; });
}

void SimulatedHardware::clearFaults() {
    std::lock_guard lock(state_->mutex);
    state_->faults.clear();
}

// --- Calls made ---

std::vector<SimulatedHardware::LoggedCall> SimulatedHardware::mutations() const {
    std::lock_guard lock(state_->mutex);
    return {state_->mutations.begin(), state_->mutations.end()};
}

void SimulatedHardware::clearMutations() {
    std::lock_guard lock(state_->mutex);
    state_->mutations.clear();
}

std::size_t SimulatedHardware::callCount(const CallMatch& match) const {
    std::lock_guard lock(state_->mutex);
    std::size_t total = 0;
    for (auto& [key, n] : state_->callCounts) {
        auto [call, object, selector, scope] = key;
        if (match.matches(call, object, PropertyAddress{selector, scope, kElementMain})) total += n;
    }
    return total;
}

void SimulatedHardware::clearCallCounts() {
    std::lock_guard lock(state_->mutex);
    state_->callCounts.clear();
}

// --- Taps, aggregates, IO procedures ---

// Counts the call and applies fault rules; the work itself is the IO half's.
template <class Work>
static OSStatus serveIO(SimulatedHardware::State& s, Call call, AudioObjectID object, Work&& work) {
    return serve(s, call, object, PropertyAddress{}, std::forward<Work>(work));
}

OSStatus SimulatedHardware::createProcessTap(const TapDescription& description, AudioObjectID& tap) {
    return serveIO(*state_, Call::CreateTap, 0, [&] { return io_->createProcessTap(description, tap); });
}

OSStatus SimulatedHardware::destroyProcessTap(AudioObjectID tap) {
    return serveIO(*state_, Call::DestroyTap, tap, [&] { return io_->destroyProcessTap(tap); });
}

OSStatus SimulatedHardware::createAggregateDevice(const QVariantMap& description, AudioObjectID& device) {
    return serveIO(*state_, Call::CreateAggregate, 0, [&] { return io_->createAggregateDevice(description, device); });
}

OSStatus SimulatedHardware::destroyAggregateDevice(AudioObjectID device) {
    // Aggregates this process created are the IO half's; listed ones belong to the device list.
    if (objects_.isDevice(device)) return destroyListedAggregate(device);
    return serveIO(*state_, Call::DestroyAggregate, device, [&] { return io_->destroyAggregateDevice(device); });
}

OSStatus SimulatedHardware::createIOProc(AudioObjectID device, IOBlock block, IOProcID& proc) {
    return serveIO(*state_, Call::CreateIOProc, device,
                   [&] { return io_->createIOProc(device, std::move(block), proc); });
}

OSStatus SimulatedHardware::destroyIOProc(AudioObjectID device, IOProcID proc) {
    return serveIO(*state_, Call::DestroyIOProc, device, [&] { return io_->destroyIOProc(device, proc); });
}

OSStatus SimulatedHardware::startDevice(AudioObjectID device, IOProcID proc) {
    return serveIO(*state_, Call::StartDevice, device, [&] { return io_->startDevice(device, proc); });
}

OSStatus SimulatedHardware::stopDevice(AudioObjectID device, IOProcID proc) {
    return serveIO(*state_, Call::StopDevice, device, [&] { return io_->stopDevice(device, proc); });
}

}  // namespace quellor
