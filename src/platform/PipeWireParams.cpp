#include "platform/PipeWireParams.h"

#include <spa/param/audio/raw.h>
#include <spa/param/latency-utils.h>
#include <spa/param/param.h>
#include <spa/param/props.h>
#include <spa/param/route.h>
#include <spa/pod/builder.h>
#include <spa/pod/iter.h>
#include <spa/utils/defs.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quellor {

namespace {

void addVolumes(spa_pod_builder& b, const std::optional<std::vector<float>>& channelVolumes, std::optional<bool> mute) {
    if (channelVolumes) {
        spa_pod_builder_prop(&b, SPA_PROP_channelVolumes, 0);
        spa_pod_builder_array(&b, sizeof(float), SPA_TYPE_Float, std::uint32_t(channelVolumes->size()),
                              channelVolumes->data());
    }
    if (mute) {
        spa_pod_builder_prop(&b, SPA_PROP_mute, 0);
        spa_pod_builder_bool(&b, *mute);
    }
}

std::vector<std::uint8_t> bytesOf(const spa_pod* pod) {
    if (!pod) return {};
    const auto* begin = reinterpret_cast<const std::uint8_t*>(pod);
    return std::vector<std::uint8_t>(begin, begin + SPA_POD_SIZE(pod));
}

// A pod of `size` bytes that holds a whole object of `type`.
const spa_pod_object* objectOf(const void* pod, std::size_t size, std::uint32_t type) {
    if (!pod || size < sizeof(spa_pod)) return nullptr;
    const auto* p = static_cast<const spa_pod*>(pod);
    if (SPA_POD_SIZE(p) > size || !spa_pod_is_object_type(p, type)) return nullptr;
    return reinterpret_cast<const spa_pod_object*>(p);
}

// The value of `key` in a route's info: a struct of the number of entries, then keys and values.
std::string infoValue(const spa_pod* info, const char* key) {
    if (!spa_pod_is_struct(info)) return {};
    const void* body = SPA_POD_BODY_CONST(info);
    const std::uint32_t size = SPA_POD_BODY_SIZE(info);
    bool first = true;
    const char* pendingKey = nullptr;
    for (auto* item = static_cast<const spa_pod*>(body); spa_pod_is_inside(body, size, item);
         item = static_cast<const spa_pod*>(spa_pod_next(item))) {
        if (first) {
            first = false;
            if (spa_pod_is_int(item)) continue;
        }
        const char* text = nullptr;
        if (spa_pod_get_string(item, &text) < 0 || !text) return {};
        if (!pendingKey) {
            pendingKey = text;
        } else {
            if (std::strcmp(pendingKey, key) == 0) return text;
            pendingKey = nullptr;
        }
    }
    return {};
}

PipeWireVolumes volumesOf(const spa_pod_object* object) {
    PipeWireVolumes v;
    const spa_pod_prop* prop;
    SPA_POD_OBJECT_FOREACH(object, prop) {
        if (prop->key == SPA_PROP_channelVolumes) {
            float values[SPA_AUDIO_MAX_CHANNELS];
            std::uint32_t count = spa_pod_copy_array(&prop->value, SPA_TYPE_Float, values, SPA_AUDIO_MAX_CHANNELS);
            v.channelVolumes = std::vector<float>(values, values + count);
        } else if (prop->key == SPA_PROP_mute) {
            bool b = false;
            if (spa_pod_get_bool(&prop->value, &b) == 0) v.mute = b;
        } else if (prop->key == SPA_PROP_channelMap) {
            std::uint32_t ids[SPA_AUDIO_MAX_CHANNELS];
            v.mapChannels = spa_pod_copy_array(&prop->value, SPA_TYPE_Id, ids, SPA_AUDIO_MAX_CHANNELS);
        }
    }
    return v;
}

}  // namespace

std::vector<std::uint8_t> propsParam(const std::optional<std::vector<float>>& channelVolumes,
                                     std::optional<bool> mute) {
    std::uint8_t buffer[2048];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    spa_pod_frame frame;
    spa_pod_builder_push_object(&b, &frame, SPA_TYPE_OBJECT_Props, SPA_PARAM_Props);
    addVolumes(b, channelVolumes, mute);
    return bytesOf(static_cast<spa_pod*>(spa_pod_builder_pop(&b, &frame)));
}

