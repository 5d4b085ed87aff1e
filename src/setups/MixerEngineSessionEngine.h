#pragma once
// The setups' view of the real engine: each SessionEngine operation is the engine operation of the
// same meaning. The default output is changed through the engine's output device monitor, the MAIN
// level is the system output volume and the PHONES level the engine's PHONES bus control while the
// current output has a PHONES pair.
//
// Threads: main thread only. The engine must outlive the adapter.

#include "setups/SessionEngine.h"

namespace quellor {

class MixerEngine;

class MixerEngineSessionEngine : public SessionEngine {
public:
    explicit MixerEngineSessionEngine(MixerEngine& engine) : engine_(engine) {}

    AppVolumeMap volumes() const override;
    void setVolumes(const AppVolumeMap& volumes) override;
    void scheduleSave() override;

    std::vector<OutputDevice> outputDevices() const override;
    std::optional<OutputDevice> currentOutputDevice() const override;
    void setDefaultOutputDevice(std::uint32_t deviceID) override;

    float mainLevel() const override;
    void setMainLevel(float level) override;
    std::optional<float> phonesLevel() const override;
    void setPhonesLevel(float level) override;

    void restartMismatchedTaps() override;
    QStringList liveTapBundleIDs() const override;
    void setTapMix(const QString& bundleID, float volume, bool isMuted, float cueVolume) override;
    void applyCueModes() override;

    QStringList consoleSlots() const override;
    void setSlot(const QString& id, int index) override;
    StripStyleMap stripStyles() const override;
    void setStripStyles(const StripStyleMap& styles) override;

    void sendAppList() override;

private:
    MixerEngine& engine_;
};

}  // namespace quellor
