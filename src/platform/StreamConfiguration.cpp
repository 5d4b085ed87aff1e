#include "platform/StreamConfiguration.h"

#include <cstring>

namespace quellor {

std::uint32_t StreamConfiguration::totalChannels() const {
    std::uint32_t sum = 0;
    for (auto n : channelsPerBuffer) sum += n;
    return sum;
}

QByteArray StreamConfiguration::toBytes() const {
    QByteArray bytes(int(4 + 4 * channelsPerBuffer.size()), Qt::Uninitialized);
    std::uint32_t count = std::uint32_t(channelsPerBuffer.size());
    std::memcpy(bytes.data(), &count, 4);
    if (count) std::memcpy(bytes.data() + 4, channelsPerBuffer.data(), 4 * count);
    return bytes;
}

std::optional<StreamConfiguration> StreamConfiguration::fromBytes(const void* data, std::size_t size) {
    if (size < 4) return std::nullopt;
    std::uint32_t count = 0;
    std::memcpy(&count, data, 4);
    if ((size - 4) / 4 < count) return std::nullopt;
    StreamConfiguration config;
    config.channelsPerBuffer.resize(count);
    if (count) std::memcpy(config.channelsPerBuffer.data(), static_cast<const char*>(data) + 4, 4 * count);
    return config;
}

}  // namespace quellor
