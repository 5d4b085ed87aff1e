// The settings' rules without widgets: the tabs, the codes' display and copy, the OSC switches and
// the port field, the buffer choices and the latency readout, on the engine's simulated world.
#include <gtest/gtest.h>

#include <QLocale>

#include "EngineFixture.h"
#include "platform/AudioConstants.h"
#include "ui/settings/AudioSettings.h"
#include "ui/settings/CompanionSettings.h"
#include "ui/settings/SettingsTab.h"

using namespace quellor;

namespace {

TEST(SettingsTabs, OrderLabelsAndIdentities) {
    QStringList labels, raws;
    for (SettingsTab tab : kAllSettingsTabs) {
        labels << tabLabel(tab);
        raws << rawValue(tab);
        EXPECT_EQ(settingsTabFromRawValue(rawValue(tab)), tab);
    }
    EXPECT_EQ(labels, QStringList({"General", "Devices", "Audio", "iOS"}));
    EXPECT_EQ(raws, QStringList({"General", "Devices", "Audio & Recordings", "iOS"}));
    for (const char* other : {"Audio", "general", "iPhone", "", "iOS "})
        EXPECT_FALSE(settingsTabFromRawValue(other)) << other;
}

TEST(SecretDisplay, SpacedDigitsAndTheMaskHaveTheSameLength) {
    EXPECT_EQ(spacedDigits("042913"), "0 4 2 9 1 3");
    EXPECT_EQ(spacedDigits("042913").size(), 11);
    EXPECT_EQ(kSecretMask, QString("• • • • • •"));
    EXPECT_EQ(kSecretMask.size(), 11);
    EXPECT_EQ(spacedDigits(""), "");
}

TEST(PortText, WholeNumbersOnlyWithoutGroupSeparators) {
    const QLocale previous;
    for (const char* name : {"C", "de_DE", "en_US"}) {
        QLocale::setDefault(QLocale(name));
        EXPECT_EQ(portText(9000), "9000") << name;
        EXPECT_EQ(parsePortText(" 9001 "), 9001) << name;
        EXPECT_EQ(parsePortText("-5"), -5) << name;
        EXPECT_EQ(parsePortText("70000"), 70000) << name;
        for (const char* bad : {"", "port", "90 01", "9000.5", "9.001", "9,001", "99999999999999999999"})
            EXPECT_FALSE(parsePortText(bad)) << name << " '" << bad << "'";
    }
    QLocale::setDefault(previous);
}

class CompanionSettingsTest : public test::EngineFixture {
protected:
    CompanionSettings& settings() {
        if (!settings_)
            settings_ = std::make_unique<CompanionSettings>(engine(), defaults(), [this](const QString& t) { copied << t; });
        return *settings_;
    }
    int restarts() const { return int(std::count(remote.calls.begin(), remote.calls.end(), QString("restart"))); }

