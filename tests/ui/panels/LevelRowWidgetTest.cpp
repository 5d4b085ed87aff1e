// A level row whose volume cannot be set: the slider is disabled and the note says why.
#include <QLabel>
#include <QTest>

#include "PanelsFixture.h"
#include "ui/console/ControlSliderWidget.h"
#include "ui/panels/LevelRowWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class LevelRowWidgetTest : public PanelsFixture {
protected:
    ThemeController themes{defaults()};
};

TEST_F(LevelRowWidgetTest, ALevelRowWhoseVolumeCannotBeSetIsDisabledAndSaysWhy) {
    FakeVolume fixed(false, false);
    LevelRowWidget row(themes, true);
    row.setControl(&fixed);
    row.resize(200, 60);
    row.show();
    EXPECT_FALSE(row.slider().isEnabled());
    EXPECT_TRUE(row.findChild<QLabel*>("level-note")->isVisible());
    EXPECT_EQ(row.findChild<QLabel*>("level-note")->text(), "Volume is controlled on the device");
    QTest::mouseClick(&row.slider(), Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_FALSE(fixed.isMuted());
}

}  // namespace
}  // namespace quellor::test
