// The mixer view's sources page as a widget: its three forms, the rows in the monitor's order in a
// list framed to their outputs, and the permission banner above the sources.
#include <QLabel>
#include <QLayout>
#include <QScrollArea>

#include "EngineFixture.h"
#include "remote/MIDIMappingManager.h"
#include "ui/panels/AppRowWidget.h"
#include "ui/panels/MixerSourcesPageView.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class MixerSourcesPageViewTest : public EngineFixture {
protected:
    void SetUp() override {
        speakers = addOutputDevice("SPK", 2);
        usb = addOutputDevice("USB", 2);
        hardware.setDefaultOutputDevice(speakers);
    }
    std::unique_ptr<MixerSourcesPageView> page() {
        auto p = std::make_unique<MixerSourcesPageView>(engine(), mappings, themes);
        p->resize(420, 600);
        p->show();
        return p;
    }
    static QStringList rowIDs(const MixerSourcesPageView& p) {
        QStringList ids;
        for (AppRowWidget* row : p.rows()) ids.append(row->app().bundleID);
        return ids;
    }

    ThemeController themes{defaults()};
    MIDIMappingManager mappings{defaults()};
    AudioObjectID speakers = 0;
    AudioObjectID usb = 0;
};

TEST_F(MixerSourcesPageViewTest, WaitsForTheEngineThenListsEveryApplicationFramedToItsOutputs) {
    addApp(101, kPlayer, /*playing*/ false);
    addApp(102, kRadio);
    auto p = page();
    EXPECT_EQ(p->form(), MixerSourcesPage::Form::Waiting);
    EXPECT_TRUE(p->findChild<QWidget*>("sources-waiting"));
    EXPECT_FALSE(p->findChild<QWidget*>("sources-heading")) << "no heading while waiting";

    startEngine();
    ASSERT_EQ(p->form(), MixerSourcesPage::Form::List);
    EXPECT_EQ(rowIDs(*p), (QStringList{kRadio, kPlayer})) << "the monitor's order, silent applications too";
    ASSERT_TRUE(p->list());
    EXPECT_EQ(p->list()->height(), 53 + 53);
    EXPECT_EQ(p->findChild<QLabel*>("sources-heading")->text(), "SOURCES");

    AudioDevice device;
    for (const AudioDevice& d : engine().deviceMonitor().devices())
        if (d.uid == "USB") device = d;
    engine().addOutput(device, app(kPlayer));
    p->setRouteTarget(kPlayer);
    settle();
    EXPECT_EQ(p->list()->height(), 53 + 88);
    ASSERT_EQ(p->rows().size(), 2u);
    EXPECT_FALSE(p->rows()[0]->model().isRouteTarget);
    EXPECT_TRUE(p->rows()[1]->model().isRouteTarget) << "the player's row is under the dragged device";

    // A level change alone keeps the rows (a slider may be held under the pointer).
    AppRowWidget* first = p->rows().front();
    engine().setVolume(0.5f, app(kRadio));
    settle();
    EXPECT_EQ(p->rows().front(), first);
}

TEST_F(MixerSourcesPageViewTest, WithNoApplicationsTheEmptyStateAndThePermissionBannerAboveIt) {
    hardware.io().setCapturePermission(false);
    startEngine();
    auto p = page();
    auto* banner = new QLabel("permission");
    p->setPermissionBanner(banner);
    EXPECT_EQ(p->form(), MixerSourcesPage::Form::Empty);
    QWidget* empty = p->findChild<QWidget*>("sources-empty");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->findChild<QLabel*>("sources-heading"));
    bool noApps = false;
    for (QLabel* l : empty->findChildren<QLabel*>()) noApps = noApps || l->text() == "No apps are running";
    EXPECT_TRUE(noApps);
    EXPECT_FALSE(banner->isVisible()) << "the permission is not missing until a tap is refused";

    addApp(101, kPlayer);
    settle();
    engine().setVolume(0.5f, app(kPlayer));  // the player now needs a tap, which is refused
    settle();
    ASSERT_TRUE(engine().needsAudioCapturePermission());
    EXPECT_EQ(p->form(), MixerSourcesPage::Form::List);
    EXPECT_TRUE(banner->isVisible());
    p->layout()->activate();
    EXPECT_LT(banner->geometry().bottom(), p->findChild<QWidget*>("sources-list")->geometry().top());
}

}  // namespace
}  // namespace quellor::test
