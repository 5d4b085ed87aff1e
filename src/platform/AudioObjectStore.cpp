#include "platform/AudioObjectStore.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>

#include "base/Scheduler.h"

namespace quellor {

using namespace hal;

namespace {

using Value = AudioObjectStore::Value;
using Key = std::pair<std::uint32_t, std::uint32_t>;  // (selector, scope)

struct Property {
    Value value;
    bool settable = false;
};

enum class Kind { system, device, process, plain };

struct Object {
    Kind kind;
    std::map<Key, Property> properties;
    SimulatedProcess process;  // process objects only; the running flags live in the properties
};

struct Registration {
    AudioObjectID object;
    PropertyAddress address;
    PropertyListener listener;
};

// A changed property, as (object, selector, scope where it is stored).
struct Change {
    AudioObjectID object;
    PropertyAddress address;
};

std::uint32_t dataSize(const Value& v) {
    struct Visitor {
        std::uint32_t operator()(std::uint32_t) const { return 4; }
        std::uint32_t operator()(std::int32_t) const { return 4; }
        std::uint32_t operator()(float) const { return 4; }
        std::uint32_t operator()(double) const { return 8; }
        std::uint32_t operator()(const ValueRange&) const { return sizeof(ValueRange); }
        std::uint32_t operator()(const StreamFormat&) const { return sizeof(StreamFormat); }
        std::uint32_t operator()(const std::vector<std::uint32_t>& a) const { return std::uint32_t(4 * a.size()); }
        std::uint32_t operator()(const StreamConfiguration& c) const { return std::uint32_t(c.toBytes().size()); }
        std::uint32_t operator()(const QByteArray& b) const { return std::uint32_t(b.size()); }
        // Object-valued properties travel as a reference.
        std::uint32_t operator()(const QString&) const { return 8; }
        std::uint32_t operator()(const QStringList&) const { return 8; }
    };
    return std::visit(Visitor{}, v);
}

bool isObjectValued(const Value& v) {
    return std::holds_alternative<QString>(v) || std::holds_alternative<QStringList>(v);
}

OSStatus copyOut(const Value& v, std::uint32_t& ioSize, void* data) {
    if (isObjectValued(v)) return kStatusUnsupported;
    if (auto* list = std::get_if<std::vector<std::uint32_t>>(&v)) {
        std::size_t n = std::min<std::size_t>(ioSize / 4, list->size());
        if (n) std::memcpy(data, list->data(), 4 * n);
        ioSize = std::uint32_t(4 * n);
        return kStatusOK;
    }
    QByteArray bytes;
    std::visit(
        [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, StreamConfiguration>) {
                bytes = x.toBytes();
            } else if constexpr (std::is_same_v<T, QByteArray>) {
                bytes = x;
            } else if constexpr (std::is_trivially_copyable_v<T>) {
                bytes = QByteArray(reinterpret_cast<const char*>(&x), sizeof(T));
            }
        },
        v);
    if (ioSize < std::uint32_t(bytes.size())) return kStatusBadPropertySize;
    if (!bytes.isEmpty()) std::memcpy(data, bytes.constData(), bytes.size());
    ioSize = std::uint32_t(bytes.size());
    return kStatusOK;
}

std::uint32_t channelsIn(const Object& o, std::uint32_t scope) {
    auto it = o.properties.find({kStreamConfiguration, scope});
    if (it == o.properties.end()) return 0;
    auto* config = std::get_if<StreamConfiguration>(&it->second.value);
    return config ? config->totalChannels() : 0;
}

}  // namespace

struct AudioObjectStore::State {
    mutable std::mutex mutex;
    std::map<AudioObjectID, Object> objects;
    AudioObjectID nextObject = 2;
    std::map<ListenerToken, Registration> listeners;  // token order = registration order
    ListenerToken nextToken = 1;

    // --- everything below runs with `mutex` held ---

    Object* object(AudioObjectID id) {
        auto it = objects.find(id);
        return it == objects.end() ? nullptr : &it->second;
    }
    Object& system() { return objects.at(kSystemObject); }
    bool isA(AudioObjectID id, Kind kind) {
        Object* o = object(id);
        return o && o->kind == kind;
    }

