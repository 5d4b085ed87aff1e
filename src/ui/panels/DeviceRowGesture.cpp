#include "ui/panels/DeviceRowGesture.h"

#include <cmath>

namespace quellor {

void DeviceRowGesture::pressed(QPointF location, bool onDisconnectButton) {
    pressAt_ = location;
    onButton_ = onDisconnectButton;
    isDragging_ = false;
}

std::optional<DeviceRowGesture::Moved> DeviceRowGesture::moved(QPointF location, bool canReorder) {
    if (!pressAt_) return std::nullopt;
    const QPointF delta = location - *pressAt_;
    if (!isDragging_ && std::hypot(delta.x(), delta.y()) < kMinimumDragDistance) return std::nullopt;
    // From here on the press is a drag, whatever it began on; it is no click any more.
    onButton_ = false;
    if (!canReorder) {
        pressAt_.reset();
        return std::nullopt;
    }
    isDragging_ = true;
    return Moved{delta.y(), location};
}

DeviceRowGesture::Release DeviceRowGesture::released(QPointF location, bool canReorder) {
    Release release;
    if (!pressAt_) return release;
    if (isDragging_) {
        if (canReorder) release.finished = Finished{location};
    } else {
        const QPointF delta = location - *pressAt_;
        if (std::hypot(delta.x(), delta.y()) < kMinimumDragDistance)
            release.click = onButton_ ? Click::DisconnectButton : Click::Row;
    }
    cancel();
    return release;
}

void DeviceRowGesture::cancel() {
    pressAt_.reset();
    onButton_ = false;
    isDragging_ = false;
}

}  // namespace quellor
