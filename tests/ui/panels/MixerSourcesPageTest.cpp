// The mixer view's sources page: its form, the framed height of its list and the route target.
#include "EngineFixture.h"
#include "ui/panels/MixerSourcesPage.h"

namespace quellor::test {
namespace {

using Form = MixerSourcesPage::Form;

class MixerSourcesPageTest : public EngineFixture {
protected:
    void SetUp() override {
        speakers = addOutputDevice("SPK", 2);
        addOutputDevice("USB-A", 2);
        addOutputDevice("USB-B", 2);
        hardware.setDefaultOutputDevice(speakers);
        addApp(101, kPlayer, /*playing*/ false);
        addApp(102, kRadio);
    }
    const std::vector<AudioApp>& apps() { return engine().processMonitor().apps(); }
    AudioDevice device(const QString& uid) {
        for (const AudioDevice& d : engine().deviceMonitor().devices())
            if (d.uid == uid) return d;
        ADD_FAILURE() << "no device " << qPrintable(uid);
        return {};
    }
    AudioObjectID speakers = 0;
};

TEST_F(MixerSourcesPageTest, WaitsUntilTheEngineHasStartedThenListsEveryApplicationOrShowsNone) {
    const std::vector<AudioApp> none;
    const std::vector<AudioApp> one{AudioApp{1, "a", "A", {}, false, false}};
    EXPECT_EQ(MixerSourcesPage::form(false, one), Form::Waiting);
    EXPECT_EQ(MixerSourcesPage::form(false, none), Form::Waiting);
    EXPECT_EQ(MixerSourcesPage::form(true, none), Form::Empty);
    EXPECT_EQ(MixerSourcesPage::form(true, one), Form::List);

    startEngine();
    ASSERT_EQ(apps().size(), 2u) << "applications that are not playing are listed too";
    EXPECT_EQ(MixerSourcesPage::form(engine().isStarted(), apps()), Form::List);
}

TEST_F(MixerSourcesPageTest, TheListIsFramedToItsRowsOutputs) {
    const std::pair<int, double> rows[] = {{0, 53}, {1, 88}, {2, 136}, {3, 184}};
    for (const auto& [outputs, height] : rows) EXPECT_DOUBLE_EQ(MixerSourcesPage::rowHeight(outputs), height);

    startEngine();
    EXPECT_DOUBLE_EQ(MixerSourcesPage::listHeight(engine(), apps()), 53 + 53);
    engine().addOutput(device("USB-A"), app(kRadio));
    EXPECT_DOUBLE_EQ(MixerSourcesPage::listHeight(engine(), apps()), 53 + 88);
    engine().addOutput(device("USB-B"), app(kRadio));
    EXPECT_DOUBLE_EQ(MixerSourcesPage::listHeight(engine(), apps()), 53 + 136);
    EXPECT_DOUBLE_EQ(MixerSourcesPage::listHeight(engine(), {}), 0);
}

TEST_F(MixerSourcesPageTest, OnlyTheRowOfTheRouteTargetLightsUp) {
    startEngine();
    EXPECT_TRUE(MixerSourcesPage::isRouteTarget(kPlayer, app(kPlayer)));
    EXPECT_FALSE(MixerSourcesPage::isRouteTarget(kRadio, app(kPlayer)));
    EXPECT_FALSE(MixerSourcesPage::isRouteTarget(std::nullopt, app(kPlayer)));
}

}  // namespace
}  // namespace quellor::test
