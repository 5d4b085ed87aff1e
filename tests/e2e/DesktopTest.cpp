// The windows as a user sees them: the real program on a private X display, driven with xdotool and
// read back as pixels.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "QuellorProcess.h"
#include "XvfbDisplay.h"
#include "setups/MixSessionStore.h"
#include "ui/style/ThemeMode.h"

namespace quellor::test {
namespace {

const QString kPin = "482913";

class Desktop : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(display.isRunning()) << "Xvfb did not start"; }

    // Starts `app` on the display with `defaults` (plus an OSC port and PIN); the main window's id.
    QString launch(QuellorProcess& app, QJsonObject defaults = {}) {
        defaults["oscPort"] = port;
        defaults["companionPairingPIN"] = kPin;
        app.seedDefaults(defaults);
        app.useDisplay(display.name());
        app.start();
        auto window = display.waitForWindow(app.pid(), "Quellor");
        EXPECT_TRUE(window) << app.output().toStdString();
        return window.value_or(QString());
    }
    QColor pixel(const QImage& screen, QPoint p) { return screen.pixelColor(p); }
    QJsonObject storedDefaults(const QuellorProcess& app) {
        QFile f(app.configPath() + "/Quellor/defaults.json");
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }

    XvfbDisplay display;
    const quint16 port = QuellorProcess::freeUdpPort();
};

TEST_F(Desktop, TheMainWindowOpensCentredAtItsSizeInTheStoredTheme) {
    for (ThemeMode theme : kAllThemes) {
        SCOPED_TRACE(rawValue(theme).toStdString());
        QuellorProcess app;
        QString window = launch(app, {{"theme", rawValue(theme)}});
        ASSERT_FALSE(window.isEmpty());
        auto frame = display.geometry(window);
        ASSERT_TRUE(frame);
        // The content is 1180 x 900; the menu bar sits above it.
        const int menuBar = frame->height() - 900;
        EXPECT_EQ(frame->width(), 1180);
        EXPECT_GT(menuBar, 10);
        EXPECT_LT(menuBar, 60);
        EXPECT_NEAR(frame->x(), (XvfbDisplay::kScreenWidth - 1180) / 2, 1);
        EXPECT_NEAR(frame->y(), (XvfbDisplay::kScreenHeight - frame->height()) / 2, 1);

        const Palette colours = palette(theme);
        QImage screen;
        // The first frame may still be on its way.
        display.waitUntil([&] {
            screen = display.screenshot();
            return pixel(screen, frame->bottomRight() - QPoint(20, 20)) == colours.void_;
        });
        EXPECT_EQ(pixel(screen, frame->bottomLeft() + QPoint(20, -20)), colours.panel);   // sources column
        EXPECT_EQ(pixel(screen, frame->bottomRight() - QPoint(20, 20)), colours.void_);   // console
        EXPECT_EQ(pixel(screen, frame->topRight() + QPoint(-300, menuBar + 10)), colours.panel);  // console top bar
        EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
    }
}

TEST_F(Desktop, ASmallerStoredFrameOpensAtTheMinimum) {
    QuellorProcess app;
    QString window = launch(app, {{"QuellorMain", "5 5 700 500"}});
    auto frame = display.geometry(window);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width(), 840);
    EXPECT_GT(frame->height(), 640);
    EXPECT_LT(frame->height(), 700);
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(Desktop, AClosedWindowLeavesTheProgramAnsweringAndASecondLaunchBringsItBack) {
    QuellorProcess first;
    QString window = launch(first);
    ASSERT_TRUE(first.waitForLog(QString("OSC Listener ready on port %1").arg(port)));
    ASSERT_TRUE(display.key(window, "ctrl+w"));
    ASSERT_TRUE(display.waitUntil([&] { return display.windows(first.pid(), "Quellor").isEmpty(); }));

    // Still mixing and listening: a strip assignment over OSC reaches the setups file.
    const MixSessionStore store(first.dataPath() + "/Quellor/sessions.json");
    const auto before = MixSessionStore::readAll(store.path());
    bool rewritten = false;
    for (int attempt = 0; attempt < 20 && !rewritten; ++attempt) {
        QProcess::execute("oscsend", {"127.0.0.1", QString::number(port), "/a/" + kPin + "/slot/3/system_input", "f", "1"});
        rewritten = first.waitUntil([&] { return MixSessionStore::readAll(store.path()) != before; }, 1.0);
    }
    EXPECT_TRUE(rewritten) << first.output().toStdString();

    QuellorProcess second;
    second.useFoldersOf(first);
    second.useDisplay(display.name());
    second.start();
    EXPECT_TRUE(display.waitForWindow(first.pid(), "Quellor")) << "the first copy did not show its window again";
    auto alert = display.waitForWindow(second.pid(), "Quellor");
    ASSERT_TRUE(alert) << second.output().toStdString();
    ASSERT_TRUE(display.key(*alert, "Return"));
    EXPECT_EQ(second.waitForExit(), 0) << second.output().toStdString();
    EXPECT_EQ(first.process().state(), QProcess::Running);
    EXPECT_EQ(first.stop(SIGTERM), 0);
}

TEST_F(Desktop, TheThemeSwitchRepaintsAtOnceAndStoresTheTheme) {
    QuellorProcess app;
    QString window = launch(app, {{"theme", "booth"}});
    auto frame = display.geometry(window);
    ASSERT_TRUE(frame);
    const int menuBar = frame->height() - 900;
    // The switch sits at the right end of the console's top bar, daylight its last segment.
    const QPoint daylight = frame->topRight() + QPoint(-14 - 2 - 13 + 1, menuBar + 22);
    const QPoint console = frame->bottomRight() - QPoint(20, 20);
    ASSERT_TRUE(display.waitUntil([&] { return pixel(display.screenshot(), console) == palette(ThemeMode::Booth).void_; }));
    ASSERT_TRUE(display.click(daylight));
    EXPECT_TRUE(display.waitUntil([&] { return pixel(display.screenshot(), console) == palette(ThemeMode::Daylight).void_; }));
    EXPECT_TRUE(display.waitUntil([&] { return storedDefaults(app).value("theme").toString() == "daylight"; }))
        << app.output().toStdString();
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(Desktop, CtrlNOpensTheNewSetupPromptAndOKAddsTheSetup) {
    QuellorProcess app;
    QString window = launch(app);
    ASSERT_TRUE(display.key(window, "ctrl+n"));
    auto prompt = display.waitForWindow(app.pid(), "New setup");
    ASSERT_TRUE(prompt) << app.output().toStdString();
    // No window manager gives a new window the focus: the test gives it, as a user's click would.
    ASSERT_TRUE(display.type(*prompt, "Evening"));
    ASSERT_TRUE(display.key(*prompt, "Return"));
    const QString path = app.dataPath() + "/Quellor/sessions.json";
    EXPECT_TRUE(app.waitUntil([&] { return MixSessionStore::readAll(path).value_or("").contains("\"Evening\""); }))
        << app.output().toStdString();
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

}  // namespace
}  // namespace quellor::test
