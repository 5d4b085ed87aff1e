// Timed fades on virtual time, the fade section of the strip menus, and fades of grouped strips on
// the simulated world.
#include <cmath>

#include "ConsoleFixture.h"
#include "ui/console/ConsoleFades.h"
#include "ui/console/StripFadeMenu.h"

namespace quellor::test {
namespace {

constexpr double kStep = ConsoleFades::kStepSeconds;

class Fades : public QuellorTest {
protected:
    // A setter that records what it is given under a tag.
    std::function<void(float)> recorder(const QString& tag) {
        return [this, tag](float v) { applied.push_back({tag, v}); };
    }
    // Advances by whole steps (a little more, so a step due at exactly the end has run).
    void steps(int n) { advance(n * kStep + 1e-6); }

    ConsoleFades fades{&scheduler()};
    std::vector<std::pair<QString, float>> applied;
};

TEST_F(Fades, ThirtyStepsPerSecondOneStepFromTheStartToTheEndValue) {
    struct Case {
        double seconds;
        std::int64_t steps;
    };
    const Case cases[] = {{1, 30}, {3, 90}, {10, 300}, {0.01, 1}, {0, 1}, {-2, 1}, {NAN, 1}, {1.99, 59},
                          {INFINITY, std::numeric_limits<std::int32_t>::max()}};
    for (const Case& c : cases) EXPECT_EQ(ConsoleFades::stepCount(c.seconds), c.steps) << c.seconds;

    fades.start("bus:main", recorder("a"), 0.0f, 1.0f, 1.0);
    advance(kStep - 1e-6);
    EXPECT_TRUE(applied.empty()) << "nothing before the first 33 ms";
    steps(30);
    ASSERT_EQ(applied.size(), 30u);
    EXPECT_FLOAT_EQ(applied.front().second, 1.0f / 30);
    EXPECT_FLOAT_EQ(applied[14].second, 0.5f);
    EXPECT_EQ(applied.back().second, 1.0f);
    EXPECT_FALSE(fades.isFading("bus:main"));
    steps(5);
    EXPECT_EQ(applied.size(), 30u);

    applied.clear();
    fades.start("bus:main", recorder("b"), 0.7f, 0.7f, 0.01);  // one step, start equal to end
    steps(1);
    EXPECT_EQ(applied, (std::vector<std::pair<QString, float>>{{"b", 0.7f}}));
}

TEST_F(Fades, ANewFadeReplacesTheRunningOneWhichAppliesNothingMoreAndStaysStoppable) {
    fades.start("app", recorder("in"), 0.0f, 1.0f, 1.0);
    steps(29);  // waiting for its last step
    applied.clear();
    fades.start("app", recorder("out"), 0.5f, 0.0f, 1.0);
    steps(2);
    ASSERT_EQ(applied.size(), 2u) << "the replaced fade never applies its end value";
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(applied[i].first, "out");
        EXPECT_FLOAT_EQ(applied[i].second, 0.5f - 0.5f * float(i + 1) / 30) << "ramps from the new start";
    }
    fades.cancel("app");
    EXPECT_FALSE(fades.isFading("app"));
    steps(40);
    EXPECT_EQ(applied.size(), 2u) << "stopped at once, where the last step left it";
    fades.cancel("app");  // nothing running: nothing happens
}

TEST_F(Fades, KeysFadeIndependentlyAndAGoneRegistryAppliesNothing) {
    fades.start("a", recorder("a"), 0.0f, 1.0f, 1.0);
    fades.start("b", recorder("b"), 1.0f, 0.0f, 3.0);
    steps(30);
    fades.cancel("b");
    EXPECT_EQ(std::count_if(applied.begin(), applied.end(), [](auto& e) { return e.first == "a"; }), 30);
    EXPECT_EQ(std::count_if(applied.begin(), applied.end(), [](auto& e) { return e.first == "b"; }), 30);

    applied.clear();
    {
        ConsoleFades shortLived(&scheduler());
        shortLived.start("a", recorder("gone"), 0.0f, 1.0f, 1.0);
    }
    steps(30);
    EXPECT_TRUE(applied.empty());
}

TEST_F(Fades, TheFadeSectionStartsAndStopsTheStripsFadeFromTheLevelItShows) {
    float level = 0.6f;
    StripModel strip;
    strip.name = "Player";
    strip.targetID = "com.example.player";
    strip.volume = level;
    strip.setVolume = [&](float v) { level = v; };
    const MenuModel section = fadeSection(strip, fades);
    QStringList titles;
    for (const MenuItem& item : section) titles << item.title;
    EXPECT_EQ(titles, QStringList({"Fade", "Fade out, 1 s", "Fade out, 3 s", "Fade out, 5 s", "Fade out, 10 s",
                                   "Fade in to 100 %, 1 s", "Fade in to 100 %, 3 s", "Fade in to 100 %, 5 s",
                                   "Stop fade"}));
    EXPECT_EQ(section[0].kind, MenuItem::Kind::Separator);

    findMenuItem(section, "Fade out, 3 s")->action();
    EXPECT_TRUE(fades.isFading("com.example.player"));
    steps(45);
    EXPECT_NEAR(level, 0.3f, 1e-6);
    findMenuItem(section, "Stop fade")->action();
    steps(50);
    EXPECT_NEAR(level, 0.3f, 1e-6);

    // A second strip showing the same source stops the first one's fade; a model without a
    // target fades under its name.
    findMenuItem(section, "Fade in to 100 %, 5 s")->action();
    StripModel twin = strip;
    findMenuItem(fadeSection(twin, fades), "Stop fade")->action();
    EXPECT_FALSE(fades.isFading("com.example.player"));
    strip.targetID.clear();
    EXPECT_EQ(fadeKey(strip), "Player");
}

// Fades through the strip models of the engine.
class StripFades : public ConsoleFixture {
protected:
    void steps(int n) { advance(n * kStep + 1e-6); }
    ConsoleFades fades{&scheduler()};
};

TEST_F(StripFades, AFadeMovesGroupedPartnersByExactlyItsOwnSteps) {
    engine().setSlot(kPlayer, 2);
    engine().setSlot(kRadio, 3);
    setStyle(kPlayer, {std::nullopt, std::nullopt, QString("A")});
    setStyle(kRadio, {std::nullopt, std::nullopt, QString("A")});
    engine().setVolume(0.4f, app(kPlayer));
    engine().setVolume(0.9f, app(kRadio));
    findMenuItem(fadeSection(model(kPlayer), fades), "Fade out, 1 s")->action();
    steps(15);
    EXPECT_NEAR(level(kPlayer), 0.2f, 1e-5);
    EXPECT_NEAR(level(kRadio), 0.7f, 1e-5);
    steps(15);
    EXPECT_EQ(level(kPlayer), 0.0f);
    EXPECT_NEAR(level(kRadio), 0.5f, 1e-5);
}

TEST_F(StripFades, FadesRunOnInactiveStripsAndHoldAFullLevel) {
    engine().setVolume(1.0f, app(kPlayer));
    findMenuItem(fadeSection(model(kPlayer), fades), "Fade in to 100 %, 1 s")->action();
    for (int i = 0; i < 30; ++i) {
        steps(1);
        ASSERT_EQ(level(kPlayer), 1.0f) << "step " << i;
    }
    // An inactive MAIN strip (no output device) still fades the system volume through its setter.
    engine().systemVolume().setVolume(0.5f);
    hardware.setDefaultOutputDevice(0);
    settle();
    ASSERT_FALSE(model("bus:main").isActive);
    findMenuItem(fadeSection(model("bus:main"), fades), "Fade out, 1 s")->action();
    steps(30);
    EXPECT_EQ(engine().systemVolume().volume(), 0.0f);
}

}  // namespace
}  // namespace quellor::test