    QStringList copied;
    std::unique_ptr<CompanionSettings> settings_;
};

TEST_F(CompanionSettingsTest, CodesAreMaskedUntilRevealedAndCopiedWithoutSpacing) {
    remote.pin = "042913";
    remote.password = "135790";
    EXPECT_EQ(settings().pinText(), kSecretMask);
    EXPECT_EQ(settings().passwordText(), kSecretMask);
    settings().copyPIN();
    settings().copyPassword();
    EXPECT_EQ(copied, QStringList({"042913", "135790"}));

    settings().toggleRevealed();
    EXPECT_EQ(settings().pinText(), "0 4 2 9 1 3");
    EXPECT_EQ(settings().passwordText(), kSecretMask);
    settings().copyPIN();
    EXPECT_EQ(copied.last(), "042913");
    settings().toggleRevealed();
    EXPECT_EQ(settings().pinText(), kSecretMask);
}

TEST_F(CompanionSettingsTest, RenewingACodeRevealsItAndOnlyANewPINForgetsTheCompanion) {
    startEngine();
    remote.pin = "100000";
    remote.password = "200000";
    const NetworkEndpoint phone(QHostAddress("192.0.2.7"), 53000);
    engine().companion().didConnect(phone);
    int changes = 0;
    QObject::connect(&settings(), &CompanionSettings::changed, [&] { ++changes; });
    EXPECT_TRUE(settings().isPhoneConnected());
    EXPECT_EQ(settings().statusText(), "An iPhone or iPad is connected");

    settings().regeneratePassword();
    EXPECT_EQ(settings().passwordText(), "2 0 0 0 0 1");
    EXPECT_EQ(settings().pinText(), kSecretMask);
    EXPECT_TRUE(settings().isPhoneConnected());
    EXPECT_EQ(remote.calls.back(), "password:200001");

    settings().issueNewPIN();
    EXPECT_EQ(settings().pinText(), "1 0 0 0 0 1");
    EXPECT_FALSE(settings().isPhoneConnected());
    EXPECT_EQ(settings().statusText(), "Waiting for the companion on this network");
    EXPECT_GE(changes, 3);  // two renewals and the companion forgotten
}

TEST_F(CompanionSettingsTest, SwitchesStoreAndOnlyReceptionRestartsTheListener) {
    EXPECT_TRUE(settings().oscEnabled());
    EXPECT_TRUE(settings().pinRequired());
    settings().setOSCEnabled(true);  // unchanged: nothing to do
    EXPECT_EQ(restarts(), 0);
    EXPECT_FALSE(defaults().boolValue("oscEnabled"));

    settings().setOSCEnabled(false);
    EXPECT_EQ(defaults().boolValue("oscEnabled"), false);
    EXPECT_EQ(restarts(), 1);
    settings().setOSCEnabled(true);
    EXPECT_EQ(defaults().boolValue("oscEnabled"), true);
    EXPECT_EQ(restarts(), 2);

    settings().setPINRequired(false);
    EXPECT_EQ(defaults().boolValue("oscPinRequired"), false);
    EXPECT_FALSE(settings().pinRequired());
    EXPECT_EQ(restarts(), 2);
}

TEST_F(CompanionSettingsTest, ReturnStoresAValidPortAndRestartsTheListener) {
    struct Case {
        const char* typed;
        qint64 stored;
    };
    for (const Case& c : {Case{"1024", 1024}, Case{"65535", 65535}, Case{"1023", 9000}, Case{"65536", 9000},
                          Case{"-1", 9000}, Case{"0", 9000}, Case{"9100", 9100}}) {
        defaults().setInteger("oscPort", 12345);
        const int before = restarts();
        settings().applyPort(c.typed);
        EXPECT_EQ(defaults().integerValue("oscPort"), c.stored) << c.typed;
        EXPECT_EQ(settings().shownPort(), QString::number(c.stored)) << c.typed;
        EXPECT_EQ(restarts(), before + 1) << c.typed;
    }
}

TEST_F(CompanionSettingsTest, TextThatIsNoNumberKeepsTheStoredPortAndAPortNotInUseIsNeverShown) {
    defaults().setInteger("oscPort", 9100);
    settings().applyPort("91OO");
    EXPECT_EQ(defaults().integerValue("oscPort"), 9100);
    EXPECT_EQ(restarts(), 1);  // Return always restarts, here on the same port

    // Written by someone else: the listener takes 9000 for a port out of range, and so does the
    // field; the digits of a port stored as text are that port for both.
    for (const QVariant& stored : {QVariant(qint64(80)), QVariant(qint64(70000))}) {
        defaults().setValue("oscPort", stored);
        EXPECT_EQ(settings().shownPort(), "9000") << stored.toString().toStdString();
    }
    defaults().setValue("oscPort", QString("9100"));
    EXPECT_EQ(settings().shownPort(), "9100");
    defaults().remove("oscPort");
    EXPECT_EQ(settings().shownPort(), "9000");
    defaults().setInteger("oscPort", 80);
    settings().applyPort("not a port");
    EXPECT_EQ(defaults().integerValue("oscPort"), 9000);
}

class AudioSettingsTest : public test::EngineFixture {
protected:
    AudioSettings& settings() {
        if (!settings_) settings_ = std::make_unique<AudioSettings>(engine(), defaults());
        return *settings_;
    }
    std::unique_ptr<AudioSettings> settings_;
};

TEST(BufferChoices, FixedChoicesAndAStoredSizeThatIsNoneOfThem) {
    QStringList labels;
    for (const BufferChoice& c : bufferChoices(0)) labels << c.label;
    EXPECT_EQ(labels, QStringList({"Automatic", "1024 frames", "512 frames", "256 frames", "128 frames", "64 frames",
                                   "32 frames"}));
    EXPECT_EQ(bufferChoices(64).size(), 7u);
    for (std::uint32_t odd : {100u, 2048u, 16u}) {
        const auto items = bufferChoices(odd);
        ASSERT_EQ(items.size(), 8u);
        EXPECT_EQ(items.back(), (BufferChoice{odd, QString("%1 frames").arg(odd)}));
    }
}

TEST_F(AudioSettingsTest, ShowingAStoredSizeRewritesNothingAndPickingTheSameRestartsNothing) {
    addOutputDevice("Interface", 2);
    addApp(101, test::kPlayer);
    startEngine();
    engine().setVolume(0.5f, app(test::kPlayer));  // a record away from the defaults gets a tap
    settle();
    const AudioObjectID aggregate = tapAggregate(test::kPlayer);
    ASSERT_NE(aggregate, 0u);

    defaults().setInteger("ioBufferFrames", 100);
    EXPECT_EQ(settings().selectedIndex(), 7);
    EXPECT_EQ(settings().choices()[7].label, "100 frames");
    settings().pickBufferFrames(100);
    settings().setMinLatency(false);
    settle();
    EXPECT_EQ(defaults().integerValue("ioBufferFrames"), 100);
    EXPECT_FALSE(defaults().boolValue("minLatencyMode"));
    EXPECT_EQ(tapAggregate(test::kPlayer), aggregate);

    settings().pickBufferFrames(256);
    EXPECT_EQ(defaults().integerValue("ioBufferFrames"), 256);
    EXPECT_EQ(settings().selectedIndex(), 3);
    EXPECT_EQ(settings().choices().size(), 7u);
    settle();
    const AudioObjectID rebuilt = tapAggregate(test::kPlayer);
    EXPECT_NE(rebuilt, aggregate);

    settings().setMinLatency(true);
    EXPECT_EQ(defaults().boolValue("minLatencyMode"), true);
    settle();
    EXPECT_NE(tapAggregate(test::kPlayer), rebuilt);
}

TEST_F(AudioSettingsTest, LatencyReadoutFollowsTheStoredSizeAndTheDevice) {
    startEngine();
    settle();
    EXPECT_EQ(settings().latencyText(), std::nullopt);  // no default output device

    const AudioObjectID device = addOutputDevice("Interface", 2);
    hardware.setDefaultOutputDevice(device);
    settle();
    struct Case {
        std::uint32_t frames, safety, latency;
        const char* text;
    };
    for (const Case& c : {Case{0, 0, 0, "≈ 10.7 ms out"},  // the device's own 512 frames
                          Case{32, 0, 0, "≈ 0.7 ms out"}, Case{1024, 16, 32, "≈ 22.3 ms out"}}) {
        hardware.setProperty(device, {hal::kSafetyOffset, hal::kScopeOutput}, c.safety);
        hardware.setProperty(device, {hal::kLatency, hal::kScopeOutput}, c.latency);
        settings().pickBufferFrames(c.frames);
        EXPECT_EQ(settings().latencyText(), QString(c.text)) << c.frames;
    }
}

}  // namespace
