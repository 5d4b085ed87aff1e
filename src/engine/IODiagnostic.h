#pragma once
// A diagnostic line recorded on the realtime IO path: only numbers, copied into a preallocated
// ring; the text is formatted and logged later on the main thread.
//
// Threads: filled on the IO thread; text() allocates and is for the main thread only.

#include <QString>
#include <array>
#include <cstdint>

namespace quellor {

struct IODiagnostic {
    enum class Kind : std::uint8_t { Shape, PeakDiag };
    // Buffers described per list; a longer list is counted whole but only these are listed.
    static constexpr int kMaxBuffers = 16;

    struct BufferShape {
        std::uint32_t channels = 0;
        std::uint32_t byteSize = 0;
    };

    Kind kind = Kind::Shape;
    std::uint32_t outCount = 0;
    std::uint32_t inCount = 0;
    // Shape
    std::array<BufferShape, kMaxBuffers> outShapes{};
    std::array<BufferShape, kMaxBuffers> inShapes{};
    bool isFloat32 = true;
    // PeakDiag
    std::uint64_t renderCount = 0;
    std::array<float, kMaxBuffers> inPeaks{};
    std::array<float, kMaxBuffers> outPeaks{};
    float target = 0;
    float volume = 0;
    float maxTap = 0;
    float maxIn0 = 0;

    // "SHAPE out[..]: .. | in[..]: .. | float32=.." or "PEAKDIAG n=.. inPeaks=[..] ...".
    QString text() const;
};

}  // namespace quellor
