#pragma once
// The drop zones of a device drag: where on screen each view that takes a dropped device lies. The
// MAIN bus card publishes one for its bus, each application row one for its bundle identifier; the
// host (the mixer view) collects them and the device list hit-tests the pointer against them.
//
// All rectangles and points are in the coordinate space of the window (see DropZoneBoard for the
// widgets' side). A later publication for the same key replaces the earlier one: the latest frame of
// a view is its zone, and of two views under one key the one published last wins.
//
// Hit tests look at the zones in key order, so overlapping zones always answer the same way: MAIN
// before PHONES, and application zones by bundle identifier.
//
// Threads: values only; any thread.

#include <QPointF>
#include <QRectF>
#include <QString>
#include <map>
#include <optional>

#include "ui/panels/OutputBus.h"

namespace quellor {

class MixerEngine;
struct AudioDevice;

template <class Key>
class DropZones {
public:
    // The zone of `key` is `frame` from now on.
    void publish(const Key& key, const QRectF& frame) { zones_[key] = frame; }
    // The key has no zone any more (its view went away).
    void withdraw(const Key& key) { zones_.erase(key); }
    // Takes every zone of `later`; where both hold a key, `later`'s rectangle wins.
    void merge(const DropZones& later) {
        for (const auto& [key, frame] : later.zones_) zones_[key] = frame;
    }

    // The first zone, in key order, whose rectangle contains `point` (edges included).
    std::optional<Key> hit(QPointF point) const {
        for (const auto& [key, frame] : zones_)
            if (frame.contains(point)) return key;
        return std::nullopt;
    }

    const std::map<Key, QRectF>& zones() const { return zones_; }
    bool empty() const { return zones_.empty(); }
    bool operator==(const DropZones&) const = default;

private:
    std::map<Key, QRectF> zones_;
};

using BusZones = DropZones<OutputBus>;
using AppRouteZones = DropZones<QString>;  // keyed by bundle identifier

// A device dropped on an application's row: the first running application with `bundleID`, in the
// process monitor's order, plays to `device` as well from now on. An application that quit while the
// device was dragged is no target: nothing happens and the result is false.
bool routeDeviceToApp(MixerEngine& engine, const QString& bundleID, const AudioDevice& device);

}  // namespace quellor
