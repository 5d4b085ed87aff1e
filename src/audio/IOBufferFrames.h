#pragma once
// The stored IO buffer-size setting ("ioBufferFrames" in the standard user defaults): the frames the
// engine requests for its aggregate devices; 0 means automatic.
//
// Threads: main thread (reads UserDefaults::standard()).

#include <QString>
#include <cstdint>

namespace quellor {

// 0 when absent or not an integer; a negative value gives 0, and so does a value that does not fit
// 32 bits (it cannot be a buffer size, so it falls back to automatic).
std::uint32_t storedIOBufferFrames();

// "Automatic" for 0, otherwise "<frames> frames".
QString ioBufferFramesLabel(std::uint32_t frames);

}  // namespace quellor
