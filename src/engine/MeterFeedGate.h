#pragma once
// Remembers when the companion app last made contact, so that the feeds to it ("/meters",
// "/app/list") stop once it has been silent for more than 20 s. Times are seconds on the
// scheduler's monotonic clock.
//
// A plain value; the engine keeps one and uses it on the main thread.

#include <optional>

namespace quellor {

struct MeterFeedGate {
    static constexpr double kWindow = 20.0;

    std::optional<double> lastContact;

    // Records a contact. True when the feed (re)opens: no contact was stored, or the stored one is
    // more than the window before `now`.
    bool touch(double now) {
        const bool opens = !lastContact || now - *lastContact > kWindow;
        lastContact = now;
        return opens;
    }
    // A contact is stored and `now` is at most the window after it.
    bool isOpen(double now) const { return lastContact && now - *lastContact <= kWindow; }
    // True (and the contact is forgotten) when a stored contact has run out at `now`: the feed is
    // to be paused. False when nothing is stored or the gate is still open.
    bool expire(double now) {
        if (!lastContact || isOpen(now)) return false;
        lastContact.reset();
        return true;
    }
};

}  // namespace quellor
