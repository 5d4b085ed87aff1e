#include <QSignalSpy>

#include "audio/AudioDeviceMonitor.h"
#include "audio/DevicePriorityStore.h"
#include "platform/SimulatedHardwareFixture.h"

namespace quellor {
namespace {

class AudioDeviceMonitorTest : public test::SimulatedHardwareTest {
protected:
    static QStringList uids(const AudioDeviceMonitor& m) {
        QStringList result;
        for (const auto& d : m.devices()) result.append(d.uid);
        return result;
    }
    static SimulatedDevice named(const QString& uid, const QString& name, std::uint32_t outputs,
                                 std::uint32_t inputs = 0) {
        SimulatedDevice d = device(uid, outputs, inputs);
        d.name = name;
        return d;
    }
    void rank(const QStringList& order, const QStringList& armed) {
        DevicePriorityStore store{QStringLiteral("devicePriority"), defaults()};
        store.saveOrder(order);
        store.saveArmed(QSet<QString>(armed.begin(), armed.end()));
    }
    int policyLines() const {
        int n = 0;
        for (const auto& r : logs.records(QStringLiteral("AudioDeviceMonitor")))
            if (r.text.contains(QLatin1String("NOT switching"))) n += 1;
        return n;
    }
    // Delivers the listeners' notifications and the refreshes they start.
    void settle() { scheduler().runPending(); }
};

TEST_F(AudioDeviceMonitorTest, ListsDevicesWithChannelsInItsDirectionAndHidesItsOwnAggregates) {
    hw.addDevice(named("speakers", "Speakers", 2));
    AudioObjectID mic = hw.addDevice(named("mic", "Microphone", 0, 1));
    SimulatedDevice usb = named("usb", "USB Interface", 0, 2);
    usb.output.streams.channelsPerBuffer = {2, 6};
    usb.output.dataSource = 0x6973706b;
    hw.addDevice(usb);
    SimulatedDevice ownAggregate = named("agg1", "Quellor aggregate #41", 2);
    ownAggregate.transport = hal::kTransportAggregate;
    hw.addDevice(ownAggregate);
    SimulatedDevice oldAggregate = ownAggregate;
    oldAggregate.uid = "agg2";
    oldAggregate.name = "Lintor aggregate #3";
    hw.addDevice(oldAggregate);
    SimulatedDevice userAggregate = ownAggregate;
    userAggregate.uid = "agg3";
    userAggregate.name = "Studio aggregate";
    hw.addDevice(userAggregate);
    hw.addDevice(named("plain", "Quellor Speakers", 2));  // not an aggregate: listed
    AudioObjectID noName = hw.addDevice(named("noname", "Nameless", 2));
    hw.failEvery({SimulatedHardware::Call::Object, noName, hal::kName, std::nullopt}, hal::kStatusUnspecified);
    AudioObjectID noTransport = hw.addDevice(named("notran", "Zebra", 2));
    hw.failEvery({SimulatedHardware::Call::Data, noTransport, hal::kTransportType, std::nullopt}, hal::kStatusUnspecified);

    AudioDeviceMonitor output(AudioDirection::output, defaults());
    AudioDeviceMonitor input(AudioDirection::input, defaults());
    output.start();
    input.start();

    EXPECT_EQ(uids(output), (QStringList{"plain", "speakers", "agg3", "usb", "notran"}));
    EXPECT_EQ(uids(input), (QStringList{"mic", "usb"}));
    const AudioDevice& interface = output.devices()[3];
    EXPECT_EQ(interface.outputChannels, 8);
    EXPECT_EQ(interface.outputDataSource, 0x6973706bu);
    EXPECT_EQ(interface.transport, hal::kTransportBuiltIn);
    EXPECT_EQ(output.devices()[4].transport, 0u);
    EXPECT_EQ(input.devices()[0].outputChannels, 0);
    EXPECT_EQ(input.devices()[0].id, mic);
    EXPECT_EQ(input.devices()[1].outputChannels, 8);  // output channels, also in the input list
}

TEST_F(AudioDeviceMonitorTest, FollowsDeviceAndDefaultChangesAndStaysQuietOnEqualLists) {
    AudioObjectID speakers = hw.addDevice(named("speakers", "Speakers", 2));
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    monitor.start();
    EXPECT_EQ(monitor.defaultDeviceID(), speakers);
    QSignalSpy listChanges(&monitor, &AudioDeviceMonitor::devicesChanged);

    AudioObjectID usb = hw.addDevice(named("usb", "Interface", 8));
    hw.setDefaultOutputDevice(usb);
    settle();
    EXPECT_EQ(uids(monitor), (QStringList{"usb", "speakers"}));
    EXPECT_EQ(monitor.defaultDeviceID(), usb);
    EXPECT_EQ(listChanges.count(), 1);

    hw.notify(hal::kSystemObject, {hal::kDevices, hal::kScopeGlobal, hal::kElementMain});
    settle();
    EXPECT_EQ(listChanges.count(), 1);

    // The list cannot be read: the default is taken, the previous list stays.
    hw.failEvery({SimulatedHardware::Call::DataSize, hal::kSystemObject, hal::kDevices, std::nullopt},
                 hal::kStatusUnspecified);
    hw.removeDevice(usb);
    settle();
    EXPECT_EQ(monitor.defaultDeviceID(), speakers);
    EXPECT_EQ(uids(monitor), (QStringList{"usb", "speakers"}));
    EXPECT_TRUE(logs.contains(QStringLiteral("AudioDeviceMonitor"), LogLevel::Error,
                              QStringLiteral("Failed to read device list")));
}

TEST_F(AudioDeviceMonitorTest, PolicyOnlyLogsAndNeverSwitches) {
    rank({"phones", "usb", "speakers", "dock"}, {"phones", "usb", "dock"});
    AudioObjectID speakers = hw.addDevice(named("speakers", "Speakers", 2));
    hw.addDevice(named("usb", "Interface", 8));  // ranked above the default, present from the start
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    monitor.start();
    EXPECT_EQ(policyLines(), 0);  // the first list is the baseline

    hw.addDevice(named("phones", "Headphones", 2));
    settle();
    EXPECT_TRUE(logs.contains(QStringLiteral("AudioDeviceMonitor"), LogLevel::Info,
                              QStringLiteral("Higher-priority device connected (Headphones) — NOT switching "
                                             "(never auto-switch)")));
    EXPECT_EQ(policyLines(), 1);
    EXPECT_EQ(hw.defaultOutputDevice(), speakers);

    // Two newcomers at once give no answer.
    AudioObjectID phones = hw.deviceWithUID("phones");
    hw.removeDevice(phones);
    settle();
    hw.failNext({SimulatedHardware::Call::DataSize, hal::kSystemObject, hal::kDevices, std::nullopt},
                hal::kStatusUnspecified);
    hw.addDevice(named("phones", "Headphones", 2));
    hw.addDevice(named("dock", "Dock", 2));
    settle();
    EXPECT_EQ(policyLines(), 1);

    // The default goes: the best armed, ranked device that is present is named.
    hw.removeDevice(speakers);
    settle();
    EXPECT_TRUE(logs.containsText(
        QStringLiteral("Default device disappeared; policy would pick Headphones — NOT switching (never auto-switch)")));
    EXPECT_EQ(policyLines(), 2);
}

TEST_F(AudioDeviceMonitorTest, PolicyIsQuietWhileTheMultiOutputDeviceIsTheDefault) {
    rank({"phones"}, {"phones"});
    AudioObjectID mirror = hw.addDevice(named("com.larchfen.quellor.multi-output", "Mirror", 2));
    hw.setDefaultOutputDevice(mirror);
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    monitor.start();
    hw.addDevice(named("phones", "Headphones", 2));
    settle();
    EXPECT_EQ(policyLines(), 0);
}

TEST_F(AudioDeviceMonitorTest, SetDefaultDeviceTakesEffectAtOnceOrLogsTheFailure) {
    hw.addDevice(named("speakers", "Speakers", 2));
    hw.addDevice(named("usb", "Interface", 8));
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    monitor.start();
    AudioDevice usb = monitor.devices().front();
    AudioDevice speakers = monitor.devices().back();

    monitor.setDefaultDevice(usb);
    EXPECT_EQ(monitor.defaultDeviceID(), usb.id);  // before any notification
    EXPECT_EQ(hw.defaultOutputDevice(), usb.id);
    settle();

    hw.failNext({SimulatedHardware::Call::SetData, hal::kSystemObject, hal::kDefaultOutputDevice, std::nullopt},
                hal::kStatusIllegalOperation);
    monitor.setDefaultDevice(speakers);
    EXPECT_EQ(monitor.defaultDeviceID(), usb.id);
    EXPECT_TRUE(logs.contains(QStringLiteral("AudioDeviceMonitor"), LogLevel::Error,
                              QStringLiteral("Failed to set default device to Speakers: HAL property 1682929012 "
                                             "failed: OSStatus %1")
                                  .arg(hal::kStatusIllegalOperation)));
}

TEST_F(AudioDeviceMonitorTest, DraggingStoresTheOrderArmsTheDeviceAndResorts) {
    rank({"a", "hidden", "b"}, {});
    hw.addDevice(named("a", "Alpha", 2));
    hw.addDevice(named("b", "Beta", 2));
    hw.addDevice(named("c", "Gamma", 2));
    AudioDeviceMonitor monitor(AudioDirection::output, defaults());
    monitor.start();
    EXPECT_EQ(uids(monitor), (QStringList{"a", "b", "c"}));
    QSignalSpy changes(&monitor, &AudioDeviceMonitor::devicesChanged);

    monitor.applyOrder({"c", "a", "b"}, "c");
    EXPECT_EQ(uids(monitor), (QStringList{"c", "a", "b"}));
    EXPECT_EQ(changes.count(), 1);
    DevicePriorityStore store{QStringLiteral("devicePriority"), defaults()};
    EXPECT_EQ(store.loadOrder(), (QStringList{"c", "hidden", "a", "b"}));
    EXPECT_EQ(store.loadArmed(), QSet<QString>{"c"});
    EXPECT_EQ(monitor.ranking().order, store.loadOrder());
}

}  // namespace
}  // namespace quellor
