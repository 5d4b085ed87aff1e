#include "platform/PipeWireConnection.h"

#include "platform/PipeWireDict.h"
#include "platform/PipeWireLoop.h"
#include "platform/PipeWireParams.h"

#include <pipewire/extensions/metadata.h>
#include <pipewire/pipewire.h>
#include <spa/param/param.h>
#include <spa/utils/json.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

namespace quellor {

namespace {

// The entries of a JSON-like list such as "[ FL FR ]".
std::uint32_t listLength(const std::string& list) {
    spa_json outer, inner;
    spa_json_init(&outer, list.data(), list.size());
    if (spa_json_enter_array(&outer, &inner) <= 0) return 0;
    std::uint32_t n = 0;
    const char* value;
    while (spa_json_next(&inner, &value) > 0) ++n;
    return n;
}

// The "name" member of a metadata value such as { "name": "alsa_output.pci" }.
std::string nameMember(const char* json) {
    if (!json) return {};
    spa_json outer, object;
    spa_json_init(&outer, json, std::strlen(json));
    if (spa_json_enter_object(&outer, &object) <= 0) return {};
    char key[64];
    while (spa_json_get_string(&object, key, sizeof key) > 0) {
        if (std::strcmp(key, "name") == 0) {
            char value[512];
            return spa_json_get_string(&object, value, sizeof value) > 0 ? std::string(value) : std::string();
        }
        const char* skip;
        if (spa_json_next(&object, &skip) <= 0) break;
    }
    return {};
}

std::optional<PipeWireNode::Kind> kindOf(const std::string& mediaClass) {
    if (mediaClass == "Audio/Sink") return PipeWireNode::Kind::Sink;
    if (mediaClass == "Audio/Source") return PipeWireNode::Kind::Source;
    if (mediaClass == "Stream/Output/Audio") return PipeWireNode::Kind::PlaybackStream;
    if (mediaClass == "Stream/Input/Audio") return PipeWireNode::Kind::RecordingStream;
    return std::nullopt;
}

}  // namespace

struct PipeWireConnection::Impl : PipeWireLoop {
    struct Bound {
        Impl* owner = nullptr;
        std::uint32_t id = 0;
        pw_proxy* proxy = nullptr;
        spa_hook objectListener{};

        Bound() = default;
        Bound(const Bound&) = delete;
        Bound& operator=(const Bound&) = delete;
        // The listener goes before the proxy it listens to.
        virtual ~Bound() {
            if (objectListener.link.next) spa_hook_remove(&objectListener);
            if (proxy) pw_proxy_destroy(proxy);
        }
    };
    struct Node : Bound {
        PipeWireNode node;
        std::uint32_t clientId = 0;
        std::int32_t appPid = 0;
        std::uint32_t positions = 0;    // entries of audio.position
        std::uint32_t propChannels = 0; // audio.channels
        std::uint32_t mapChannels = 0;  // entries of the Props channel map
        std::uint32_t deviceId = 0;     // the card device behind the node; 0 for none
        std::int32_t profileDevice = -1;  // which of the card's profile devices the node is
        bool seen = false;              // info arrived
        // Reported only once the answer to a sync sent after the subscription has come: by then
        // the node's current params are here too, so it never shows first without the volume
        // controls it has.
        int syncSeq = -1;
        bool settled = false;
        // A stream that only watches levels (the desktop's own meters): no application's sound.
        bool levelMeter = false;
        bool reportable() const { return seen && settled && !levelMeter; }
    };
    struct Port : Bound {
        std::uint32_t nodeId = 0;
        bool input = true;
    };
    struct Device : Bound {
        std::map<std::int32_t, PipeWireRoute> routes;  // by profile device
        std::string bus, formFactor, iconName;         // what the card says of itself
    };
    struct Client : Bound {
        std::int32_t secPid = 0;
        std::int32_t appPid = 0;
        bool ofPulseServer = false;  // made by the PulseAudio server for one of its applications

