#include "platform/PipeWireCycle.h"

#include <algorithm>
#include <cstdlib>

namespace quellor {

std::optional<PipeWireCycle::Timing> PipeWireCycle::next(const std::uint32_t* delivered, std::size_t count,
                                                         std::uint64_t wallNanos) {
    std::uint32_t frames = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (delivered[i] != 0) frames = frames == 0 ? delivered[i] : std::min(frames, delivered[i]);
    if (frames == 0) frames = lastFrames_;
    frames = std::min(frames, kMaxFrames);
    if (frames == 0) return std::nullopt;
    lastFrames_ = frames;

    std::uint64_t host = anchorHost_ + std::uint64_t(double(sampleTime_ - anchorFrame_) * nanosPerFrame_);
    const auto apart = std::llabs(std::int64_t(host - wallNanos));
    if (anchorHost_ == 0 || apart > std::int64_t(2.0 * frames * nanosPerFrame_)) {
        anchorHost_ = host = wallNanos;
        anchorFrame_ = sampleTime_;
    }
    Timing t;
    t.frames = frames;
    t.now = {double(sampleTime_), host};
    t.output = {double(sampleTime_ + frames), host + std::uint64_t(double(frames) * nanosPerFrame_)};
    sampleTime_ += frames;
    return t;
}

}  // namespace quellor
