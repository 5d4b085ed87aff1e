#pragma once
// The drag of a device list's rows, as logic. Dragging a row either reorders the list (the
// monitor's stored priority follows) or drops the device on a zone: a bus card (only MAIN publishes
// one) or an application row. The list decides nothing about what a drop means: it hands the drop to
// its owner's callbacks.
//
// Rows stand one pitch apart (PanelMetrics::DeviceList), so a row moves by a pitch a step. While the
// pointer is over a drop zone no reorder is previewed and a release there never reorders.
//
// The list can change during a drag (a device plugged in or out, a listener refresh re-sorting it):
// every step of a drag finds the dragged device by its UID in the list as it is at that moment, never
// by a row index kept from earlier. If the dragged device is no longer listed, the drag only resets.
//
// Threads: main thread only; the callbacks are called synchronously.

#include <QPointF>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "audio/AudioDevice.h"
#include "ui/panels/DropZones.h"

namespace quellor {

class DeviceListDrag {
public:
    static constexpr double kSettleSeconds = 0.15;  // the other rows slide aside, easing out

    struct Owner {
        // The zones at the moment of a pointer event, in window coordinates.
        std::function<BusZones()> busZones;
        std::function<AppRouteZones()> appZones;
        // Told which bus zone the dragged row is over (on a change only).
        std::function<void(std::optional<OutputBus>)> onBusHover;
        // A drop on a bus zone; without it bus zones count for nothing.
        std::function<void(OutputBus, const AudioDevice&)> onBusAssign;
        // Told which application zone the dragged row is over (on every move).
        std::function<void(std::optional<QString>)> onRouteHover;
        // A drop on an application zone; without it a release there falls through to the reorder.
        std::function<void(const QString& bundleID, const AudioDevice&)> onRoute;
        // A completed reorder: the visible UIDs in their new order and the dragged one.
        std::function<void(const QStringList& visibleUIDs, const QString& movedUID)> applyOrder;
    };

    // The devices of `all` whose UID is not excluded, in their order.
    static std::vector<AudioDevice> visibleDevices(const std::vector<AudioDevice>& all, const QSet<QString>& excluded);

    explicit DeviceListDrag(Owner owner) : owner_(std::move(owner)) {}

    // The visible list from now on. A drag whose device left the list is reset.
    void setDevices(std::vector<AudioDevice> visible);
    const std::vector<AudioDevice>& devices() const { return devices_; }

    // The row of `uid` was dragged by `translation` points vertically; the pointer is at `location`.
    void moved(const QString& uid, double translation, QPointF location);
    // The drag of the row of `uid` ended at `location`: assign, route or reorder, then reset.
    void finished(const QString& uid, QPointF location);
    // Ends a drag without a drop.
    void reset();

    const std::optional<QString>& draggedUID() const { return draggedUID_; }
    const std::optional<OutputBus>& hoveredBus() const { return hoveredBus_; }
    bool isOverRouteZone() const { return isOverRouteZone_; }

    // Where the dragged row would land now; its own index over a zone. -1 without a drag.
    int targetIndex() const;
    // The vertical offset of the row at `index`.
    double rowOffset(int index) const;
    // The top of the row at `index` in the list, its offset included.
    double rowTop(int index) const;
    // The height of a list of `rows` rows.
    static double listHeight(int rows);
    // A row other than the dragged one, while a drag runs, does not highlight under the pointer.
    bool suppressesHover(const QString& uid) const { return draggedUID_ && *draggedUID_ != uid; }

private:
    int indexOf(const QString& uid) const;
    int targetIndex(int from) const;
    BusZones busZones() const;
    AppRouteZones appZones() const;

    Owner owner_;
    std::vector<AudioDevice> devices_;
    std::optional<QString> draggedUID_;
    double dragOffset_ = 0;
    std::optional<OutputBus> hoveredBus_;
    bool isOverRouteZone_ = false;
};

}  // namespace quellor