        // From the global's properties first (a stream's node may come before the client's info),
        // then from the info's.
        void learn(const spa_dict* props) {
            secPid = std::int32_t(dictNumber(props, PW_KEY_SEC_PID));
            appPid = std::int32_t(dictNumber(props, PW_KEY_APP_PROCESS_ID));
            ofPulseServer = dictText(props, PW_KEY_CLIENT_API) == "pipewire-pulse";
        }
    };
    struct Metadata : Bound {
        bool isDefault = false;
    };

    Events events;
    Guest* guest = nullptr;
    std::map<std::uint32_t, std::unique_ptr<Node>> nodes;
    std::map<std::uint32_t, std::unique_ptr<Client>> clients;
    std::map<std::uint32_t, std::unique_ptr<Metadata>> metadata;
    std::map<std::uint32_t, std::unique_ptr<Device>> devices;
    std::map<std::uint32_t, std::unique_ptr<Port>> ports;
    std::string defaultSink, defaultSource;
    std::map<std::string, std::string> settings;
    PipeWireClock clock;
    bool lost = false;

    ~Impl() {
        if (loop) pw_thread_loop_stop(loop);
        ports.clear();
        nodes.clear();
        devices.clear();
        clients.clear();
        metadata.clear();
        close();
    }

    // --- Reporting ---

    void report(Node& n) {
        if (!n.reportable()) return;
        PipeWireNode copy = n.node;
        copy.channels = n.propChannels ? n.propChannels : n.positions ? n.positions : n.mapChannels;
        if (!copy.isDevice()) {
            copy.pid = processOf(n);
        } else {
            // The card's bus, form factor and icon; ALSA nodes name none of these themselves.
            if (auto device = devices.find(n.deviceId); n.deviceId && device != devices.end()) {
                if (copy.bus.empty()) copy.bus = device->second->bus;
                copy.formFactor = device->second->formFactor;
                copy.iconName = device->second->iconName;
            }
            if (const PipeWireRoute* route = routeOf(n)) {
                copy.portType = route->portType;
                copy.portName = route->name;
                // A card's volume is the route's: that is what the desktop's controls show and set.
                if (route->volumes.channelVolumes) copy.channelVolumes = *route->volumes.channelVolumes;
                if (route->volumes.mute) copy.mute = route->volumes.mute;
            }
        }
        if (events.nodeChanged) events.nodeChanged(copy);
        if (!copy.isDevice() && guest) guest->streamChanged(n.id);
    }

    std::int32_t processOf(const Node& n) const {
        const Client* c = clientFor(n.clientId);
        return streamProcessID(c ? c->secPid : 0, c ? c->appPid : 0, c && c->ofPulseServer, n.appPid);
    }

    const PipeWireRoute* routeOf(const Node& n) const {
        if (!n.deviceId || n.profileDevice < 0) return nullptr;
        auto device = devices.find(n.deviceId);
        if (device == devices.end()) return nullptr;
        auto route = device->second->routes.find(n.profileDevice);
        return route == device->second->routes.end() ? nullptr : &route->second;
    }

    const Client* clientFor(std::uint32_t id) const {
        auto it = clients.find(id);
        return it == clients.end() ? nullptr : it->second.get();
    }

    void reportClock() {
        auto value = [&](const char* key) -> std::uint32_t {
            auto it = settings.find(key);
            return it == settings.end() ? 0 : std::uint32_t(std::strtoul(it->second.c_str(), nullptr, 10));
        };
        PipeWireClock next = clock;
        if (auto rate = value("clock.force-rate") ? value("clock.force-rate") : value("clock.rate")) next.rate = rate;
        if (auto q = value("clock.force-quantum") ? value("clock.force-quantum") : value("clock.quantum")) next.quantum = q;
        if (auto q = value("clock.min-quantum")) next.minQuantum = q;
        if (auto q = value("clock.max-quantum")) next.maxQuantum = q;
        if (next == clock) return;
        clock = next;
        if (events.clockChanged) events.clockChanged(clock);
    }

    // --- Node events ---

