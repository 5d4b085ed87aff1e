#pragma once
// What the audio settings show and do, apart from their widgets: the IO buffer size that every tap
// asks its device for ("ioBufferFrames", 0 automatic), the output latency it gives, and the
// minimum-latency mode ("minLatencyMode"). A change stores the setting and rebuilds every tap at
// once, so it is heard at once; choosing what is already set changes and rebuilds nothing, and
// neither does showing the settings.
//
// A stored size that is none of the choices (written by hand or by an older version) is offered as
// one more item, after the others, so that the picker shows what the taps use without rewriting it.
//
// Threads: main thread only.
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace quellor {

class MixerEngine;
class UserDefaults;

// The buffer sizes offered, in menu order: automatic, then the largest first.
inline constexpr std::array<std::uint32_t, 7> kBufferFrameChoices{0, 1024, 512, 256, 128, 64, 32};

struct BufferChoice {
    std::uint32_t frames = 0;
    QString label;
    bool operator==(const BufferChoice&) const = default;
};

// The picker's items for a stored size: the fixed choices, then the stored size when it is none.
std::vector<BufferChoice> bufferChoices(std::uint32_t stored);

class AudioSettings : public QObject {
    Q_OBJECT
public:
    AudioSettings(MixerEngine& engine, UserDefaults& defaults, QObject* parent = nullptr);

    std::uint32_t bufferFrames() const;
    std::vector<BufferChoice> choices() const { return bufferChoices(bufferFrames()); }
    // The position of the stored size among choices().
    int selectedIndex() const;
    // "≈ 11.2 ms out" for the default output device at the stored size, read from the device now;
    // none without a default output device.
    std::optional<QString> latencyText() const;
    bool minLatency() const;

    void pickBufferFrames(std::uint32_t frames);
    void setMinLatency(bool on);

signals:
    // A setting or the default output device changed: read everything again.
    void changed();

private:
    MixerEngine& engine_;
    UserDefaults& defaults_;
};

}  // namespace quellor
