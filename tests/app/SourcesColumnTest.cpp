// The banners over the main window's source grid: the permission banner follows the engine's flag,
// the update banner the update controller's versions, and the stack takes room only while one
// shows.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>

#include "EngineFixture.h"
#include "FakeUpdateBackend.h"
#include "app/SourcesColumn.h"
#include "app/StatusBanners.h"
#include "app/UpdateBanner.h"
#include "app/UpdateController.h"
#include "ui/style/ThemeController.h"

using namespace quellor;
using quellor::test::kPlayer;

namespace {

class SourcesColumnTest : public test::EngineFixture {
protected:
    SourcesColumnTest() {
        column.resize(300, 500);
        banners = new StatusBanners(engine(), updater, themes, column);
        column.show();
    }
    ~SourcesColumnTest() override { scheduler().runPending(); }
    // Where the grid starts once the layouts have taken in what changed (on the next turn of the
    // event loop in the program).
    int contentTop() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        column.layout()->activate();
        return column.content()->geometry().top();
    }

    ThemeController themes{defaults()};
    test::FakeUpdateBackend backend;
    test::FakeUpdateHost host;
    AppNotifier notifier;
    UpdateController updater{backend, host, notifier, defaults()};
    SourcesColumn column{new QLabel("grid")};
    StatusBanners* banners;
};

TEST_F(SourcesColumnTest, APermissionRefusedShowsItsBannerOverTheGridUntilGranted) {
    hardware.setDefaultOutputDevice(addOutputDevice("speakers", 2));
    hardware.io().setCapturePermission(false);
    startEngine();
    addApp(101, kPlayer);
    settle();
    EXPECT_FALSE(banners->permissionBanner()->isVisible()) << "not missing until a tap is refused";
    EXPECT_EQ(contentTop(), 0) << "no banner, no room taken";

    engine().setVolume(0.5f, app(kPlayer));  // the player now needs a tap, which is refused
    settle();
    ASSERT_TRUE(engine().needsAudioCapturePermission());
    EXPECT_TRUE(banners->permissionBanner()->isVisible());
    EXPECT_EQ(banners->permissionBanner()->objectName(), "permission-banner");
    EXPECT_GT(contentTop(), banners->permissionBanner()->mapTo(&column, QPoint(0, 0)).y()) << "above the grid";

    hardware.io().setCapturePermission(true);
    engine().setVolume(0.4f, app(kPlayer));
    settle();
    ASSERT_FALSE(engine().needsAudioCapturePermission());
    EXPECT_FALSE(banners->permissionBanner()->isVisible());
    EXPECT_EQ(contentTop(), 0);
}

TEST_F(SourcesColumnTest, TheUpdateBannerFollowsTheFoundAndThenTheStagedVersion) {
    EXPECT_EQ(banners->updateBanner(), nullptr);
    updater.checkForUpdates();
    backend.delegate->userDriverWillShowUpdate("2.2");
    ASSERT_NE(banners->updateBanner(), nullptr);
    EXPECT_TRUE(banners->updateBanner()->isVisible());
    EXPECT_EQ(banners->updateBanner()->title(), "Quellor 2.2 is available");
    EXPECT_GT(contentTop(), 0);

    backend.stage("2.3");
    advance(0);
    ASSERT_NE(banners->updateBanner(), nullptr);
    EXPECT_EQ(banners->updateBanner()->version(), "2.3") << "a staged version wins";
    EXPECT_EQ(banners->updateBanner()->buttonTitle(), "Restart");

    // Another part of the program adds its banner under these.
    auto* mine = new QLabel("files failed");
    column.addBanner(mine);
    QCoreApplication::sendPostedEvents();  // a widget added to a shown one shows on the next turn
    column.layout()->activate();
    EXPECT_TRUE(mine->isVisible());
    EXPECT_GT(mine->mapTo(&column, QPoint(0, 0)).y(), banners->updateBanner()->mapTo(&column, QPoint(0, 0)).y());
}

}  // namespace
