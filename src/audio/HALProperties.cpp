#include "audio/HALProperties.h"

#include "platform/AudioHardware.h"

namespace quellor {

namespace {

PropertyAddress at(std::uint32_t selector, std::uint32_t scope) { return {selector, scope, hal::kElementMain}; }

void check(OSStatus status, std::uint32_t selector) {
    if (status != hal::kStatusOK) throw HALError::osStatus(status, selector);
}

// A fixed-size read: the destination's size goes in, the size reported back is not looked at.
template <class T>
void readFixed(std::uint32_t selector, std::uint32_t scope, T& into, AudioObjectID objectID) {
    std::uint32_t size = sizeof(T);
    check(AudioHardware::installed().propertyData(objectID, at(selector, scope), size, &into), selector);
}

}  // namespace

void readHALProperty32(std::uint32_t selector, std::uint32_t scope, std::uint32_t& into, AudioObjectID objectID) {
    readFixed(selector, scope, into, objectID);
}

void readHALProperty32(std::uint32_t selector, std::uint32_t scope, std::int32_t& into, AudioObjectID objectID) {
    readFixed(selector, scope, into, objectID);
}

void readHALProperty32(std::uint32_t selector, std::uint32_t scope, float& into, AudioObjectID objectID) {
    readFixed(selector, scope, into, objectID);
}

void readHALProperty64(std::uint32_t selector, std::uint32_t scope, double& into, AudioObjectID objectID) {
    readFixed(selector, scope, into, objectID);
}

void readHALProperty64(std::uint32_t selector, std::uint32_t scope, QVariant& into, AudioObjectID objectID) {
    check(AudioHardware::installed().propertyObject(objectID, at(selector, scope), into), selector);
}

void readHALValueRange(std::uint32_t selector, std::uint32_t scope, ValueRange& into, AudioObjectID objectID) {
    readFixed(selector, scope, into, objectID);
}

void readHALStreamFormat(std::uint32_t selector, std::uint32_t scope, StreamFormat& into, AudioObjectID objectID) {
    readFixed(selector, scope, into, objectID);
}

QString stringProperty(AudioObjectID objectID, std::uint32_t selector) {
    QVariant value = QString();
    readHALProperty64(selector, hal::kScopeGlobal, value, objectID);
    return value.toString();
}

std::vector<std::uint32_t> readUInt32ArrayProperty(std::uint32_t selector, std::uint32_t scope,
                                                   AudioObjectID objectID) {
    AudioHardware& hardware = AudioHardware::installed();
    std::uint32_t size = 0;
    check(hardware.propertyDataSize(objectID, at(selector, scope), size), selector);
    if (size < 4) return {};
    std::vector<std::uint32_t> values(size / 4);
    std::uint32_t delivered = std::uint32_t(values.size() * 4);
    check(hardware.propertyData(objectID, at(selector, scope), delivered, values.data()), selector);
    // The list may have shrunk since the size query: what lies beyond the delivered bytes is not data.
    values.resize(std::min<std::size_t>(values.size(), delivered / 4));
    return values;
}

bool isPropertySettable(std::uint32_t selector, std::uint32_t scope, AudioObjectID objectID) {
    bool settable = false;
    OSStatus status = AudioHardware::installed().isPropertySettable(objectID, at(selector, scope), settable);
    return status == hal::kStatusOK && settable;
}

void setUInt32Property(std::uint32_t selector, std::uint32_t scope, std::uint32_t value, AudioObjectID objectID) {
    check(AudioHardware::installed().setPropertyData(objectID, at(selector, scope), sizeof(value), &value), selector);
}

}  // namespace quellor