    // A new object with a fresh id, appended to the system object's list `listSelector`.
    AudioObjectID addObject(Object o, std::uint32_t listSelector, std::vector<Change>& changes) {
        AudioObjectID id = nextObject++;
        objects.emplace(id, std::move(o));
        auto ids = list(listSelector);
        ids.push_back(id);
        assign(kSystemObject, {listSelector, kScopeGlobal}, ids, changes);
        return id;
    }

    // Removes a device; the default of a direction it was moves to the first remaining device with
    // channels in that direction (0 when none).
    bool removeDevice(AudioObjectID device, std::vector<Change>& changes) {
        if (!removeObject(device, Kind::device, kDevices, changes)) return false;
        for (auto [selector, scope] : {std::pair{kDefaultOutputDevice, kScopeOutput},
                                       std::pair{kDefaultInputDevice, kScopeInput}}) {
            if (defaultDevice(selector) == device)
                assign(kSystemObject, {selector, kScopeGlobal}, firstDeviceWith(scope), changes);
        }
        return true;
    }

    bool removeObject(AudioObjectID id, Kind kind, std::uint32_t listSelector, std::vector<Change>& changes) {
        if (!isA(id, kind)) return false;
        objects.erase(id);
        auto ids = list(listSelector);
        std::erase(ids, id);
        assign(kSystemObject, {listSelector, kScopeGlobal}, ids, changes);
        return true;
    }

    // The property that answers (object, address), and the key it is stored under. Device-wide
    // properties (stored in the global scope) answer in every scope.
    OSStatus find(AudioObjectID id, const PropertyAddress& a, Property*& property, Key& key) {
        Object* o = object(id);
        if (!o) return kStatusBadObject;
        if (a.element != kElementMain) return kStatusUnknownProperty;
        key = {a.selector, a.scope};
        auto it = o->properties.find(key);
        if (it == o->properties.end() && a.scope != kScopeGlobal) {
            key = {a.selector, kScopeGlobal};
            it = o->properties.find(key);
        }
        if (it == o->properties.end()) return kStatusUnknownProperty;
        property = &it->second;
        return kStatusOK;
    }

    void assign(AudioObjectID id, Key key, Value value, std::vector<Change>& changes,
                std::optional<bool> settable = std::nullopt) {
        Object& o = objects.at(id);
        auto it = o.properties.find(key);
        if (it == o.properties.end()) {
            o.properties.emplace(key, Property{std::move(value), settable.value_or(false)});
        } else {
            if (settable) it->second.settable = *settable;
            if (it->second.value == value) return;
            it->second.value = std::move(value);
        }
        changes.push_back({id, PropertyAddress{key.first, key.second, kElementMain}});
    }

    std::vector<std::uint32_t> list(std::uint32_t selector) {
        return std::get<std::vector<std::uint32_t>>(system().properties.at({selector, kScopeGlobal}).value);
    }

    std::uint32_t defaultDevice(std::uint32_t selector) {
        return std::get<std::uint32_t>(system().properties.at({selector, kScopeGlobal}).value);
    }

    void applySampleRate(AudioObjectID id, double rate, std::vector<Change>& changes) {
        Object& o = objects.at(id);
        assign(id, {kNominalSampleRate, kScopeGlobal}, rate, changes);
        for (auto scope : {kScopeOutput, kScopeInput}) {
            auto it = o.properties.find({kStreamFormat, scope});
            if (it == o.properties.end()) continue;
            auto format = std::get<StreamFormat>(it->second.value);
            format.sampleRate = rate;
            assign(id, {kStreamFormat, scope}, format, changes);
        }
    }

    // The first device with channels in `scope`, in device-list order; 0 when none.
    AudioObjectID firstDeviceWith(std::uint32_t scope) {
        for (auto id : list(kDevices)) {
            if (channelsIn(objects.at(id), scope) > 0) return id;
        }
        return 0;
    }

