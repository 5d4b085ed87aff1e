#pragma once
// Typed reads and writes of audio-object properties through the installed AudioHardware. Every
// operation addresses element 0. Failures throw HALError::osStatus with the hardware's status and
// the selector; nothing here logs.
//
// The fixed-size readers pass the size of their destination and ignore the size reported back: a
// read that succeeds without writing leaves the destination as the caller set it.
//
// Threads: plain synchronous calls with no shared state; any non-realtime thread.

#include <QString>
#include <QVariant>
#include <cstdint>
#include <vector>

#include "audio/HALError.h"
#include "platform/AudioConstants.h"
#include "platform/AudioTypes.h"

namespace quellor {

// 4-byte values: device ids, volumes, mute and running flags, buffer sizes, latencies, pids.
void readHALProperty32(std::uint32_t selector, std::uint32_t scope, std::uint32_t& into, AudioObjectID objectID);
void readHALProperty32(std::uint32_t selector, std::uint32_t scope, std::int32_t& into, AudioObjectID objectID);
void readHALProperty32(std::uint32_t selector, std::uint32_t scope, float& into, AudioObjectID objectID);
// 8-byte values: Float64 (sample rates), or an object reference (a string or string list), which
// arrives as a QString or QStringList and replaces `into` only when the hardware delivers one.
void readHALProperty64(std::uint32_t selector, std::uint32_t scope, double& into, AudioObjectID objectID);
void readHALProperty64(std::uint32_t selector, std::uint32_t scope, QVariant& into, AudioObjectID objectID);
void readHALValueRange(std::uint32_t selector, std::uint32_t scope, ValueRange& into, AudioObjectID objectID);
void readHALStreamFormat(std::uint32_t selector, std::uint32_t scope, StreamFormat& into, AudioObjectID objectID);

// A string property in the global scope; the empty string when the read succeeds without a value.
QString stringProperty(AudioObjectID objectID, std::uint32_t selector);

// A UInt32 list (device ids, process objects): the size query, then the read. Below 4 bytes the
// list is empty and nothing is read. When the read delivers fewer bytes than the size query
// promised (the list shrank in between), only the delivered values are returned.
std::vector<std::uint32_t> readUInt32ArrayProperty(std::uint32_t selector, std::uint32_t scope, AudioObjectID objectID);

// True only when the hardware answers the question and says settable; never throws.
bool isPropertySettable(std::uint32_t selector, std::uint32_t scope, AudioObjectID objectID);

void setUInt32Property(std::uint32_t selector, std::uint32_t scope, std::uint32_t value, AudioObjectID objectID);

}  // namespace quellor
