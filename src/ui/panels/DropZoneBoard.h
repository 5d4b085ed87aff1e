#pragma once
// Where the views that take a dropped device lie, for the host of a device drag (the mixer view).
// A view puts itself on the board under its key: the MAIN card under its bus, each application row
// under its bundle identifier (a row shown for another application moves to the new key). The board
// measures every view at the moment the zones are asked for, so a zone always follows its view when
// it moves, resizes or scrolls. A zone is only the part of its view that can be seen (clipped by
// every parent, a scrolled viewport above all); a hidden view, or one scrolled out of sight, has no
// zone, and a destroyed one leaves the board.
//
// Zones are in the coordinate space of the window (windowPoint() turns a pointer position into it).
// Of two views under one key, the one put on the board later wins.
//
// Threads: main thread only.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <variant>
#include <vector>

#include "ui/panels/DropZones.h"

namespace quellor {

class DropZoneBoard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The view's zone is its bus from now on (replacing any key it had).
    void putBus(QWidget* view, OutputBus bus);
    // The view's zone is the application `bundleID` from now on (replacing any key it had).
    void putApp(QWidget* view, const QString& bundleID);
    void remove(QWidget* view);

    BusZones busZones() const;
    AppRouteZones appZones() const;

    // The visible part of a view's frame (empty when none is), and a point of a view, in its
    // window's coordinates.
    static QRectF windowFrame(const QWidget& view);
    static QPointF windowPoint(const QWidget& view, QPointF local);

private:
    struct Entry {
        QPointer<QWidget> view;
        std::variant<OutputBus, QString> key;
    };
    void put(QWidget* view, std::variant<OutputBus, QString> key);
    template <class Key>
    DropZones<Key> collect() const;

    std::vector<Entry> entries_;  // in the order the views were put
};

}  // namespace quellor