    static void nodeInfo(void* data, const pw_node_info* info) {
        auto& n = *static_cast<Node*>(data);
        if (info->change_mask & PW_NODE_CHANGE_MASK_PROPS) {
            const spa_dict* p = info->props;
            n.node.name = dictText(p, PW_KEY_NODE_NAME);
            n.node.description = dictText(p, PW_KEY_NODE_DESCRIPTION);
            if (n.node.description.empty()) n.node.description = dictText(p, PW_KEY_NODE_NICK);
            if (n.node.description.empty()) n.node.description = n.node.name;
            n.node.api = dictText(p, PW_KEY_DEVICE_API);
            n.node.bus = dictText(p, PW_KEY_DEVICE_BUS);
            n.node.profileName = dictText(p, "device.profile.name");
            n.node.rate = std::uint32_t(dictNumber(p, PW_KEY_AUDIO_RATE));
            n.propChannels = std::uint32_t(dictNumber(p, PW_KEY_AUDIO_CHANNELS));
            n.positions = listLength(dictText(p, "audio.position"));
            n.clientId = std::uint32_t(dictNumber(p, PW_KEY_CLIENT_ID));
            n.appPid = std::int32_t(dictNumber(p, PW_KEY_APP_PROCESS_ID));
            n.levelMeter = !n.node.isDevice() && dictText(p, PW_KEY_STREAM_MONITOR) == "true";
            n.deviceId = std::uint32_t(dictNumber(p, PW_KEY_DEVICE_ID));
            const std::string profileDevice = dictText(p, "card.profile.device");
            n.profileDevice = profileDevice.empty() ? -1 : std::int32_t(std::strtol(profileDevice.c_str(), nullptr, 10));
        }
        n.node.running = info->state == PW_NODE_STATE_RUNNING;
        n.seen = true;
        n.owner->report(n);
    }

    static void nodeParam(void* data, int seq, std::uint32_t id, std::uint32_t index, std::uint32_t next,
                          const spa_pod* param) {
        auto& n = *static_cast<Node*>(data);
        if (id != SPA_PARAM_Props || !param) return;
        auto volumes = readPropsParam(param, SPA_POD_SIZE(param));
        // An adapter lists the Props of its parts one by one: the volumes are those of the part
        // that has them.
        if (!volumes || !volumes->channelVolumes) return;
        n.node.channelVolumes = *volumes->channelVolumes;
        n.node.mute = volumes->mute;
        if (volumes->mapChannels) n.mapChannels = volumes->mapChannels;
        n.owner->report(n);
    }

    // --- Port events ---

    // A sink's latency is what its input ports report for playback; a source's, what its output
    // ports report for capture.
    static void portParam(void* data, int seq, std::uint32_t id, std::uint32_t index, std::uint32_t next,
                          const spa_pod* param) {
        auto& port = *static_cast<Port*>(data);
        if (id != SPA_PARAM_Latency || !param) return;
        auto latency = readLatencyParam(param, SPA_POD_SIZE(param));
        auto node = port.owner->nodes.find(port.nodeId);
        if (!latency || node == port.owner->nodes.end()) return;
        Node& n = *node->second;
        const bool sink = n.node.kind == PipeWireNode::Kind::Sink;
        if (port.input != sink || latency->playback != sink || n.node.latency == *latency) return;
        n.node.latency = *latency;
        port.owner->report(n);
    }

    // --- Card device events ---

    static void deviceInfo(void* data, const pw_device_info* info) {
        auto& d = *static_cast<Device*>(data);
        if (!(info->change_mask & PW_DEVICE_CHANGE_MASK_PROPS)) return;
        d.bus = dictText(info->props, PW_KEY_DEVICE_BUS);
        d.formFactor = dictText(info->props, PW_KEY_DEVICE_FORM_FACTOR);
        d.iconName = dictText(info->props, PW_KEY_DEVICE_ICON_NAME);
        for (auto& [nodeId, n] : d.owner->nodes)
            if (n->deviceId == d.id) d.owner->report(*n);
    }

    static void deviceParam(void* data, int seq, std::uint32_t id, std::uint32_t index, std::uint32_t next,
                            const spa_pod* param) {
        auto& d = *static_cast<Device*>(data);
        if (id != SPA_PARAM_Route || !param) return;
        auto route = readRouteParam(param, SPA_POD_SIZE(param));
        if (!route) return;
        d.routes[route->device] = *route;
        for (auto& [nodeId, n] : d.owner->nodes)
            if (n->deviceId == d.id && n->profileDevice == route->device) d.owner->report(*n);
    }