    // Values a client may write, by selector. Returns the status and the value to store.
    OSStatus validateWrite(AudioObjectID id, std::uint32_t selector, Value& value) {
        switch (selector) {
        case kDefaultOutputDevice:
        case kDefaultInputDevice: {
            Object* d = object(std::get<std::uint32_t>(value));
            return d && d->kind == Kind::device ? kStatusOK : kStatusIllegalOperation;
        }
        case kNominalSampleRate: {
            double rate = std::get<double>(value);
            return std::isfinite(rate) && rate > 0 ? kStatusOK : kStatusIllegalOperation;
        }
        case kBufferFrameSize: {
            Property* range = nullptr;
            Key key;
            if (find(id, {kBufferFrameSizeRange, kScopeGlobal, kElementMain}, range, key) != kStatusOK)
                return kStatusOK;
            auto r = std::get<ValueRange>(range->value);
            double frames = std::get<std::uint32_t>(value);
            return r.maximum <= 0 || (frames >= r.minimum && frames <= r.maximum) ? kStatusOK
                                                                                  : kStatusIllegalOperation;
        }
        case kVirtualMainVolume:
        case kVolumeScalar:
            if (auto* f = std::get_if<float>(&value)) {
                if (std::isnan(*f)) return kStatusIllegalOperation;
                *f = std::clamp(*f, 0.0f, 1.0f);
            }
            return kStatusOK;
        case kMute:
            if (auto* u = std::get_if<std::uint32_t>(&value)) *u = *u ? 1 : 0;
            return kStatusOK;
        default:
            return kStatusOK;
        }
    }

};

namespace {

// Posts one call per matching registration, in registration order. A posted call looks its
// registration up again when it runs, so a listener removed in the meantime is not called.
void deliver(const std::shared_ptr<AudioObjectStore::State>& state, const std::vector<Change>& changes) {
    if (changes.empty()) return;
    std::vector<std::pair<ListenerToken, PropertyAddress>> calls;
    {
        std::lock_guard lock(state->mutex);
        for (auto& [token, r] : state->listeners) {
            for (auto& c : changes) {
                if (r.object == c.object && r.address.selector == c.address.selector &&
                    (r.address.scope == c.address.scope || c.address.scope == kScopeGlobal)) {
                    calls.emplace_back(token, r.address);
                    break;
                }
            }
        }
    }
    std::weak_ptr<AudioObjectStore::State> weak = state;
    for (auto& [token, address] : calls) {
        Scheduler::current().post([weak, token = token, address = address] {
            auto s = weak.lock();
            if (!s) return;
            PropertyListener listener;
            {
                std::lock_guard lock(s->mutex);
                auto it = s->listeners.find(token);
                if (it == s->listeners.end()) return;
                listener = it->second.listener;
            }
            listener(1, &address);
        });
    }
}

// Runs `f(state, changes)` under the lock, then delivers the notifications it collected.
template <class F>
auto mutate(const std::shared_ptr<AudioObjectStore::State>& s, F&& f) {
    std::vector<Change> changes;
    auto result = [&] {
        std::lock_guard lock(s->mutex);
        return f(*s, changes);
    }();
    deliver(s, changes);
    return result;
}

}  // namespace

AudioObjectStore::AudioObjectStore() : state_(std::make_shared<State>()) {
    Object system{Kind::system, {}, {}};
    system.properties[{kDevices, kScopeGlobal}] = {std::vector<std::uint32_t>{}, false};
    system.properties[{kProcessObjectList, kScopeGlobal}] = {std::vector<std::uint32_t>{}, false};
    system.properties[{kDefaultOutputDevice, kScopeGlobal}] = {std::uint32_t(0), true};
    system.properties[{kDefaultInputDevice, kScopeGlobal}] = {std::uint32_t(0), true};
    state_->objects.emplace(kSystemObject, std::move(system));
}

AudioObjectStore::~AudioObjectStore() = default;

// --- Property calls ---

namespace {

// Answers a read of (object, address) with `answer(property)`, under the lock.
template <class Answer>
OSStatus withProperty(AudioObjectStore::State& s, AudioObjectID object, const PropertyAddress& address,
                      Answer&& answer) {
    std::lock_guard lock(s.mutex);
    Property* p = nullptr;
    Key key;
    OSStatus status = s.find(object, address, p, key);
    return status == kStatusOK ? answer(*p) : status;
}

}  // namespace

OSStatus AudioObjectStore::propertyDataSize(AudioObjectID object, const PropertyAddress& address,
                                            std::uint32_t& size) const {
    return withProperty(*state_, object, address, [&](const Property& p) {
        size = dataSize(p.value);
        return kStatusOK;
    });
}

