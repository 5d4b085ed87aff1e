#include "ui/panels/DevicesPage.h"

#include <algorithm>

#include "audio/AudioDeviceMonitor.h"
#include "audio/AudioProcessMonitor.h"
#include "audio/BluetoothAudioMonitor.h"
#include "engine/MixerEngine.h"
#include "ui/panels/PanelMetrics.h"

namespace quellor {

std::vector<BluetoothAudioDevice> unconnectedBluetoothDevices(const std::vector<BluetoothAudioDevice>& paired,
                                                              const std::vector<AudioDevice>& outputs) {
    std::vector<BluetoothAudioDevice> unconnected;
    for (const BluetoothAudioDevice& b : paired)
        if (std::none_of(outputs.begin(), outputs.end(),
                         [&](const AudioDevice& d) { return b.ownsAudioDeviceUID(d.uid); }))
            unconnected.push_back(b);
    return unconnected;
}

QMargins DevicesPage::margins() {
    using Page = PanelMetrics::Page;
    return {Page::kPadding - Page::kListOutset, Page::kPadding, Page::kPadding - Page::kListOutset, Page::kPadding};
}

DevicesPage DevicesPage::of(MixerEngine& engine, AudioSide side, const std::optional<QString>& staged,
                            const std::optional<QString>& available) {
    DevicesPage model;
    model.side = side;
    if (auto current = engine.currentOutputDevice()) model.inUseOutputUIDs.insert(current->uid);
    for (const AudioApp& app : engine.processMonitor().apps())
        for (const QString& uid : engine.outputDeviceUIDs(app)) model.inUseOutputUIDs.insert(uid);
    const auto& outputs = engine.deviceMonitor().devices();
    const bool started = engine.isStarted();
    const bool spareOutputs = std::any_of(outputs.begin(), outputs.end(), [&](const AudioDevice& d) {
        return !model.inUseOutputUIDs.contains(d.uid);
    });
    model.showsOutputList = started && side == AudioSide::Output && spareOutputs;
    model.showsInputList = started && side == AudioSide::Input && engine.inputDeviceMonitor().devices().size() >= 2;
    if (started) model.bluetooth = unconnectedBluetoothDevices(engine.bluetooth().paired(), outputs);
    model.showsPermissionBanner = engine.needsAudioCapturePermission();
    model.updateVersion = staged ? staged : available;
    return model;
}

}  // namespace quellor
