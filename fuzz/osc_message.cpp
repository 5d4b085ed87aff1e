// One UDP datagram as the OSC listener receives it. A message that decodes has a "/" address in
// valid UTF-8 and a value, when it has one, in 0...1; what the mixer decodes, its own encoder
// writes back to the same message.
#include <cmath>

#include "FuzzSupport.h"
#include "remote/OSCMessage.h"
#include "remote/OSCSender.h"

using namespace quellor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto message = decodeOSCMessage(fuzz::bytes(data, size));
    if (!message) return 0;
    FUZZ_CHECK(message->address.startsWith(u'/'));
    FUZZ_CHECK(!message->address.contains(QChar(0)));
    if (message->value) {
        const float v = *message->value;
        FUZZ_CHECK(std::isfinite(v) && v >= 0.0f && v <= 1.0f && !std::signbit(v));
        FUZZ_CHECK(decodeOSCMessage(OSCSender::message(message->address, v)) == message);
    }
    return 0;
}