std::vector<std::uint8_t> routeParam(std::int32_t index, std::int32_t device,
                                     const std::optional<std::vector<float>>& channelVolumes,
                                     std::optional<bool> mute) {
    std::uint8_t buffer[2048];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    spa_pod_frame route, props;
    spa_pod_builder_push_object(&b, &route, SPA_TYPE_OBJECT_ParamRoute, SPA_PARAM_Route);
    spa_pod_builder_prop(&b, SPA_PARAM_ROUTE_index, 0);
    spa_pod_builder_int(&b, index);
    spa_pod_builder_prop(&b, SPA_PARAM_ROUTE_device, 0);
    spa_pod_builder_int(&b, device);
    spa_pod_builder_prop(&b, SPA_PARAM_ROUTE_props, 0);
    spa_pod_builder_push_object(&b, &props, SPA_TYPE_OBJECT_Props, SPA_PARAM_Route);
    addVolumes(b, channelVolumes, mute);
    spa_pod_builder_pop(&b, &props);
    spa_pod_builder_prop(&b, SPA_PARAM_ROUTE_save, 0);
    spa_pod_builder_bool(&b, true);
    return bytesOf(static_cast<spa_pod*>(spa_pod_builder_pop(&b, &route)));
}

std::optional<PipeWireVolumes> readPropsParam(const void* pod, std::size_t size) {
    const spa_pod_object* object = objectOf(pod, size, SPA_TYPE_OBJECT_Props);
    if (!object) return std::nullopt;
    return volumesOf(object);
}

std::optional<PipeWireRoute> readRouteParam(const void* pod, std::size_t size) {
    const spa_pod_object* object = objectOf(pod, size, SPA_TYPE_OBJECT_ParamRoute);
    if (!object) return std::nullopt;
    PipeWireRoute route;
    const spa_pod_prop* prop;
    SPA_POD_OBJECT_FOREACH(object, prop) {
        std::int32_t n = 0;
        std::uint32_t id = 0;
        if (prop->key == SPA_PARAM_ROUTE_index && spa_pod_get_int(&prop->value, &n) == 0) route.index = n;
        else if (prop->key == SPA_PARAM_ROUTE_device && spa_pod_get_int(&prop->value, &n) == 0) route.device = n;
        else if (prop->key == SPA_PARAM_ROUTE_direction && spa_pod_get_id(&prop->value, &id) == 0)
            route.output = id == SPA_DIRECTION_OUTPUT;
        else if (prop->key == SPA_PARAM_ROUTE_name) {
            const char* name = nullptr;
            if (spa_pod_get_string(&prop->value, &name) == 0 && name) route.name = name;
        } else if (prop->key == SPA_PARAM_ROUTE_info)
            route.portType = infoValue(&prop->value, "port.type");
        else if (prop->key == SPA_PARAM_ROUTE_props && spa_pod_is_object_type(&prop->value, SPA_TYPE_OBJECT_Props))
            route.volumes = volumesOf(reinterpret_cast<const spa_pod_object*>(&prop->value));
    }
    if (route.index < 0 || route.device < 0) return std::nullopt;
    return route;
}

std::optional<PipeWireLatency> readLatencyParam(const void* pod, std::size_t size) {
    if (!objectOf(pod, size, SPA_TYPE_OBJECT_ParamLatency)) return std::nullopt;
    spa_latency_info info{};
    if (spa_latency_parse(static_cast<const spa_pod*>(pod), &info) < 0) return std::nullopt;
    return PipeWireLatency{info.direction == SPA_DIRECTION_OUTPUT, info.min_quantum, info.min_rate, info.min_ns};
}

std::uint32_t latencyFrames(const PipeWireLatency& latency, std::uint32_t quantum, std::uint32_t rate) {
    const double frames = double(latency.quantum) * quantum + latency.rate + double(latency.ns) * rate / 1e9;
    return std::uint32_t(std::clamp(std::lround(frames), 0l, long(UINT32_MAX)));
}

}  // namespace quellor