OSStatus AudioObjectStore::propertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t& ioSize,
                                        void* data) const {
    return withProperty(*state_, object, address, [&](const Property& p) { return copyOut(p.value, ioSize, data); });
}

OSStatus AudioObjectStore::propertyObject(AudioObjectID object, const PropertyAddress& address,
                                          QVariant& value) const {
    return withProperty(*state_, object, address, [&](const Property& p) {
        if (auto* s = std::get_if<QString>(&p.value)) {
            value = *s;
        } else if (auto* l = std::get_if<QStringList>(&p.value)) {
            value = *l;
        } else {
            return kStatusUnsupported;
        }
        return kStatusOK;
    });
}

OSStatus AudioObjectStore::setPropertyData(AudioObjectID object, const PropertyAddress& address, std::uint32_t size,
                                           const void* data) {
    return mutate(state_, [&](State& s, std::vector<Change>& changes) {
        Property* p = nullptr;
        Key key;
        OSStatus found = s.find(object, address, p, key);
        if (found != kStatusOK) return found;
        if (!p->settable) return kStatusIllegalOperation;
        Value value = p->value;
        bool fixedSize = std::visit(
            [&](auto& x) {
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, std::uint32_t> || std::is_same_v<T, std::int32_t> ||
                              std::is_same_v<T, float> || std::is_same_v<T, double>) {
                    if (size != sizeof(T) || !data) return false;
                    std::memcpy(&x, data, sizeof(T));
                    return true;
                }
                return false;
            },
            value);
        if (!fixedSize) return isObjectValued(p->value) ? kStatusUnsupported : kStatusBadPropertySize;
        if (OSStatus refused = s.validateWrite(object, address.selector, value)) return refused;
        if (key.first == kNominalSampleRate) {
            s.applySampleRate(object, std::get<double>(value), changes);
        } else {
            s.assign(object, key, std::move(value), changes);
        }
        return kStatusOK;
    });
}

OSStatus AudioObjectStore::isPropertySettable(AudioObjectID object, const PropertyAddress& address,
                                              bool& settable) const {
    return withProperty(*state_, object, address, [&](const Property& p) {
        settable = p.settable;
        return kStatusOK;
    });
}

OSStatus AudioObjectStore::addPropertyListener(AudioObjectID object, const PropertyAddress& address,
                                               PropertyListener listener, ListenerToken& token) {
    std::lock_guard lock(state_->mutex);
    if (!state_->object(object)) return kStatusBadObject;
    if (!listener) return kStatusUnspecified;
    token = state_->nextToken++;
    state_->listeners.emplace(token, Registration{object, address, std::move(listener)});
    return kStatusOK;
}

OSStatus AudioObjectStore::removePropertyListener(AudioObjectID object, const PropertyAddress& address,
                                                  ListenerToken token) {
    std::lock_guard lock(state_->mutex);
    auto it = state_->listeners.find(token);
    if (it == state_->listeners.end() || it->second.object != object || !(it->second.address == address))
        return kStatusUnspecified;
    state_->listeners.erase(it);
    return kStatusOK;
}

// --- The world changing ---

