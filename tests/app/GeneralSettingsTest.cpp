// The General page of the settings: launch at login shows the state read back after each toggle,
// the strip control writes only 8 or 16, and the buttons reach the application's actions.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "FakeUpdateBackend.h"
#include "TestEnvironment.h"
#include "app/AppActions.h"
#include "app/GeneralSettingsWiring.h"
#include "app/UpdateController.h"
#include "platform/LaunchAtLogin.h"
#include "ui/settings/GeneralSettingsSection.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class GeneralSettingsTest : public QuellorTest {
protected:
    std::unique_ptr<GeneralSettingsSection> page(LaunchAtLogin& login) {
        actions = std::make_unique<AppActions>(
            updater, nullptr,
            AppActions::Platform{login, {}, [this](const QUrl& url) { opened << url; },
                                 [this](const QString& text) { copied << text; }, [this] { ++abouts; },
                                 [this] { ++quits; }, [] { return SystemFacts{"0.1", "7", "Linux", "PC"}; }});
        std::unique_ptr<GeneralSettingsSection> p(makeGeneralSettingsSection(*actions, defaults(), themes));
        p->show();
        return p;
    }
    template <typename T>
    T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(c) << name;
        return c;
    }

    QTemporaryDir dir;
    FakeUpdateBackend backend;
    FakeUpdateHost host;
    AppNotifier notifier;
    UpdateController updater{backend, host, notifier, defaults()};
    ThemeController themes{defaults()};
    std::unique_ptr<AppActions> actions;
    QList<QUrl> opened;
    QStringList copied;
    int abouts = 0;
    int quits = 0;
};

TEST_F(GeneralSettingsTest, LaunchAtLoginShowsTheStateReadBackAfterEachToggle) {
    // An entry that can be written, and one under a plain file, which the system refuses.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    struct Case {
        QString entry;
        bool shownAfterSwitchingOn;
    };
    for (const Case& c : {Case{dir.filePath("autostart/quellor.desktop"), true},
                          Case{dir.filePath("blocker/autostart/quellor.desktop"), false}}) {
        LaunchAtLogin login(c.entry, "/usr/bin/quellor");
        auto p = page(login);
        auto* toggle = child<QCheckBox>(*p, "settings-launch-at-login");
        EXPECT_FALSE(toggle->isChecked());
        toggle->click();
        EXPECT_EQ(toggle->isChecked(), c.shownAfterSwitchingOn) << c.entry.toStdString();
        EXPECT_EQ(login.isEnabled(), c.shownAfterSwitchingOn);
    }
}

TEST_F(GeneralSettingsTest, TheStripControlWritesOnlyEightOrSixteenAndFollowsTheSetting) {
    LaunchAtLogin login(dir.filePath("autostart/quellor.desktop"), "/usr/bin/quellor");
    defaults().setInteger("consoleStrips", 12);  // counts as 8
    auto p = page(login);
    auto* eight = child<QPushButton>(*p, "settings-strips-8");
    auto* sixteen = child<QPushButton>(*p, "settings-strips-16");
    EXPECT_TRUE(eight->isChecked());
    EXPECT_EQ(defaults().integerValue("consoleStrips"), 12);  // showing rewrites nothing
    QTest::mouseClick(sixteen, Qt::LeftButton);
    EXPECT_EQ(defaults().integerValue("consoleStrips"), 16);
    QTest::mouseClick(eight, Qt::LeftButton);
    EXPECT_EQ(defaults().integerValue("consoleStrips"), 8);
    defaults().setInteger("consoleStrips", 16);  // the top bar's card
    EXPECT_TRUE(sixteen->isChecked());
}

TEST_F(GeneralSettingsTest, ButtonsReachTheActions) {
    LaunchAtLogin login(dir.filePath("autostart/quellor.desktop"), "/usr/bin/quellor");
    auto p = page(login);
    EXPECT_EQ(child<QPushButton>(*p, "settings-update")->text(), "Check for Updates…");
    auto* automatic = child<QCheckBox>(*p, "settings-update-automatically");
    EXPECT_TRUE(automatic->isChecked());  // the controller's first-run default
    automatic->click();
    EXPECT_FALSE(backend.automaticDownloads);
    QTest::mouseClick(child<QPushButton>(*p, "settings-update"), Qt::LeftButton);
    EXPECT_EQ(backend.calls, QStringList{"interactive check"});
    for (const char* name : {"settings-support", "settings-terms", "settings-copy-diagnostics", "settings-about",
                             "settings-quit"})
        QTest::mouseClick(child<QPushButton>(*p, name), Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>({QUrl(AppActions::kSupportPageAddress), QUrl(AppActions::kTermsPageAddress)}));
    EXPECT_EQ(copied.size(), 1);
    EXPECT_EQ(abouts, 1);
    EXPECT_EQ(quits, 1);
}

}  // namespace
}  // namespace quellor::test
