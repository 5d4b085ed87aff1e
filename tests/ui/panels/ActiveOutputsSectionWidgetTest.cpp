// The bus cards' wiring: a pair item reaches the engine once, the pair in use changes nothing, the
// MAIN card's zone and drop hint, and the cards' level rows' controls.
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "PanelsFixture.h"
#include "audio/SystemVolumeController.h"
#include "ui/console/ControlSliderWidget.h"
#include "ui/panels/ActiveOutputsSectionWidget.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/LevelRowWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class ActiveOutputsSectionWidgetTest : public PanelsFixture {
protected:
    std::unique_ptr<ActiveOutputsSectionWidget> section() {
        auto widget = std::make_unique<ActiveOutputsSectionWidget>(engine(), mappings, themes, &board);
        widget->resize(280, 300);
        widget->show();
        return widget;
    }
    // Opens a pull-down's menu the way a click does (it is rebuilt as it shows) and picks `title`.
    static void pick(QToolButton& button, const QString& title) {
        QMenu* menu = button.menu();
        emit menu->aboutToShow();
        for (QAction* action : menu->actions())
            if (action->text() == title) return action->trigger();
        ADD_FAILURE() << "no item " << qPrintable(title);
    }

    ThemeController themes{defaults()};
    DropZoneBoard board;
};

TEST_F(ActiveOutputsSectionWidgetTest, APairItemStoresThePairingOnceAndThePairInUseChangesNothing) {
    makeDefault(addOutputDevice("IF-8", 8));
    auto s = section();
    countPairingStores();
    auto* phones = s->findChild<QToolButton*>("phones-pair-picker");
    auto* main = s->findChild<QToolButton*>("main-pair-picker");
    ASSERT_TRUE(phones && main);
    EXPECT_EQ(phones->text(), "3/4");
    EXPECT_EQ(main->toolTip(), "Which output pair carries MAIN");
    const AudioObjectID before = tapAggregate(kPlayer);

    pick(*phones, "3/4");
    pick(*main, "1/2");
    settle();
    EXPECT_EQ(pairingStores(), 0);
    EXPECT_EQ(tapAggregate(kPlayer), before);

    pick(*phones, "7/8");
    settle();
    EXPECT_EQ(pairingStores(), 1);
    EXPECT_EQ(engine().busPairings().at("IF-8"), (MixerEngine::BusPairing{0, 6}));
    EXPECT_EQ(phones->text(), "7/8") << "the card follows the new layout";
    EXPECT_NE(tapAggregate(kPlayer), before);
}

TEST_F(ActiveOutputsSectionWidgetTest, ThePhonesCardSwitchesBetweenPlaceholderAndInterface) {
    auto s = section();
    auto* placeholder = s->findChild<QWidget*>("phones-placeholder");
    auto* level = s->findChild<LevelRowWidget*>("phones-level");
    ASSERT_TRUE(placeholder && level);
    EXPECT_FALSE(placeholder->isVisibleTo(s.get()));
    EXPECT_EQ(level->control(), engine().activePhonesVolume());
    EXPECT_TRUE(level->slider().isEnabled());

    makeDefault(speakers);
    EXPECT_TRUE(placeholder->isVisibleTo(s.get()));
    EXPECT_FALSE(level->isVisibleTo(s.get()));
    EXPECT_FALSE(s->findChild<QPushButton*>("totalmix-reset")->isVisibleTo(s.get()));
    EXPECT_EQ(s->findChild<QLabel*>("main-device-name")->text(), "SPK");
}

TEST_F(ActiveOutputsSectionWidgetTest, TheTotalMixButtonWritesTheDefaultRouting) {
    makeDefault(addOutputDevice("RMEUSBDevice:7", 8));
    auto s = section();
    auto* button = s->findChild<QPushButton*>("totalmix-reset");
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->isVisibleTo(s.get()));
    EXPECT_EQ(button->text(), "Reset TotalMix routing");
    QTest::mouseClick(button, Qt::LeftButton);
    advance(2.0);
    EXPECT_EQ(remote.sent.size(), remote.routing.size());
}

TEST_F(ActiveOutputsSectionWidgetTest, TheMainCardIsTheMainZoneAndShowsTheHintOnlyForMain) {
    auto s = section();
    settle();
    const BusZones zones = board.busZones();
    ASSERT_EQ(zones.zones().size(), 1u) << "the PHONES card is no drop zone";
    EXPECT_EQ(zones.zones().at(OutputBus::Main), DropZoneBoard::windowFrame(s->mainCard()));
    EXPECT_EQ(zones.hit(DropZoneBoard::windowPoint(s->phonesCard(), {10, 10})), std::nullopt);

    auto* hint = s->findChild<QWidget*>("main-drop-hint");
    ASSERT_TRUE(hint);
    s->setBusTarget(OutputBus::Phones);
    EXPECT_FALSE(hint->isVisible());
    s->setBusTarget(OutputBus::Main);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->geometry(), s->mainCard().rect());
    s->setBusTarget(std::nullopt);
    EXPECT_FALSE(hint->isVisible());

    s.reset();
    EXPECT_TRUE(board.busZones().empty()) << "a card that is gone leaves no zone";
}

TEST_F(ActiveOutputsSectionWidgetTest, TheMainLevelRowWritesTheDefaultOutputsVolume) {
    auto s = section();
    auto* level = s->findChild<LevelRowWidget*>("main-level");
    ASSERT_TRUE(level);
    EXPECT_EQ(level->control(), &engine().systemVolume());
    ControlSliderWidget& slider = level->slider();
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.width() - 11, 11));
    EXPECT_FLOAT_EQ(engine().systemVolume().volume(), 1.0f);
    EXPECT_FALSE(level->findChild<QLabel*>("level-note")->isVisibleTo(level));
}

}  // namespace
}  // namespace quellor::test