AudioObjectID AudioObjectStore::addDevice(const SimulatedDevice& d) {
    Object o{Kind::device, {}, {}};
    auto put = [&](std::uint32_t selector, std::uint32_t scope, Value v, bool settable = false) {
        o.properties[{selector, scope}] = Property{std::move(v), settable};
    };
    put(kDeviceUID, kScopeGlobal, d.uid);
    put(kName, kScopeGlobal, d.name);
    put(kTransportType, kScopeGlobal, d.transport);
    put(kNominalSampleRate, kScopeGlobal, d.sampleRate, true);
    put(kBufferFrameSize, kScopeGlobal, d.bufferFrameSize, true);
    put(kBufferFrameSizeRange, kScopeGlobal, d.bufferFrameSizeRange);
    put(kDeviceIsAlive, kScopeGlobal, std::uint32_t(d.alive));
    put(kDeviceIsRunningSomewhere, kScopeGlobal, std::uint32_t(d.runningSomewhere));
    if (d.isAggregate()) put(kFullSubDeviceList, kScopeGlobal, d.subDeviceUIDs);
    for (auto [scope, spec] : {std::pair{kScopeOutput, &d.output}, std::pair{kScopeInput, &d.input}}) {
        put(kStreamConfiguration, scope, spec->streams);
        put(kSafetyOffset, scope, spec->safetyOffset);
        put(kLatency, scope, spec->latency);
        if (auto channels = spec->streams.totalChannels())
            put(kStreamFormat, scope, StreamFormat::float32(d.sampleRate, channels));
        if (spec->dataSource) put(kDataSource, scope, *spec->dataSource);
        if (spec->virtualMainVolume)
            put(kVirtualMainVolume, scope, spec->virtualMainVolume->value, spec->virtualMainVolume->settable);
        if (spec->volumeScalar) put(kVolumeScalar, scope, spec->volumeScalar->value, spec->volumeScalar->settable);
        if (spec->mute) put(kMute, scope, std::uint32_t(spec->mute->muted), spec->mute->settable);
    }
    return mutate(state_, [&](State& s, std::vector<Change>& changes) {
        AudioObjectID id = s.addObject(std::move(o), kDevices, changes);
        for (auto [selector, spec] : {std::pair{kDefaultOutputDevice, &d.output},
                                      std::pair{kDefaultInputDevice, &d.input}}) {
            if (s.defaultDevice(selector) == 0 && spec->streams.totalChannels() > 0)
                s.assign(kSystemObject, {selector, kScopeGlobal}, id, changes);
        }
        return id;
    });
}

bool AudioObjectStore::removeDevice(AudioObjectID device) {
    return mutate(state_, [&](State& s, std::vector<Change>& changes) { return s.removeDevice(device, changes); });
}

AudioObjectID AudioObjectStore::addProcess(const SimulatedProcess& p) {
    Object o{Kind::process, {}, p};
    o.properties[{kProcessPID, kScopeGlobal}] = {p.pid, false};
    o.properties[{kProcessIsRunningOutput, kScopeGlobal}] = {std::uint32_t(p.runningOutput), false};
    o.properties[{kProcessIsRunningInput, kScopeGlobal}] = {std::uint32_t(p.runningInput), false};
    return mutate(state_, [&](State& s, std::vector<Change>& changes) {
        return s.addObject(std::move(o), kProcessObjectList, changes);
    });
}

bool AudioObjectStore::removeProcess(AudioObjectID process) {
    return mutate(state_, [&](State& s, std::vector<Change>& changes) {
        return s.removeObject(process, Kind::process, kProcessObjectList, changes);
    });
}

static bool setDefault(const std::shared_ptr<AudioObjectStore::State>& state, std::uint32_t selector,
                       AudioObjectID device) {
    return mutate(state, [&](AudioObjectStore::State& s, std::vector<Change>& changes) {
        if (device != 0 && !s.isA(device, Kind::device)) return false;
        s.assign(kSystemObject, {selector, kScopeGlobal}, device, changes);
        return true;
    });
}

bool AudioObjectStore::setDefaultOutputDevice(AudioObjectID device) {
    return setDefault(state_, kDefaultOutputDevice, device);
}

bool AudioObjectStore::setDefaultInputDevice(AudioObjectID device) {
    return setDefault(state_, kDefaultInputDevice, device);
}

bool AudioObjectStore::setNominalSampleRate(AudioObjectID device, double rate) {
    return mutate(state_, [&](State& s, std::vector<Change>& changes) {
        if (!s.isA(device, Kind::device)) return false;
        s.applySampleRate(device, rate, changes);
        return true;
    });
}

bool AudioObjectStore::setProcessRunning(AudioObjectID process, bool output, bool input) {
    return mutate(state_, [&](State& s, std::vector<Change>& changes) {
        if (!s.isA(process, Kind::process)) return false;
        s.assign(process, {kProcessIsRunningOutput, kScopeGlobal}, std::uint32_t(output), changes);
        s.assign(process, {kProcessIsRunningInput, kScopeGlobal}, std::uint32_t(input), changes);
        return true;
    });
}

bool AudioObjectStore::setProperty(AudioObjectID object, const PropertyAddress& address, Value value,
                                    std::optional<bool> settable) {
    return mutate(state_, [&](State& s, std::vector<Change>& changes) {
        if (!s.object(object)) return false;
        s.assign(object, {address.selector, address.scope}, std::move(value), changes, settable);
        return true;
    });
}

