#include "ui/panels/DropZoneBoard.h"

namespace quellor {

void DropZoneBoard::put(QWidget* view, std::variant<OutputBus, QString> key) {
    bool known = false;
    for (const Entry& e : entries_) {
        if (e.view != view) continue;
        if (e.key == key) return;  // a redrawn view keeps its place
        known = true;
    }
    if (known) remove(view);
    else
        connect(view, &QObject::destroyed, this,
                [this] { std::erase_if(entries_, [](const Entry& e) { return e.view.isNull(); }); });
    entries_.push_back({view, std::move(key)});
}

void DropZoneBoard::putBus(QWidget* view, OutputBus bus) { put(view, bus); }

void DropZoneBoard::putApp(QWidget* view, const QString& bundleID) { put(view, bundleID); }

void DropZoneBoard::remove(QWidget* view) {
    std::erase_if(entries_, [view](const Entry& e) { return e.view == view || e.view.isNull(); });
}

template <class Key>
DropZones<Key> DropZoneBoard::collect() const {
    DropZones<Key> zones;
    for (const Entry& e : entries_) {
        if (!e.view || !e.view->isVisible()) continue;
        const QRectF frame = windowFrame(*e.view);
        if (frame.isEmpty()) continue;  // scrolled out of sight
        if (const Key* key = std::get_if<Key>(&e.key)) zones.publish(*key, frame);
    }
    return zones;
}

BusZones DropZoneBoard::busZones() const { return collect<OutputBus>(); }

AppRouteZones DropZoneBoard::appZones() const { return collect<QString>(); }

QRectF DropZoneBoard::windowFrame(const QWidget& view) {
    // Only the part the user can see: every parent up to the window clips it (a scrolled page's
    // viewport above all), so a drop over a header that covers a scrolled row misses the row.
    QRect visible = view.rect();
    const QWidget* child = &view;
    for (const QWidget* parent = view.parentWidget(); parent && !child->isWindow(); parent = parent->parentWidget()) {
        visible.translate(child->pos());
        visible &= parent->rect();
        child = parent;
    }
    if (visible.isEmpty()) return {};
    return QRectF(view.window()->mapFrom(child, visible.topLeft()), QSizeF(visible.size()));
}

QPointF DropZoneBoard::windowPoint(const QWidget& view, QPointF local) {
    return view.mapTo(view.window(), local);
}

}  // namespace quellor
