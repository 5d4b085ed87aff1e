#include "platform/AudioTypes.h"

namespace quellor {

StreamFormat StreamFormat::float32(double rate, std::uint32_t channels) {
    StreamFormat f;
    f.sampleRate = rate;
    f.formatID = hal::kFormatLinearPCM;
    f.formatFlags = hal::kFormatFlagIsFloat;
    f.bytesPerFrame = 4 * channels;
    f.bytesPerPacket = f.bytesPerFrame;
    f.framesPerPacket = 1;
    f.channelsPerFrame = channels;
    f.bitsPerChannel = 32;
    return f;
}

}  // namespace quellor
