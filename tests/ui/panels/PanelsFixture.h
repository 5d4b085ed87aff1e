#pragma once
// The panels on the console's simulated world (a four-channel interface as the default output, a
// stereo speaker pair, two running applications), with a MIDI mapping manager.
#include "remote/MIDIMappingManager.h"
#include "ui/console/ConsoleFixture.h"
#include "ui/style/MenuModel.h"

namespace quellor::test {

// A volume control that can or cannot set its volume and mute, at 0.25.
class FakeVolume : public VolumeControlling {
public:
    FakeVolume(bool canSet, bool canMute) : canSet_(canSet), canMute_(canMute) {}
    float volume() const override { return 0.25f; }
    bool isMuted() const override { return muted_; }
    bool canSetVolume() const override { return canSet_; }
    bool canMute() const override { return canMute_; }
    void setVolume(float) override {}
    void toggleMute() override { muted_ = !muted_; }

private:
    bool canSet_, canMute_, muted_ = false;
};

class PanelsFixture : public ConsoleFixture {
protected:
    // The titles of a menu's items, "-" for a separator.
    static QStringList menuTitles(const MenuModel& menu) {
        QStringList out;
        for (const MenuItem& item : menu) out << (item.kind == MenuItem::Kind::Separator ? "-" : item.title);
        return out;
    }
    AudioDevice outputDevice(const QString& uid) {
        for (const AudioDevice& d : engine().deviceMonitor().devices())
            if (d.uid == uid) return d;
        ADD_FAILURE() << "no output device " << qPrintable(uid);
        return {};
    }
    void makeDefault(AudioObjectID device) {
        hardware.setDefaultOutputDevice(device);
        settle();
    }
    // Counts every write of the stored bus pairings.
    int pairingStores() const { return pairingStores_; }
    void countPairingStores() {
        QObject::connect(&defaults(), &UserDefaults::changed, &mappings, [this](const QString& key) {
            if (key == "busPairings") ++pairingStores_;
        });
    }

    MIDIMappingManager mappings{defaults()};

private:
    int pairingStores_ = 0;
};

}  // namespace quellor::test
