#include "remote/OSCInbox.h"

namespace quellor {

OSCInbox::Pushed OSCInbox::push(OSCMessage message, const NetworkEndpoint& sender, bool level) {
    std::lock_guard lock(lock_);
    Outcome outcome = Outcome::Queued;
    auto waiting = level ? levels_.constFind(message.address) : levels_.constEnd();
    if (waiting != levels_.constEnd()) {
        Entry& entry = entries_[*waiting];
        entry.message.value = message.value;
        entry.sender = sender;
        outcome = Outcome::Replaced;
    } else if (entries_.size() >= kCapacity || addressLength_ + message.address.size() > kAddressBudget) {
        return {Outcome::Dropped, false};
    } else {
        addressLength_ += message.address.size();
        if (level) levels_.insert(message.address, entries_.size());
        entries_.push_back({std::move(message), sender});
    }
    const bool wake = !wakePending_;
    wakePending_ = true;
    return {outcome, wake};
}

std::vector<OSCInbox::Entry> OSCInbox::take() {
    std::vector<Entry> taken;
    std::lock_guard lock(lock_);
    taken.swap(entries_);
    levels_.clear();
    addressLength_ = 0;
    wakePending_ = false;
    return taken;
}

std::size_t OSCInbox::size() const {
    std::lock_guard lock(lock_);
    return entries_.size();
}

}  // namespace quellor