bool AudioObjectStore::setSettable(AudioObjectID object, const PropertyAddress& address, bool settable) {
    std::lock_guard lock(state_->mutex);
    Property* p = nullptr;
    Key key;
    if (state_->find(object, address, p, key) != kStatusOK) return false;
    p->settable = settable;
    return true;
}

bool AudioObjectStore::removeProperty(AudioObjectID object, const PropertyAddress& address) {
    std::lock_guard lock(state_->mutex);
    Object* o = state_->object(object);
    return o && o->properties.erase({address.selector, address.scope}) > 0;
}

void AudioObjectStore::notify(AudioObjectID object, const PropertyAddress& address) {
    deliver(state_, {Change{object, address}});
}

// --- Looking at the world ---

bool AudioObjectStore::exists(AudioObjectID object) const {
    std::lock_guard lock(state_->mutex);
    return state_->object(object) != nullptr;
}

bool AudioObjectStore::isDevice(AudioObjectID object) const {
    std::lock_guard lock(state_->mutex);
    return state_->isA(object, Kind::device);
}

std::optional<AudioObjectStore::Value> AudioObjectStore::property(AudioObjectID object,
                                                                    const PropertyAddress& address) const {
    std::lock_guard lock(state_->mutex);
    Property* p = nullptr;
    Key key;
    if (state_->find(object, address, p, key) != kStatusOK) return std::nullopt;
    return p->value;
}

std::vector<AudioObjectID> AudioObjectStore::deviceIDs() const {
    std::lock_guard lock(state_->mutex);
    return state_->list(kDevices);
}

std::vector<AudioObjectID> AudioObjectStore::processIDs() const {
    std::lock_guard lock(state_->mutex);
    return state_->list(kProcessObjectList);
}

AudioObjectID AudioObjectStore::deviceWithUID(const QString& uid) const {
    std::lock_guard lock(state_->mutex);
    for (auto id : state_->list(kDevices)) {
        auto& props = state_->objects.at(id).properties;
        auto it = props.find({kDeviceUID, kScopeGlobal});
        if (it != props.end() && it->second.value == Value(uid)) return id;
    }
    return 0;
}

AudioObjectID AudioObjectStore::defaultOutputDevice() const {
    std::lock_guard lock(state_->mutex);
    return state_->defaultDevice(kDefaultOutputDevice);
}

AudioObjectID AudioObjectStore::defaultInputDevice() const {
    std::lock_guard lock(state_->mutex);
    return state_->defaultDevice(kDefaultInputDevice);
}

std::optional<SimulatedProcess> AudioObjectStore::process(AudioObjectID process) const {
    std::lock_guard lock(state_->mutex);
    Object* o = state_->object(process);
    if (!o || o->kind != Kind::process) return std::nullopt;
    SimulatedProcess p = o->process;
    auto flag = [&](std::uint32_t selector) {
        auto* v = std::get_if<std::uint32_t>(&o->properties.at({selector, kScopeGlobal}).value);
        return v && *v != 0;
    };
    p.runningOutput = flag(kProcessIsRunningOutput);
    p.runningInput = flag(kProcessIsRunningInput);
    return p;
}

std::size_t AudioObjectStore::listenerCount(std::optional<AudioObjectID> object,
                                             std::optional<PropertyAddress> address) const {
    std::lock_guard lock(state_->mutex);
    return std::count_if(state_->listeners.begin(), state_->listeners.end(), [&](const auto& entry) {
        const Registration& r = entry.second;
        return (!object || r.object == *object) && (!address || r.address == *address);
    });
}

// --- Plain objects ---

AudioObjectID AudioObjectStore::addPlainObject() {
    std::lock_guard lock(state_->mutex);
    const AudioObjectID id = state_->nextObject++;
    state_->objects.emplace(id, Object{Kind::plain, {}, {}});
    return id;
}

bool AudioObjectStore::removePlainObject(AudioObjectID object) {
    std::lock_guard lock(state_->mutex);
    if (!state_->isA(object, Kind::plain)) return false;
    state_->objects.erase(object);
    return true;
}

}  // namespace quellor
