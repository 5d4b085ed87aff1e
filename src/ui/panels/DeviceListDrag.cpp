#include "ui/panels/DeviceListDrag.h"

#include <algorithm>
#include <cmath>

#include "ui/panels/PanelMetrics.h"

namespace quellor {

std::vector<AudioDevice> DeviceListDrag::visibleDevices(const std::vector<AudioDevice>& all,
                                                        const QSet<QString>& excluded) {
    std::vector<AudioDevice> visible;
    for (const AudioDevice& d : all)
        if (!excluded.contains(d.uid)) visible.push_back(d);
    return visible;
}

void DeviceListDrag::setDevices(std::vector<AudioDevice> visible) {
    devices_ = std::move(visible);
    if (draggedUID_ && indexOf(*draggedUID_) < 0) reset();
}

int DeviceListDrag::indexOf(const QString& uid) const {
    for (std::size_t i = 0; i < devices_.size(); ++i)
        if (devices_[i].uid == uid) return int(i);
    return -1;
}

BusZones DeviceListDrag::busZones() const {
    // Without an owner for bus drops, bus zones are not there at all.
    return owner_.onBusAssign && owner_.busZones ? owner_.busZones() : BusZones{};
}

AppRouteZones DeviceListDrag::appZones() const { return owner_.appZones ? owner_.appZones() : AppRouteZones{}; }

void DeviceListDrag::moved(const QString& uid, double translation, QPointF location) {
    if (indexOf(uid) < 0) return;
    draggedUID_ = uid;
    dragOffset_ = translation;
    const std::optional<OutputBus> bus = busZones().hit(location);
    if (bus != hoveredBus_) {
        hoveredBus_ = bus;
        if (owner_.onBusHover) owner_.onBusHover(bus);
    }
    // Zones are searched whether or not the owner takes route drops: they still hold the reorder.
    const std::optional<QString> app = bus ? std::nullopt : appZones().hit(location);
    isOverRouteZone_ = app.has_value();
    if (owner_.onRouteHover) owner_.onRouteHover(app);
}

void DeviceListDrag::finished(const QString& uid, QPointF location) {
    const int index = indexOf(uid);
    if (index >= 0) {
        const AudioDevice device = devices_[std::size_t(index)];
        if (auto bus = busZones().hit(location)) {
            owner_.onBusAssign(*bus, device);
        } else if (auto app = owner_.onRoute ? appZones().hit(location) : std::nullopt) {
            owner_.onRoute(*app, device);
        } else {
            const int target = targetIndex(index);
            if (target != index && owner_.applyOrder) {
                QStringList uids;
                for (const AudioDevice& d : devices_) uids.append(d.uid);
                uids.move(index, target);
                owner_.applyOrder(uids, device.uid);
            }
        }
    }
    reset();
}

void DeviceListDrag::reset() {
    if (hoveredBus_) {
        hoveredBus_.reset();
        if (owner_.onBusHover) owner_.onBusHover(std::nullopt);
    }
    isOverRouteZone_ = false;
    if (owner_.onRouteHover) owner_.onRouteHover(std::nullopt);
    draggedUID_.reset();
    dragOffset_ = 0;
}

int DeviceListDrag::targetIndex(int from) const {
    if (hoveredBus_ || isOverRouteZone_) return from;
    const int step = int(std::round(dragOffset_ / PanelMetrics::DeviceList::kRowPitch));  // halves away from zero
    return std::clamp(from + step, 0, std::max(0, int(devices_.size()) - 1));
}

int DeviceListDrag::targetIndex() const {
    const int from = draggedUID_ ? indexOf(*draggedUID_) : -1;
    return from < 0 ? -1 : targetIndex(from);
}

double DeviceListDrag::rowOffset(int index) const {
    if (!draggedUID_) return 0;
    const int from = indexOf(*draggedUID_);
    if (from < 0) return 0;
    if (index == from) return dragOffset_;
    const int target = targetIndex(from);
    if (from < index && index <= target) return -PanelMetrics::DeviceList::kRowPitch;
    if (target <= index && index < from) return PanelMetrics::DeviceList::kRowPitch;
    return 0;
}

double DeviceListDrag::rowTop(int index) const {
    return index * PanelMetrics::DeviceList::kRowPitch + rowOffset(index);
}

double DeviceListDrag::listHeight(int rows) {
    using List = PanelMetrics::DeviceList;
    return rows == 0 ? 0 : rows * List::kRowPitch - List::kRowSpacing;
}

}  // namespace quellor