    // --- Client events ---

    static void clientInfo(void* data, const pw_client_info* info) {
        auto& c = *static_cast<Client*>(data);
        if (!(info->change_mask & PW_CLIENT_CHANGE_MASK_PROPS)) return;
        c.learn(info->props);
        // Streams may have been reported before their client was known.
        for (auto& [id, n] : c.owner->nodes)
            if (n->clientId == c.id && !n->node.isDevice()) c.owner->report(*n);
    }

    // --- Metadata events ---

    static int metadataProperty(void* data, std::uint32_t subject, const char* key, const char* type,
                                const char* value) {
        auto& m = *static_cast<Metadata*>(data);
        Impl& self = *m.owner;
        if (m.isDefault && self.guest) self.guest->defaultMetadata(subject, key, type, value);
        if (subject != PW_ID_CORE) return 0;
        if (m.isDefault) {
            const std::string sink = self.defaultSink, source = self.defaultSource;
            if (!key) {
                self.defaultSink.clear();
                self.defaultSource.clear();
            } else if (std::strcmp(key, "default.audio.sink") == 0) {
                self.defaultSink = nameMember(value);
            } else if (std::strcmp(key, "default.audio.source") == 0) {
                self.defaultSource = nameMember(value);
            }
            if ((sink != self.defaultSink || source != self.defaultSource) && self.events.defaultsChanged)
                self.events.defaultsChanged(self.defaultSink, self.defaultSource);
        } else {
            if (!key)
                self.settings.clear();
            else if (value)
                self.settings[key] = value;
            else
                self.settings.erase(key);
            self.reportClock();
        }
        return 0;
    }

    // --- Proxies and the registry ---

    template <class T>
    T* bind(std::map<std::uint32_t, std::unique_ptr<T>>& into, std::uint32_t id, const char* type,
            std::uint32_t version) {
        auto* proxy = static_cast<pw_proxy*>(pw_registry_bind(registry, id, type, version, sizeof(void*)));
        if (!proxy) return nullptr;
        auto bound = std::make_unique<T>();
        bound->owner = this;
        bound->id = id;
        bound->proxy = proxy;
        T* raw = bound.get();
        into[id] = std::move(bound);
        return raw;
    }

    // The connection binds what it reports first: the guest may ask it about the new object.
    static void global(void* data, std::uint32_t id, std::uint32_t permissions, const char* type,
                       std::uint32_t version, const spa_dict* props) {
        auto& self = *static_cast<Impl*>(data);
        self.bindGlobal(id, permissions, type, props);
        if (self.guest) self.guest->global(id, type, props);
    }

