#pragma once
// Last-seen times of flows (senders, connections) so that quiet ones can be let go.
// A plain value; its owner confines it to one thread.

#include <QHash>
#include <vector>

namespace quellor {

template <class Key>
class IdleFlowTracker {
public:
    void touch(const Key& key, double now) { lastSeen_.insert(key, now); }
    void forget(const Key& key) { lastSeen_.remove(key); }
    bool contains(const Key& key) const { return lastSeen_.contains(key); }
    bool isEmpty() const { return lastSeen_.isEmpty(); }

    // Removes and returns every key last seen more than `idleAfter` seconds before `now`.
    std::vector<Key> expire(double now, double idleAfter) {
        std::vector<Key> expired;
        for (auto it = lastSeen_.begin(); it != lastSeen_.end();) {
            if (now - it.value() > idleAfter) {
                expired.push_back(it.key());
                it = lastSeen_.erase(it);
            } else {
                ++it;
            }
        }
        return expired;
    }

private:
    QHash<Key, double> lastSeen_;
};

}  // namespace quellor
