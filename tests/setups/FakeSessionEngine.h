#pragma once
// An engine stand-in for setups tests: plain state behind the SessionEngine operations, a log of
// the calls that change something (in order), and the mix-change hook that a real engine calls
// after storing styles or a changed slot.
#include <functional>

#include "setups/SessionEngine.h"

namespace quellor::test {

class FakeSessionEngine : public SessionEngine {
public:
    struct TapMix {
        float volume;
        bool isMuted;
        float cueVolume;
        bool operator==(const TapMix&) const = default;
    };

    AppVolumeMap volumeMap;
    std::vector<OutputDevice> devices;
    std::optional<std::uint32_t> defaultDeviceID;
    float main = 0.5f;
    std::optional<float> phones;  // present: the output has a PHONES pair
    std::map<QString, TapMix> taps;
    QStringList strips = QStringList(16, QString());
    StripStyleMap styles;
    QStringList calls;
    std::function<void()> onMixChanged;

    AppVolumeMap volumes() const override { return volumeMap; }
    void setVolumes(const AppVolumeMap& v) override {
        volumeMap = v;
        calls << "setVolumes";
    }
    void scheduleSave() override { calls << "scheduleSave"; }

    std::vector<OutputDevice> outputDevices() const override { return devices; }
    std::optional<OutputDevice> currentOutputDevice() const override {
        for (const auto& d : devices)
            if (defaultDeviceID && d.id == *defaultDeviceID) return d;
        return std::nullopt;
    }
    void setDefaultOutputDevice(std::uint32_t id) override {
        defaultDeviceID = id;
        calls << QString("setDefaultOutputDevice %1").arg(id);
    }

    float mainLevel() const override { return main; }
    void setMainLevel(float level) override {
        main = level;
        calls << "setMainLevel";
    }
    std::optional<float> phonesLevel() const override { return phones; }
    void setPhonesLevel(float level) override {
        if (phones) phones = level;
        calls << "setPhonesLevel";
    }

    void restartMismatchedTaps() override { calls << "restartMismatchedTaps"; }
    QStringList liveTapBundleIDs() const override {
        QStringList ids;
        for (const auto& [id, mix] : taps) ids << id;
        return ids;
    }
    void setTapMix(const QString& id, float volume, bool isMuted, float cueVolume) override {
        taps[id] = TapMix{volume, isMuted, cueVolume};
        calls << "setTapMix " + id;
    }
    void applyCueModes() override { calls << "applyCueModes"; }

    QStringList consoleSlots() const override { return strips; }
    void setSlot(const QString& id, int index) override {
        if (index < 0 || index >= strips.size() || strips[index] == id) return;
        strips[index] = id;
        calls << QString("setSlot %1").arg(index);
        if (onMixChanged) onMixChanged();
    }
    StripStyleMap stripStyles() const override { return styles; }
    void setStripStyles(const StripStyleMap& s) override {
        styles = s;
        calls << "setStripStyles";
        if (onMixChanged) onMixChanged();
    }

    void sendAppList() override { calls << "sendAppList"; }
};

}  // namespace quellor::test
