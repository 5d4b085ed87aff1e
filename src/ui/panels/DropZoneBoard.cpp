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
    for (const Entry& e : entries_)
        if (e.view && e.view->isVisible())
            if (const Key* key = std::get_if<Key>(&e.key)) zones.publish(*key, windowFrame(*e.view));
    return zones;
}

BusZones DropZoneBoard::busZones() const { return collect<OutputBus>(); }

AppRouteZones DropZoneBoard::appZones() const { return collect<QString>(); }

QRectF DropZoneBoard::windowFrame(const QWidget& view) {
    return QRectF(windowPoint(view, QPointF(0, 0)), QSizeF(view.size()));
}

QPointF DropZoneBoard::windowPoint(const QWidget& view, QPointF local) {
    return view.mapTo(view.window(), local);
}

}  // namespace quellor
