#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "EngineFixture.h"
#include "audio/SystemVolumeController.h"
#include "engine/RouteID.h"
#include "platform/SimulatedIO.h"

namespace quellor::test {
namespace {

const NetworkEndpoint kCompanion(QHostAddress("192.0.2.7"), 53000);
const NetworkEndpoint kCompanionReply(QHostAddress("192.0.2.7"), 9001);

// A four-channel interface as the default output and one application that plays a steady level.
class Companion : public EngineFixture {
protected:
    void SetUp() override {
        hardware.setDefaultOutputDevice(addOutputDevice("USB-4", 4));
        player = addApp(101, "com.example.player");
        startEngine();
    }
    std::vector<FakeRemoteLink::Text> sent(const QString& address) {
        std::vector<FakeRemoteLink::Text> found;
        for (const auto& t : remote.texts)
            if (t.address == address) found.push_back(t);
        return found;
    }
    static QJsonObject json(const FakeRemoteLink::Text& t) { return QJsonDocument::fromJson(t.text.toUtf8()).object(); }
    AudioObjectID player = 0;
};

TEST_F(Companion, AContactSendsTheAppListToTheCompanionsHostOnTheFeedPort) {
    engine().companion().didConnect(kCompanion);
    auto lists = sent("/app/list");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].to, kCompanionReply);
    EXPECT_EQ(engine().companion().endpoint(), kCompanion);
    QStringList rows;
    for (const auto& row : json(lists[0])["apps"].toArray()) rows << row.toObject()["bundleID"].toString();
    EXPECT_EQ(rows, QStringList({"system_output", "system_input", "bus:main", "bus:phones", "com.example.player"}));

    // The same companion from another source port keeps its connection; another one replaces it.
    engine().companion().didConnect(NetworkEndpoint(kCompanion.host(), 53999));
    EXPECT_TRUE(remote.cancelled.empty());
    const NetworkEndpoint other(QHostAddress("192.0.2.8"), 53000);
    engine().companion().didConnect(other);
    EXPECT_EQ(remote.cancelled, std::vector<NetworkEndpoint>{kCompanionReply});
    EXPECT_EQ(sent("/app/list").size(), 3u);
    EXPECT_EQ(sent("/app/list").back().to, other.replacingPort(9001));
}

TEST_F(Companion, ACompanionSilentForMoreThan20SecondsIsForgottenWithOneLogLine) {
    engine().companion().didConnect(kCompanion);
    advance(21);
    EXPECT_FALSE(engine().companion().endpoint());
    EXPECT_EQ(remote.cancelled, std::vector<NetworkEndpoint>{kCompanionReply});
    EXPECT_TRUE(logs.contains("MixerEngine", LogLevel::Info, "Phone silent for 20s; pausing the meter feed"));
    EXPECT_EQ(logs.count("Phone silent for 20s; pausing the meter feed"), 1);
    remote.texts.clear();
    engine().companion().sendAppList();
    engine().companion().scheduleAppListSend();
    advance(1);
    EXPECT_TRUE(remote.texts.empty());

    // A later contact reopens the feed at once.
    engine().companion().didConnect(kCompanion);
    EXPECT_EQ(sent("/app/list").size(), 1u);
}

TEST_F(Companion, VolumeChangesAndPanicArePushedOnceAfter50ms) {
    engine().companion().didConnect(kCompanion);
    remote.texts.clear();
    const double start = scheduler().now();
    engine().systemVolume().setVolume(0.3f);
    advance(0.01);
    engine().systemVolume().setVolume(0.4f);
    advance(0.1);
    auto lists = sent("/app/list");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_NEAR(lists[0].at - start, 0.05, 0.002);
    EXPECT_FLOAT_EQ(float(json(lists[0])["apps"].toArray()[0].toObject()["volume"].toDouble()), 0.4f);

    // Panic: engaging also rebuilds the taps, which pushes at once; releasing is pushed after 50 ms.
    engine().setPanic(true);
    advance(0.1);
    EXPECT_TRUE(json(remote.texts.back())["isPanicked"].toBool());
    remote.texts.clear();
    engine().setPanic(false);
    engine().setPanic(false);
    advance(0.1);
    lists = sent("/app/list");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_FALSE(json(lists[0])["isPanicked"].toBool());

    // Without a companion nothing is scheduled.
    engine().companion().forget();
    remote.texts.clear();
    engine().setPanic(true);
    engine().setPanic(false);
    advance(0.1);
    EXPECT_TRUE(remote.texts.empty());
}

TEST_F(Companion, ChoosingTheDefaultOutputSendsTheAppListAtOnce) {
    addOutputDevice("Stereo", 2);
    settle();
    auto choose = [&](const QString& uid) {
        for (const AudioDevice& device : engine().deviceMonitor().devices())
            if (device.uid == uid) return engine().setDefaultOutput(device);
        FAIL() << "no device " << uid.toStdString();
    };
    engine().companion().didConnect(kCompanion);
    remote.texts.clear();
    const double start = scheduler().now();
    choose("Stereo");
    auto lists = sent("/app/list");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].at, start);
    ASSERT_TRUE(engine().currentOutputDevice());
    EXPECT_EQ(engine().currentOutputDevice()->uid, "Stereo");

    // Without a companion the device changes all the same and nothing is sent.
    engine().companion().forget();
    remote.texts.clear();
    choose("USB-4");
    EXPECT_EQ(engine().currentOutputDevice()->uid, "USB-4");
    EXPECT_TRUE(sent("/app/list").empty());
}