    void bindGlobal(std::uint32_t id, std::uint32_t permissions, const char* type, const spa_dict* props) {
        Impl& self = *this;
        if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0) {
            auto kind = kindOf(dictText(props, PW_KEY_MEDIA_CLASS));
            if (!kind) return;
            Node* n = self.bind(self.nodes, id, PW_TYPE_INTERFACE_Node, PW_VERSION_NODE);
            if (!n) return;
            n->node.kind = *kind;
            n->node.writable = (permissions & PW_PERM_W) != 0;
            n->node.serial = std::uint64_t(dictNumber(props, PW_KEY_OBJECT_SERIAL));
            n->clientId = std::uint32_t(dictNumber(props, PW_KEY_CLIENT_ID));
            static const pw_node_events nodeEvents = [] {
                pw_node_events e{};
                e.version = PW_VERSION_NODE_EVENTS;
                e.info = &Impl::nodeInfo;
                e.param = &Impl::nodeParam;
                return e;
            }();
            pw_node_add_listener(reinterpret_cast<pw_node*>(n->proxy), &n->objectListener, &nodeEvents, n);
            std::uint32_t ids[] = {SPA_PARAM_Props};
            pw_node_subscribe_params(reinterpret_cast<pw_node*>(n->proxy), ids, 1);
            n->syncSeq = pw_core_sync(self.core, PW_ID_CORE, 0);
        } else if (std::strcmp(type, PW_TYPE_INTERFACE_Port) == 0) {
            const auto nodeId = std::uint32_t(dictNumber(props, PW_KEY_NODE_ID));
            auto node = self.nodes.find(nodeId);
            if (node == self.nodes.end() || !node->second->node.isDevice()) return;
            Port* port = self.bind(self.ports, id, PW_TYPE_INTERFACE_Port, PW_VERSION_PORT);
            if (!port) return;
            port->nodeId = nodeId;
            port->input = dictText(props, PW_KEY_PORT_DIRECTION) == "in";
            static const pw_port_events portEvents = [] {
                pw_port_events e{};
                e.version = PW_VERSION_PORT_EVENTS;
                e.param = &Impl::portParam;
                return e;
            }();
            pw_port_add_listener(reinterpret_cast<pw_port*>(port->proxy), &port->objectListener, &portEvents, port);
            std::uint32_t ids[] = {SPA_PARAM_Latency};
            pw_port_subscribe_params(reinterpret_cast<pw_port*>(port->proxy), ids, 1);
        } else if (std::strcmp(type, PW_TYPE_INTERFACE_Device) == 0) {
            if (dictText(props, PW_KEY_MEDIA_CLASS) != "Audio/Device") return;
            Device* d = self.bind(self.devices, id, PW_TYPE_INTERFACE_Device, PW_VERSION_DEVICE);
            if (!d) return;
            static const pw_device_events deviceEvents = [] {
                pw_device_events e{};
                e.version = PW_VERSION_DEVICE_EVENTS;
                e.info = &Impl::deviceInfo;
                e.param = &Impl::deviceParam;
                return e;
            }();
            pw_device_add_listener(reinterpret_cast<pw_device*>(d->proxy), &d->objectListener, &deviceEvents, d);
            std::uint32_t ids[] = {SPA_PARAM_Route};
            pw_device_subscribe_params(reinterpret_cast<pw_device*>(d->proxy), ids, 1);
        } else if (std::strcmp(type, PW_TYPE_INTERFACE_Client) == 0) {
            Client* c = self.bind(self.clients, id, PW_TYPE_INTERFACE_Client, PW_VERSION_CLIENT);
            if (!c) return;
            c->learn(props);
            static const pw_client_events clientEvents = [] {
                pw_client_events e{};
                e.version = PW_VERSION_CLIENT_EVENTS;
                e.info = &Impl::clientInfo;
                return e;
            }();
            pw_client_add_listener(reinterpret_cast<pw_client*>(c->proxy), &c->objectListener, &clientEvents, c);
        } else if (std::strcmp(type, PW_TYPE_INTERFACE_Metadata) == 0) {
            const std::string name = dictText(props, PW_KEY_METADATA_NAME);
            if (name != "default" && name != "settings") return;
            Metadata* m = self.bind(self.metadata, id, PW_TYPE_INTERFACE_Metadata, PW_VERSION_METADATA);
            if (!m) return;
            m->isDefault = name == "default";
            static const pw_metadata_events metadataEvents = [] {
                pw_metadata_events e{};
                e.version = PW_VERSION_METADATA_EVENTS;
                e.property = &Impl::metadataProperty;
                return e;
            }();
            pw_metadata_add_listener(reinterpret_cast<pw_metadata*>(m->proxy), &m->objectListener, &metadataEvents, m);
        }
    }

    static void globalRemove(void* data, std::uint32_t id) {
        auto& self = *static_cast<Impl*>(data);
        if (auto it = self.nodes.find(id); it != self.nodes.end()) {
            const bool reported = it->second->reportable();
            const std::uint64_t serial = it->second->node.serial;
            self.nodes.erase(it);
            if (reported && self.events.nodeRemoved) self.events.nodeRemoved(serial);
        }
        self.clients.erase(id);
        self.metadata.erase(id);
        self.devices.erase(id);
        self.ports.erase(id);
        if (self.guest) self.guest->globalRemove(id);
    }

    static void coreDone(void* data, std::uint32_t id, int seq) {
        auto& self = *static_cast<Impl*>(data);
        if (id != PW_ID_CORE) return;
        for (auto& [nodeId, n] : self.nodes) {
            if (n->settled || n->syncSeq != seq) continue;
            n->settled = true;
            self.report(*n);
        }
        if (self.guest) self.guest->done(seq);
    }

