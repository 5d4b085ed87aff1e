#pragma once
// The stored IO buffer-size setting ("ioBufferFrames"): the frames the engine requests for its
// aggregate devices; 0 means automatic.
//
// Threads: the thread that owns the defaults (the main thread).

#include <QString>
#include <cstdint>

namespace quellor {

class UserDefaults;

// 0 when absent or not an integer; a negative value gives 0, and so does a value that does not fit
// 32 bits (it cannot be a buffer size, so it falls back to automatic).
std::uint32_t storedIOBufferFrames(const UserDefaults& defaults);

// "Automatic" for 0, otherwise "<frames> frames".
QString ioBufferFramesLabel(std::uint32_t frames);

// An output latency in milliseconds as the settings and the diagnostics show it: "≈ 11.2 ms out".
QString outputLatencyText(double milliseconds);

}  // namespace quellor
