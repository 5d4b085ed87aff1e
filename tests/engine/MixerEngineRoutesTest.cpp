#include "EngineFixture.h"
#include "audio/PhonesBusVolumeController.h"
#include "audio/SystemVolumeController.h"
#include "audio/VolumeControlling.h"

namespace quellor::test {
namespace {

// A four-channel interface (MAIN and PHONES pairs) as the default output, a second device that an
// application uses explicitly, and two running applications.
class RouteActions : public EngineFixture {
protected:
    void SetUp() override {
        interface = addOutputDevice("USB-4", 4);
        hardware.setDefaultOutputDevice(interface);
        speakers = addOutputDevice("SPK", 2);
        addApp(101, "com.example.player");
        addApp(102, "com.example.radio");
        defaults().setData("appVolumes",
                           R"({"com.example.radio":{"volume":0.5,"outputDeviceUIDs":["SPK"]}})");
        startEngine();
    }
    float volumeOf(const QString& bundleID) {
        auto it = engine().volumes().find(bundleID);
        return it == engine().volumes().end() ? -1.0f : it->second.volume;
    }
    AudioObjectID interface = 0;
    AudioObjectID speakers = 0;
};

TEST_F(RouteActions, BusAndDeviceIdsMoveTheirVolumeControls) {
    ASSERT_NE(engine().volumeControl("SPK"), nullptr);
    struct Case {
        const char* id;
        std::function<float()> read;
    };
    const Case cases[] = {
        {"system_output", [&] { return engine().systemVolume().volume(); }},
        {"bus:main", [&] { return engine().systemVolume().volume(); }},
        {"bus:phones", [&] { return engine().activePhonesVolume()->volume(); }},
        {"device:SPK", [&] { return engine().volumeControl("SPK")->volume(); }},
    };
    float value = 0.2f;
    for (const auto& c : cases) {
        for (bool viaVolumeMessage : {false, true}) {
            value += 0.1f;
            if (viaVolumeMessage) engine().setRouteVolume(c.id, value);
            else engine().performRouteAction(c.id, value);
            settle();
            EXPECT_FLOAT_EQ(c.read(), value) << c.id << (viaVolumeMessage ? " by volume message" : "");
        }
    }
    const auto before = engine().volumes();
    for (const char* id : {"device:UNKNOWN", "transport:record"}) {
        engine().performRouteAction(id, 0.3f);
        engine().setRouteVolume(id, 0.3f);
    }
    EXPECT_EQ(engine().volumes(), before) << "a device id never becomes an application record";
}

TEST_F(RouteActions, PhonesIdsDoNothingWithoutAPhonesPair) {
    hardware.setDefaultOutputDevice(speakers);
    settle();
    ASSERT_FALSE(engine().hasPhonesBus());
    const float phones = engine().phonesBusVolume().volume();
    engine().performRouteAction("bus:phones", phones / 2);
    engine().setRouteVolume("bus:phones", phones / 2);
    EXPECT_EQ(engine().phonesBusVolume().volume(), phones);
}

TEST_F(RouteActions, ApplicationFaderMovesTheCueLevelOfACuedAppButTheVolumeMessageMovesItsVolume) {
    engine().performRouteAction("com.example.player", 0.4f);
    EXPECT_FLOAT_EQ(volumeOf("com.example.player"), 0.4f);
    ASSERT_NE(tap("com.example.player"), nullptr);
    EXPECT_FLOAT_EQ(tap("com.example.player")->volume(), 0.4f);

    engine().setCue(true, "com.example.player");
    engine().performRouteAction("com.example.player", 0.7f);
    EXPECT_FLOAT_EQ(engine().volumes().at("com.example.player").cueVolume, 0.7f);
    EXPECT_FLOAT_EQ(volumeOf("com.example.player"), 0.4f);
    engine().setRouteVolume("com.example.player", 0.9f);
    EXPECT_FLOAT_EQ(volumeOf("com.example.player"), 0.9f);
    EXPECT_FLOAT_EQ(engine().volumes().at("com.example.player").cueVolume, 0.7f);
}

TEST_F(RouteActions, AnApplicationThatIsNotRunningIsRememberedByTheFaderButNotByAVolumeMessage) {
    engine().setRouteVolume("com.example.absent", 0.3f);
    EXPECT_EQ(engine().volumes().count("com.example.absent"), 0u);
    engine().performRouteAction("com.example.absent", 0.3f);
    EXPECT_FLOAT_EQ(volumeOf("com.example.absent"), 0.3f);
    engine().setRouteVolume("com.example.absent", 0.6f);
    EXPECT_FLOAT_EQ(volumeOf("com.example.absent"), 0.6f);
    EXPECT_EQ(tap("com.example.absent"), nullptr);
    advance(0.5);
    EXPECT_TRUE(defaults().dataValue("appVolumes")->contains("com.example.absent"));
}

TEST_F(RouteActions, CueButtonTogglesOnPressOnly) {
    auto cued = [&] {
        auto it = engine().volumes().find("com.example.player");
        return it != engine().volumes().end() && it->second.isCued;
    };
    engine().performRouteAction("cue:com.example.player", 0.4f);
    EXPECT_FALSE(cued());
    engine().performRouteAction("cue:com.example.player", 0.5f);
    EXPECT_TRUE(cued());
    engine().performRouteAction("cue:com.example.player", 0.0f);
    EXPECT_TRUE(cued());
    engine().performRouteAction("cue:com.example.player", 1.0f);
    EXPECT_FALSE(cued());
}

}  // namespace
}  // namespace quellor::test
