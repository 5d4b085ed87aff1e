// A burst of changes rebuilds a view once, after the burst; keys the view does not read rebuild
// nothing, and a view that is gone is never rebuilt.
#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "ui/common/ViewRefresh.h"
#include "ui/style/ThemeController.h"

using namespace quellor;

class ViewRefreshTest : public test::QuellorTest {};

TEST_F(ViewRefreshTest, ABurstRebuildsOnceAfterwards) {
    int rebuilds = 0;
    ThemeController themes(defaults());
    ViewRefresh refresh([&] { ++rebuilds; });
    refresh.watchDefaults(defaults(), {"sidebarHidden", "leftColumnWidth"}).watch(&themes, &ThemeController::themeChanged);
    defaults().setBool("sidebarHidden", true);
    defaults().setDouble("leftColumnWidth", 400);
    themes.choose(ThemeMode::Studio);
    EXPECT_EQ(rebuilds, 0);  // nothing during the burst
    advance(0);
    EXPECT_EQ(rebuilds, 1);
    defaults().setString("oscPort", "9000");  // a key the view does not read
    advance(0);
    EXPECT_EQ(rebuilds, 1);
    defaults().setBool("sidebarHidden", false);
    advance(0);
    EXPECT_EQ(rebuilds, 2);
}

TEST_F(ViewRefreshTest, AViewGoneBeforeItsRebuildIsLeftAlone) {
    int rebuilds = 0;
    {
        ViewRefresh refresh([&] { ++rebuilds; });
        refresh.request();
    }
    advance(0);
    EXPECT_EQ(rebuilds, 0);
}
