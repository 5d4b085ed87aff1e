#pragma once
// The change wiring between the models and a view: the view names the change signals and the user
// defaults keys it reads, and its rebuild runs once, posted, after a burst of changes (a setup
// being opened changes dozens of values in one turn of the event loop).
//
// Threads: main thread only.
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>

#include "base/Scheduler.h"
#include "base/UserDefaults.h"

namespace quellor {

class ViewRefresh : public QObject {
    Q_OBJECT
public:
    explicit ViewRefresh(std::function<void()> rebuild, QObject* parent = nullptr)
        : QObject(parent), rebuild_(std::move(rebuild)) {}

    // Rebuild after `signal` of `source`.
    template <class Source, class Signal>
    ViewRefresh& watch(Source* source, Signal signal) {
        connect(source, signal, this, [this] { request(); });
        return *this;
    }
    // Rebuild after a change of any of `keys`.
    ViewRefresh& watchDefaults(UserDefaults& defaults, const QStringList& keys) {
        QSet<QString> set(keys.begin(), keys.end());
        connect(&defaults, &UserDefaults::changed, this, [this, set](const QString& key) {
            if (set.contains(key)) request();
        });
        return *this;
    }
    // Asks for one rebuild; further requests before it runs add nothing.
    void request() {
        if (pending_.pending()) return;
        pending_.set(Scheduler::current().post(alive_.guard([this] {
            pending_.clear();
            rebuild_();
        })));
    }
    bool pending() const { return pending_.pending(); }

private:
    std::function<void()> rebuild_;
    TaskSlot pending_;
    Liveness alive_;
};

}  // namespace quellor
