// The menus of the menu bar: the setup commands, the recent setups and the application items.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "FakeSessionEngine.h"
#include "FakeUpdateBackend.h"
#include "TestEnvironment.h"
#include "app/AppMenus.h"
#include "app/UpdateController.h"
#include "setups/SessionManager.h"

using namespace quellor;

class AppMenusTest : public test::QuellorTest {
protected:
    AppMenusTest() {
        engine.devices = {{7, "USB-1"}};
        engine.defaultDeviceID = 7;
        manager = std::make_unique<SessionManager>(engine, MixSessionStore(dir.filePath("sessions.json")), [this] {
            clock = clock.addSecs(60);  // every change is a minute newer
            return clock;
        });
        engine.onMixChanged = [m = manager.get()] { m->captureCurrent(); };
    }
    AppMenuContext context() {
        return {*manager, updater, [this](AppNotification n) { posted.push_back(n); },
                [this] { return openResult; },
                [this](const QString& name) {
                    suggested = name;
                    return std::optional<QString>();
                },
                [] {}, [] {}};
    }
    QStringList titles(const MenuModel& model) {
        QStringList list;
        for (const auto& item : model) list << item.title;
        return list;
    }

    QTemporaryDir dir;
    QDateTime clock = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    test::FakeSessionEngine engine;
    std::unique_ptr<SessionManager> manager;
    test::FakeUpdateBackend backend;
    test::FakeUpdateHost host;
    AppNotifier notifier;
    UpdateController updater{backend, host, notifier, defaults()};
    std::vector<AppNotification> posted;
    std::optional<QString> openResult;
    QString suggested;
};

TEST_F(AppMenusTest, FileMenuHoldsTheSetupCommandsAndDeleteNeedsTwoSetups) {
    auto ctx = context();
    MenuModel menu = fileMenu(ctx);
    EXPECT_EQ(titles(menu), QStringList({"New Setup…", "Open Setup…", "Open Recent Setup", "", "Duplicate Setup",
                                         "Rename Setup…", "Export Setup…", "", "Delete Setup", "", "Close Window"}));
    EXPECT_EQ(findMenuItem(menu, "New Setup…")->shortcut, QKeySequence("Ctrl+N"));
    EXPECT_EQ(findMenuItem(menu, "Open Setup…")->shortcut, QKeySequence("Ctrl+O"));
    ASSERT_EQ(manager->sessions().size(), 1u);
    EXPECT_FALSE(findMenuItem(menu, "Delete Setup")->enabled);

    manager->newSetup("Second");
    menu = fileMenu(ctx);
    ASSERT_TRUE(findMenuItem(menu, "Delete Setup")->enabled);
    findMenuItem(menu, "Delete Setup")->action();
    EXPECT_EQ(manager->sessions().size(), 1u);

    findMenuItem(menu, "New Setup…")->action();
    findMenuItem(menu, "Rename Setup…")->action();
    EXPECT_EQ(posted, (std::vector<AppNotification>{AppNotification::NewSetup, AppNotification::RenameSetup}));
}

TEST_F(AppMenusTest, RecentSetupsNewestFirstWithOneCheckMark) {
    manager->newSetup("Older");
    manager->newSetup("Newest");
    auto ctx = context();
    MenuModel recent = recentSetupsMenu(ctx);
    ASSERT_EQ(recent.size(), 3u);
    EXPECT_EQ(recent[0].title, "Newest  ✓");
    EXPECT_EQ(recent[1].title, "Older");
    EXPECT_FALSE(recent[2].title.endsWith("✓"));
    recent[1].action();  // switch to "Older"
    recent = recentSetupsMenu(ctx);
    int marks = 0;
    for (const auto& item : recent) marks += item.title.endsWith("  ✓");
    EXPECT_EQ(marks, 1);
    EXPECT_EQ(manager->currentSession()->name, "Older");
    EXPECT_TRUE(findMenuItem(recent, "Older  ✓"));
}

TEST_F(AppMenusTest, ExportSuggestsTheCurrentNameAndCancelledPanelsDoNothing) {
    manager->renameSetup("Mix");
    auto ctx = context();
    findMenuItem(fileMenu(ctx), "Export Setup…")->action();
    EXPECT_EQ(suggested, "Mix");
    EXPECT_EQ(exportSuggestedName(std::nullopt), "Setup");
    const auto before = manager->sessions().size();
    findMenuItem(fileMenu(ctx), "Open Setup…")->action();  // panel cancelled
    EXPECT_EQ(manager->sessions().size(), before);
}

TEST_F(AppMenusTest, ApplicationMenuItems) {
    auto ctx = context();
    MenuModel menu = applicationMenu(ctx);
    EXPECT_EQ(titles(menu), QStringList({"Check for Updates…", "", "Settings…", "", "Quit Quellor"}));
    EXPECT_EQ(findMenuItem(menu, "Settings…")->shortcut, QKeySequence("Ctrl+,"));
    EXPECT_EQ(findMenuItem(menu, "Quit Quellor")->shortcut, QKeySequence("Ctrl+Q"));
    findMenuItem(menu, "Settings…")->action();
    EXPECT_EQ(posted, std::vector<AppNotification>{AppNotification::ShowSettings});
    // The update item is built as the menu opens, from the versions known then.
    backend.delegate->updaterDidFindValidUpdate("2.1");
    EXPECT_EQ(applicationMenu(ctx)[0].title, "Update to 2.1…");
}
