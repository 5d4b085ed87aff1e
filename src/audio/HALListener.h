#pragma once
// Owns one property-listener registration on the installed AudioHardware. The registration exists
// exactly as long as the object: construction registers, destruction removes (the removal status is
// not examined). A holder keeps the listener (std::unique_ptr, or a vector of them) and drops it to
// stop listening; nothing re-registers. After destruction the callback is never called, even for a
// notification that was already on its way.
//
// Threads: made and destroyed on the main thread; the callback runs on the main thread.

#include <cstdint>

#include "platform/AudioHardware.h"

namespace quellor {

class HALListener {
public:
    using Block = PropertyListener;  // (number of changed addresses, first changed address)

    HALListener(AudioObjectID objectID, const PropertyAddress& address, Block block);
    ~HALListener();
    HALListener(const HALListener&) = delete;
    HALListener& operator=(const HALListener&) = delete;

    AudioObjectID objectID() const { return objectID_; }
    const PropertyAddress& address() const { return address_; }

private:
    AudioObjectID objectID_;
    PropertyAddress address_;
    AudioHardware* hardware_;
    ListenerToken token_ = 0;
};

}  // namespace quellor
