#include "ui/settings/AudioSettings.h"

#include <algorithm>

#include "audio/AudioDeviceMonitor.h"
#include "audio/IOBufferFrames.h"
#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"

namespace quellor {

namespace {
const QString kBufferKey = QStringLiteral("ioBufferFrames");
const QString kMinLatencyKey = QStringLiteral("minLatencyMode");
}  // namespace

std::vector<BufferChoice> bufferChoices(std::uint32_t stored) {
    std::vector<BufferChoice> items;
    for (std::uint32_t frames : kBufferFrameChoices) items.push_back({frames, ioBufferFramesLabel(frames)});
    if (std::find(kBufferFrameChoices.begin(), kBufferFrameChoices.end(), stored) == kBufferFrameChoices.end())
        items.push_back({stored, ioBufferFramesLabel(stored)});
    return items;
}

AudioSettings::AudioSettings(MixerEngine& engine, UserDefaults& defaults, QObject* parent)
    : QObject(parent), engine_(engine), defaults_(defaults) {
    connect(&defaults_, &UserDefaults::changed, this, [this](const QString& key) {
        if (key == kBufferKey || key == kMinLatencyKey) emit changed();
    });
    connect(&engine_.deviceMonitor(), &AudioDeviceMonitor::defaultDeviceIDChanged, this, &AudioSettings::changed);
    connect(&engine_.deviceMonitor(), &AudioDeviceMonitor::devicesChanged, this, &AudioSettings::changed);
}

std::uint32_t AudioSettings::bufferFrames() const { return storedIOBufferFrames(defaults_); }

int AudioSettings::selectedIndex() const {
    const auto items = choices();
    const auto it = std::find_if(items.begin(), items.end(),
                                 [frames = bufferFrames()](const BufferChoice& c) { return c.frames == frames; });
    return int(it - items.begin());
}

std::optional<QString> AudioSettings::latencyText() const {
    const auto ms = engine_.readOutputLatency(int(bufferFrames()));
    if (!ms) return std::nullopt;
    return outputLatencyText(*ms);
}

bool AudioSettings::minLatency() const { return defaults_.boolOr(kMinLatencyKey, false); }

void AudioSettings::pickBufferFrames(std::uint32_t frames) {
    if (frames == bufferFrames()) return;
    defaults_.setInteger(kBufferKey, qint64(frames));
    engine_.taps().restartAll();
}

void AudioSettings::setMinLatency(bool on) {
    if (on == minLatency()) return;
    defaults_.setBool(kMinLatencyKey, on);
    engine_.taps().restartAll();
}

}  // namespace quellor
