#include <QSignalSpy>

#include "TestEnvironment.h"
#include "audio/PhonesBusVolumeController.h"

namespace quellor {
namespace {

class PhonesBusVolumeControllerTest : public test::QuellorTest {};

TEST_F(PhonesBusVolumeControllerTest, StartsAtFullLevelAndReadsTheStoredOnes) {
    PhonesBusVolumeController fresh(defaults());
    EXPECT_FLOAT_EQ(fresh.volume(), 1.0f);
    EXPECT_FALSE(fresh.isMuted());
    EXPECT_FLOAT_EQ(fresh.effectiveGain(), 1.0f);

    defaults().setString(QStringLiteral("phonesBusVolume"), QStringLiteral("0.5"));
    EXPECT_FLOAT_EQ(PhonesBusVolumeController(defaults()).volume(), 1.0f);  // not a number: ignored

    defaults().setDouble(QStringLiteral("phonesBusVolume"), 1.5);
    defaults().setBool(QStringLiteral("phonesBusMuted"), true);
    PhonesBusVolumeController stored(defaults());
    EXPECT_FLOAT_EQ(stored.volume(), 1.5f);  // taken unclamped...
    EXPECT_TRUE(stored.isMuted());
    EXPECT_FLOAT_EQ(stored.effectiveGain(), 0.0f);
    stored.toggleMute();
    EXPECT_FLOAT_EQ(stored.effectiveGain(), 1.0f);  // ...but applied clamped
}

TEST_F(PhonesBusVolumeControllerTest, SetVolumeClampsStoresAndAlwaysReports) {
    PhonesBusVolumeController phones(defaults());
    int changes = 0;
    phones.onChange = [&] { changes += 1; };
    QSignalSpy volumeSignals(&phones, &VolumeControlling::volumeChanged);

    struct Case {
        float requested, stored;
    } cases[] = {{1.4f, 1.0f}, {-1.0f, 0.0f}, {0.5f, 0.5f}, {0.5f, 0.5f}};
    for (const Case& c : cases) {
        phones.setVolume(c.requested);
        EXPECT_FLOAT_EQ(phones.volume(), c.stored);
        EXPECT_DOUBLE_EQ(*defaults().doubleValue(QStringLiteral("phonesBusVolume")), c.stored);
    }
    EXPECT_EQ(changes, 4);                // also for the unchanged level
    EXPECT_EQ(volumeSignals.count(), 2);  // 1.0 -> 0.0 -> 0.5
    EXPECT_FLOAT_EQ(phones.effectiveGain(), 0.125f);
    EXPECT_FALSE(phones.isMuted());

    phones.setVolume(0.0f);  // a zero level is silent but not muted
    EXPECT_FALSE(phones.isMuted());
    EXPECT_FLOAT_EQ(phones.effectiveGain(), 0.0f);
}

TEST_F(PhonesBusVolumeControllerTest, MuteSilencesWithoutTouchingTheLevel) {
    PhonesBusVolumeController phones(defaults());
    phones.setVolume(0.8f);
    int changes = 0;
    phones.onChange = [&] { changes += 1; };
    phones.toggleMute();
    EXPECT_FLOAT_EQ(phones.effectiveGain(), 0.0f);
    EXPECT_EQ(defaults().boolValue(QStringLiteral("phonesBusMuted")), true);
    phones.toggleMute();
    EXPECT_FLOAT_EQ(phones.effectiveGain(), 0.8f * 0.8f * 0.8f);
    EXPECT_FLOAT_EQ(phones.volume(), 0.8f);
    EXPECT_EQ(defaults().boolValue(QStringLiteral("phonesBusMuted")), false);
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace quellor