    static void coreError(void* data, std::uint32_t id, int seq, int res, const char* message) {
        auto& self = *static_cast<Impl*>(data);
        // Only a broken connection ends it; other errors answer single requests.
        if (id != PW_ID_CORE || res != -EPIPE || self.lost) return;
        self.lost = true;
        if (self.guest) self.guest->connectionLost();
        if (self.events.lost) self.events.lost();
    }

    pw_metadata* defaultMetadata() const {
        pw_metadata* found = nullptr;
        for (const auto& [id, m] : metadata)
            if (m->isDefault) found = reinterpret_cast<pw_metadata*>(m->proxy);
        return found;
    }

    std::optional<std::uint32_t> nodeWithSerial(std::uint64_t serial) const {
        for (const auto& [id, n] : nodes)
            if (n->node.serial == serial) return id;
        return std::nullopt;
    }
};

PipeWireConnection::PipeWireConnection(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

// The loop stops first (Impl's destructor): nothing runs on it while the proxies go.
PipeWireConnection::~PipeWireConnection() = default;

std::unique_ptr<PipeWireConnection> PipeWireConnection::connect(Events events, Guest* guest) {
    auto impl = std::make_unique<Impl>();
    impl->events = std::move(events);
    impl->guest = guest;
    Impl& opened = *impl;
    std::unique_ptr<PipeWireConnection> connection(new PipeWireConnection(std::move(impl)));
    if (!opened.open("quellor-pipewire", {&Impl::coreDone, &Impl::coreError, &Impl::global, &Impl::globalRemove},
                     &opened, [&] {
                         if (guest) guest->attached(*connection);
                     }))
        return nullptr;
    return connection;
}

bool PipeWireConnection::setNodeProps(std::uint64_t serial, std::optional<std::vector<float>> channelVolumes,
                                      std::optional<bool> mute) {
    pw_thread_loop_lock(impl_->loop);
    auto id = impl_->nodeWithSerial(serial);
    if (id) {
        const Impl::Node& node = *impl_->nodes[*id];
        if (const PipeWireRoute* route = impl_->routeOf(node)) {
            const auto pod = routeParam(route->index, node.profileDevice, channelVolumes, mute);
            pw_device_set_param(reinterpret_cast<pw_device*>(impl_->devices[node.deviceId]->proxy), SPA_PARAM_Route, 0,
                                reinterpret_cast<const spa_pod*>(pod.data()));
        } else {
            const auto pod = propsParam(channelVolumes, mute);
            pw_node_set_param(reinterpret_cast<pw_node*>(node.proxy), SPA_PARAM_Props, 0,
                              reinterpret_cast<const spa_pod*>(pod.data()));
        }
    }
    pw_thread_loop_unlock(impl_->loop);
    return id.has_value();
}

bool PipeWireConnection::setConfiguredDefault(bool sink, const std::string& nodeName) {
    // The name as a JSON string: node names are plain, but quote what JSON requires.
    std::string quoted;
    for (char c : nodeName) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    const std::string value = "{ \"name\": \"" + quoted + "\" }";
    pw_thread_loop_lock(impl_->loop);
    const bool set = setDefaultMetadata(PW_ID_CORE,
                                        sink ? "default.configured.audio.sink" : "default.configured.audio.source",
                                        "Spa:String:JSON", value.c_str());
    pw_thread_loop_unlock(impl_->loop);
    return set;
}

PipeWireLoop& PipeWireConnection::loop() { return *impl_; }

bool PipeWireConnection::setDefaultMetadata(std::uint32_t subject, const char* key, const char* type,
                                            const char* value) {
    pw_metadata* target = impl_->defaultMetadata();
    if (target) pw_metadata_set_property(target, subject, key, type, value);
    return target != nullptr;
}

std::int32_t PipeWireConnection::processOfStream(std::uint32_t id) const {
    auto it = impl_->nodes.find(id);
    return it == impl_->nodes.end() ? 0 : impl_->processOf(*it->second);
}

void PipeWireConnection::dropGuest() { impl_->guest = nullptr; }

}  // namespace quellor
