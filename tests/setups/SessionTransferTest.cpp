#include "FakeSessionEngine.h"
#include "SetupPrinting.h"
#include "TestEnvironment.h"
#include "setups/SessionTransfer.h"

namespace quellor {
namespace {

using test::FakeSessionEngine;

const QDateTime kNow(QDate(2024, 5, 1), QTime(9, 30), Qt::UTC);

QStringList sixteen(QStringList first) {
    while (first.size() < 16) first << QString();
    return first;
}

TEST(CaptureSession, TakesTheLiveMixAndKeepsIdentity) {
    FakeSessionEngine engine;
    engine.volumeMap = {{"com.example.player", AppVolume{0.25f, true, {}, false, 1.0f}}};
    engine.devices = {{7, "USB-1"}, {9, "HDMI"}};
    engine.defaultDeviceID = 9;
    engine.main = 0.6f;
    engine.phones = 0.4f;
    engine.strips = sixteen({"bus:main", "com.example.player"});
    engine.styles = {{"bus:main", StripStyle{"Out", 2, std::nullopt}}};

    MixSession base;
    base.name = "Live";
    base.createdAt = kNow.addDays(-3);
    base.mainDeviceUID = "gone";
    base.phonesLevel = 0.9f;
    const MixSession captured = captureSession(engine, base, kNow);
    EXPECT_EQ(captured.id, base.id);
    EXPECT_EQ(captured.name, "Live");
    EXPECT_EQ(captured.createdAt, base.createdAt);
    EXPECT_EQ(captured.modifiedAt, kNow);
    EXPECT_EQ(captured.volumes, engine.volumeMap);
    EXPECT_EQ(captured.mainDeviceUID, "HDMI");
    EXPECT_EQ(captured.mainLevel, 0.6f);
    EXPECT_EQ(captured.phonesLevel, 0.4f);
    EXPECT_EQ(captured.stripSlots, engine.strips);
    EXPECT_EQ(captured.styles, engine.styles);

    // No default output, no PHONES pair, no styles: the first two are absent, styles an empty map.
    engine.defaultDeviceID.reset();
    engine.phones.reset();
    engine.styles.clear();
    const MixSession bare = captureSession(engine, base, kNow);
    EXPECT_FALSE(bare.mainDeviceUID);
    EXPECT_FALSE(bare.phonesLevel);
    EXPECT_EQ(bare.mainLevel, 0.6f);
    EXPECT_EQ(bare.styles, StripStyleMap{});
}

TEST(ApplySession, WritesEveryLiveTapInOrderAndPlaysExplicitlyRoutedAppsAtUnity) {
    FakeSessionEngine engine;
    engine.devices = {{7, "USB-1"}, {9, "HDMI"}};
    engine.defaultDeviceID = 7;
    engine.phones = 0.2f;
    for (const char* id : {"routed", "routed.cued", "plain", "unknown"})
        engine.taps[id] = FakeSessionEngine::TapMix{0.1f, true, 0.1f};

    MixSession s;
    s.volumes = {
        {"routed", AppVolume{0.3f, true, {"HDMI"}, false, 0.4f}},
        {"routed.cued", AppVolume{0.3f, true, {"HDMI"}, true, 0.4f}},
        {"plain", AppVolume{0.5f, true, {}, false, 0.7f}},
        {"not.running", AppVolume{0.9f, false, {}, false, 1.0f}},
    };
    s.mainDeviceUID = "HDMI";
    s.mainLevel = 0.8f;
    s.phonesLevel = 0.3f;
    s.stripSlots = sixteen({"plain"});
    applySession(engine, s);

    using Tap = FakeSessionEngine::TapMix;
    EXPECT_EQ(engine.taps.at("routed"), (Tap{1.0f, true, 0.4f}));  // full level, still muted
    EXPECT_EQ(engine.taps.at("routed.cued"), (Tap{0.3f, true, 0.4f}));
    EXPECT_EQ(engine.taps.at("plain"), (Tap{0.5f, true, 0.7f}));
    EXPECT_EQ(engine.taps.at("unknown"), (Tap{1.0f, false, 1.0f}));  // not in the setup: defaults
    EXPECT_EQ(engine.volumeMap, s.volumes);
    EXPECT_EQ(engine.defaultDeviceID, 9u);
    EXPECT_EQ(engine.main, 0.8f);
    EXPECT_EQ(engine.phones, 0.3f);
    EXPECT_EQ(engine.styles, StripStyleMap{});  // absent styles clear the engine's
    EXPECT_EQ(engine.calls, (QStringList{"setVolumes", "scheduleSave", "setDefaultOutputDevice 9", "sendAppList",
                                         "restartMismatchedTaps", "setTapMix plain", "setTapMix routed",
                                         "setTapMix routed.cued", "setTapMix unknown", "applyCueModes",
                                         "setMainLevel", "setPhonesLevel", "setStripStyles", "setSlot 0",
                                         "sendAppList"}));
}

TEST(ApplySession, MainDeviceIsChosenOnlyWhenConnectedAndNotAlreadyDefault) {
    struct Case {
        std::optional<QString> uid;
        std::uint32_t expectedDefault;
        bool switched;
    };
    const Case cases[] = {
        {"HDMI", 9, true},
        {"USB-1", 7, false},        // already the default
        {"Unplugged", 7, false},    // no such device: the default output stays
        {std::nullopt, 7, false},
    };
    for (const auto& c : cases) {
        FakeSessionEngine engine;
        engine.devices = {{7, "USB-1"}, {9, "HDMI"}, {11, "HDMI"}};
        engine.defaultDeviceID = 7;
        MixSession s;
        s.mainDeviceUID = c.uid;
        s.mainLevel = 0.25f;
        applySession(engine, s);
        const std::string what = c.uid.value_or("none").toStdString();
        EXPECT_EQ(engine.defaultDeviceID, c.expectedDefault) << what;
        EXPECT_EQ(engine.calls.count("sendAppList"), c.switched ? 2 : 1) << what;
        EXPECT_EQ(engine.main, 0.25f) << what;  // everything else still applies
    }
}

TEST(ApplySession, SlotsApplyOnlyFromEightOrSixteenEntriesAndPhonesOnlyWithABus) {
    const QStringList before = sixteen({"bus:main", "bus:phones", "a", "b", "c", "d", "e", "f", "g", "h", "i"});
    QStringList twelve, eightEntries, full;
    for (int i = 0; i < 16; ++i) {
        const QString id = QString("app.%1").arg(i);
        if (i < 8) eightEntries << id;
        if (i < 12) twelve << id;
        full << id;
    }
    struct Case {
        QStringList given;
        QStringList expected;
    };
    const Case cases[] = {
        {eightEntries, sixteen(eightEntries)},
        {twelve, before},
        {full, full},
        {{}, before},
    };
    for (const auto& c : cases) {
        FakeSessionEngine engine;
        engine.strips = before;
        MixSession s;
        s.stripSlots = c.given;
        s.phonesLevel = 0.9f;
        applySession(engine, s);
        EXPECT_EQ(engine.strips, c.expected) << c.given.size();
        EXPECT_FALSE(engine.phones);
        EXPECT_FALSE(engine.calls.contains("setPhonesLevel"));
    }
}

}  // namespace
}  // namespace quellor
