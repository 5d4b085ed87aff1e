#include "audio/HALListener.h"

namespace quellor {

HALListener::HALListener(AudioObjectID objectID, const PropertyAddress& address, Block block)
    : objectID_(objectID), address_(address), hardware_(&AudioHardware::installed()) {
    // A failed registration leaves token 0; the listener then simply never fires.
    hardware_->addPropertyListener(objectID_, address_, std::move(block), token_);
}

HALListener::~HALListener() {
    if (token_ != 0) hardware_->removePropertyListener(objectID_, address_, token_);
}

}  // namespace quellor