TEST_F(Companion, ANewPinForgetsTheCompanionButANewPasswordKeepsIt) {
    engine().companion().didConnect(kCompanion);
    engine().regenerateControlPassword();
    EXPECT_TRUE(engine().companion().endpoint());
    EXPECT_TRUE(remote.cancelled.empty());
    EXPECT_EQ(remote.calls.back(), "password:" + remote.password);
    engine().regeneratePairingPIN();
    EXPECT_FALSE(engine().companion().endpoint());
    EXPECT_EQ(remote.cancelled, std::vector<NetworkEndpoint>{kCompanionReply});
    EXPECT_TRUE(std::find(remote.calls.begin(), remote.calls.end(), "pin:" + remote.pin) != remote.calls.end());
}

TEST_F(Companion, MetersGoOutTenTimesASecondWhileSomethingPlaysAndStopAfterOneSilentFrame) {
    ASSERT_NE(tap("com.example.player"), nullptr);
    hardware.io().setTone(player, {SimulatedIO::Tone::Kind::dc, 440.0, 0.25f, 0.5f});
    hardware.io().startVirtualDriver(480);
    advance(1.0);
    EXPECT_TRUE(sent("/meters").empty()) << "no companion, no frames";
    EXPECT_GT(engine().meters().levels().at("com.example.player"), 0.4f);

    engine().companion().didConnect(kCompanion);
    advance(1.0);
    auto frames = sent("/meters");
    EXPECT_NEAR(double(frames.size()), 10.0, 1.0);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0].to, kCompanionReply);
    EXPECT_NEAR(json(frames.back())["com.example.player"].toDouble(), 0.5, 0.01);
    EXPECT_TRUE(json(frames.back()).contains("bus:main"));

    // Silence: the levels fall below 0.001 within 55 ticks, one all-silent frame goes out, then
    // nothing while the companion keeps in touch.
    hardware.io().setTone(player, {});
    auto keepInTouch = [&](int seconds) {
        for (int i = 0; i < seconds; ++i) {
            advance(1.0);
            engine().companion().didConnect(kCompanion);
        }
    };
    keepInTouch(3);
    frames = sent("/meters");
    for (const auto& v : json(frames.back())) EXPECT_LE(v.toDouble(), 0.001);
    keepInTouch(3);
    EXPECT_EQ(sent("/meters").size(), frames.size());

    hardware.io().setTone(player, {SimulatedIO::Tone::Kind::dc, 440.0, 0.25f, 0.5f});
    advance(0.2);
    EXPECT_GT(sent("/meters").size(), frames.size()) << "the feed resumes with the first audible frame";
}

TEST_F(Companion, InSilenceEachNewContactGetsOneFrameAndAContactThatKeepsInTouchNoMore) {
    const NetworkEndpoint other(QHostAddress("192.0.2.8"), 53000);
    struct Step {
        const char* what;
        NetworkEndpoint from;
        double quietBefore;
        std::size_t frames;  // all sent so far
    };
    const Step steps[] = {
        {"a first contact", kCompanion, 0, 1},
        {"the same companion from another port", NetworkEndpoint(kCompanion.host(), 53999), 1, 1},
        {"another companion", other, 1, 2},
        {"the same companion again after its feed was paused", other, 21, 3},
    };
    for (const Step& step : steps) {
        advance(step.quietBefore);
        engine().companion().didConnect(step.from);
        advance(1.0);
        const auto frames = sent("/meters");
        ASSERT_EQ(frames.size(), step.frames) << step.what;
        EXPECT_EQ(frames.back().to, step.from.replacingPort(9001)) << step.what;
        for (const auto& v : json(frames.back())) EXPECT_LE(v.toDouble(), 0.001) << step.what;
    }
}

TEST_F(Companion, PreFaderMetersShowAMutedSourceWhileMainStaysPostFader) {
    hardware.io().setTone(player, {SimulatedIO::Tone::Kind::dc, 440.0, 0.25f, 0.5f});
    hardware.io().startVirtualDriver(480);
    engine().toggleMute(app("com.example.player"));
    advance(2.5);  // what sounded before the mute has decayed away
    EXPECT_LT(engine().meters().levels().at("com.example.player"), 0.001f) << "post-fader by default";
    defaults().setString("meterSource", "pre");
    advance(1.0);
    EXPECT_NEAR(engine().meters().levels().at("com.example.player"), 0.5f, 0.01f);
    EXPECT_LT(engine().meters().levels().at(RouteID::kMainBus), 0.001f);
    ASSERT_NE(tap("com.example.player"), nullptr);
    EXPECT_TRUE(tap("com.example.player")->meterPre());
}

}  // namespace
}  // namespace quellor::test
