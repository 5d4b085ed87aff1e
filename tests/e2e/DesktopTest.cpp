// The windows as a user sees them: the real program on a private X display, driven with xdotool and
// read back as pixels.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QSet>
#include <QSysInfo>
#include <unistd.h>

#include "QuellorProcess.h"
#include "XvfbDisplay.h"
#include "app/AppVersion.h"
#include "app/Diagnostics.h"
#include "app/MainWindowLayout.h"
#include "app/MainWindowView.h"
#include "app/PermissionWindow.h"
#include "app/StartupScreen.h"
#include "platform/SimulatedWorld.h"
#include "platform/StreamConfiguration.h"
#include "setups/MixSessionStore.h"
#include "ui/console/ConsoleColors.h"
#include "ui/console/ConsoleLayout.h"
#include "ui/console/ConsoleStripWidget.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/SourceGridColumns.h"
#include "ui/panels/SourceGridView.h"
#include "ui/panels/SourceTileWidget.h"
#include "ui/style/Fonts.h"
#include "ui/style/ThemeMode.h"

#include <QJsonArray>
#include <QPainter>

namespace quellor::test {
namespace {

const QString kPin = "482913";

class Desktop : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(display.isRunning()) << display.failure().toStdString(); }

    // Starts `app` on the display with `defaults` (plus an OSC port and PIN), then opens the main
    // window from the startup screen with its first recent setup; the main window's id.
    QString launch(QuellorProcess& app, QJsonObject defaults = {}) {
        defaults["oscPort"] = port;
        defaults["companionPairingPIN"] = kPin;
        app.seedDefaults(defaults);
        app.useDisplay(display.name());
        app.start();
        auto screen = display.waitForWindow(app.pid(), "Quellor", isStartupScreen);
        if (!screen) {
            app.waitForLog("\x01", 0.2);  // collects what the program wrote
            QStringList seen;
            for (const QString& w : display.windows(app.pid(), "Quellor")) {
                const QRect r = display.geometry(w).value_or(QRect());
                seen << QString("%1 %2x%3").arg(w).arg(r.width()).arg(r.height());
            }
            ADD_FAILURE() << "no startup screen; windows: " << seen.join(", ").toStdString() << "\n"
                          << app.output().toStdString();
            return {};
        }
        // A click that comes before the new window takes input is lost: click again until it opens.
        std::optional<QString> window;
        for (int attempt = 0; attempt < 4 && !window; ++attempt) {
            EXPECT_TRUE(display.click(rowCentre(*display.geometry(*screen), 0, 1)));
            window = display.waitForWindow(app.pid(), "Quellor", isMainWindow, 5);
        }
        EXPECT_TRUE(window) << app.output().toStdString();
        return window.value_or(QString());
    }
    static bool isStartupScreen(const QRect& frame) { return frame.width() == startup::kWindowWidth; }
    static bool isMainWindow(const QRect& frame) { return frame.width() >= 840; }
    static bool isPermissionWindow(const QRect& frame) { return frame.width() == PermissionWindowView::kWidth; }
    // Where recent row `row` of a startup screen listing `rows` setups lies on the screen.
    static QPoint rowCentre(const QRect& screenFrame, int row, int rows) {
        startup::Model model;
        model.showsRecent = true;
        model.rows.resize(std::size_t(rows));
        return screenFrame.topLeft() + startup::layout(model, 0).rect(startup::Element::Row, row)->center();
    }
    QColor pixel(const QImage& screen, QPoint p) { return screen.pixelColor(p); }
    QJsonObject storedDefaults(const QuellorProcess& app) {
        QFile f(app.configPath() + "/Quellor/defaults.json");
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }

    // Runs `app` on `world` (a file in its home folder).
    static void useWorld(QuellorProcess& app, const SimulatedWorld& world) {
        const QString path = app.homePath() + "/world.json";
        QString error;
        ASSERT_TRUE(world.save(path, error)) << error.toStdString();
        app.environment().insert("QUELLOR_WORLD", path);
    }
    // A world whose one device, the default output, is an 8-channel USB interface.
    static SimulatedWorld studioWorld() {
        SimulatedDevice studio;
        studio.uid = "studio";
        studio.name = "Studio Interface";
        studio.transport = hal::kTransportUSB;
        studio.output.streams = StreamConfiguration{{8}};
        SimulatedWorld world;
        world.devices = {studio};
        world.defaultOutputUID = "studio";
        return world;
    }
    static MixSession setup(const QString& name, int day) {
        MixSession s;
        s.name = name;
        s.createdAt = s.modifiedAt = QDateTime(QDate(2024, 5, day), QTime(9, 0), Qt::UTC);
        return s;
    }
    int count(const QuellorProcess& app, const QString& text) const { return int(app.output().count(text)); }
    // Whether window `upper` stands above window `lower` on the display.
    bool above(const QString& upper, const QString& lower) const {
        const QStringList order = display.stackingOrder();  // bottom to top
        return order.contains(upper) && order.contains(lower) && order.indexOf(upper) > order.indexOf(lower);
    }
    // The inodes of the UDP sockets that process `pid` holds open.
    static QSet<QString> udpSockets(qint64 pid) {
        QSet<QString> udp;
        for (const char* table : {"udp", "udp6"}) {
            QFile f(QString("/proc/%1/net/%2").arg(pid).arg(table));
            if (!f.open(QIODevice::ReadOnly)) continue;
            f.readLine();  // the header
            while (!f.atEnd()) {
                const QStringList fields = QString::fromLatin1(f.readLine()).split(' ', Qt::SkipEmptyParts);
                if (fields.size() > 9) udp.insert(fields[9]);
            }
        }
        QSet<QString> held;
        const QString fds = QString("/proc/%1/fd").arg(pid);
        for (const QString& fd : QDir(fds).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
            char target[256] = {};
            const ssize_t n = ::readlink(QFile::encodeName(fds + "/" + fd).constData(), target, sizeof target - 1);
            const QString text = QString::fromLatin1(target, n > 0 ? int(n) : 0);
            if (text.startsWith("socket:[") && udp.contains(text.mid(8).chopped(1))) held.insert(text.mid(8).chopped(1));
        }
        return held;
    }
    static bool near(QColor a, QColor b) {
        return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 && std::abs(a.blue() - b.blue()) <= 3;
    }
    // The middle of the first run of top-bar columns of the main window `frame` that show at least `rows` pixels of `colour`
    // (within 3 per channel), or none.
    static std::optional<QPoint> topBarColumns(const QImage& screen, const QRect& frame, const QColor& colour, int rows) {
        const int top = frame.top() + frame.height() - kMainWindowHeight;
        int left = -1, right = -1;
        for (int x = frame.left(); x <= frame.right(); ++x) {
            int count = 0;
            for (int y = top; y < top + MainWindowView::kTopBarHeight; ++y) count += near(screen.pixelColor(x, y), colour);
            if (count >= rows) {
                if (left < 0) left = x;
                right = x;
            } else if (left >= 0) {
                break;
            }
        }
        if (left < 0) return std::nullopt;
        return QPoint((left + right) / 2, top + MainWindowView::kTopBarHeight / 2);
    }
    // Where the centre of tile `index` of the source grid stands on the screen, in the main window
    // `frame` with its stored column width, when the grid shows `apps` (1 or more) application tiles: the
    // column's header and rule, the APPS title and its grid, then the I/O title and its grid (index
    // `apps` and on).
    static QPoint sourceTileCentre(const QRect& frame, int apps, int index) {
        using Grid = PanelMetrics::SourceGrid;
        const int menuBar = frame.height() - kMainWindowHeight;
        const int column = int(std::lround(sourcesColumnWidth(kDefaultLeftColumnWidth, kMainWindowWidth)));
        const auto columns = SourceGridColumns::fitting(column - 2 * Grid::kSidePadding);
        const int title = int(std::ceil(QFontMetricsF(monoFont(10, QFont::DemiBold)).height()));
        const int row = SourceTileWidget::tileHeight();
        int top = menuBar + Grid::kHeaderHeight + 1 + Grid::kTopPadding + title + Grid::kTitleSpacing;
        if (index >= apps) {
            top += int(columns.height(apps, row)) + Grid::kSectionSpacing + title + Grid::kTitleSpacing;
            index -= apps;
        }
        return frame.topLeft() + QPoint(Grid::kSidePadding, top) + columns.cell(index, row).center().toPoint();
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
        // The console's strips take its whole height; its bottom padding shows the background.
        display.waitUntil([&] {
            screen = display.screenshot();
            return pixel(screen, frame->bottomRight() - QPoint(20, 4)) == colours.void_;
        });
        EXPECT_EQ(pixel(screen, frame->bottomLeft() + QPoint(20, -20)), colours.panel);   // sources column
        EXPECT_EQ(pixel(screen, frame->bottomRight() - QPoint(20, 4)), colours.void_);    // console
        // The console top bar, above its cards (28 high, centred in the bar's 44).
        EXPECT_EQ(pixel(screen, frame->topRight() + QPoint(-300, menuBar + 3)), colours.panel);
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
    auto shown = display.waitForWindow(first.pid(), "Quellor");
    EXPECT_TRUE(shown) << "the first copy did not show its window again";
    auto alert = display.waitForWindow(second.pid(), "Quellor");
    ASSERT_TRUE(alert) << second.output().toStdString();
    // The alert is the one in front, and the waiting copy opened no port and no audio server.
    if (shown) {
        EXPECT_TRUE(above(*alert, *shown));
    }
    EXPECT_TRUE(udpSockets(first.pid()).size() > 0) << "the check sees the first copy's listener";
    EXPECT_TRUE(udpSockets(second.pid()).isEmpty());
    second.waitForLog("\x01", 0.2);  // collects what it wrote
    EXPECT_FALSE(second.output().contains("Audio:")) << second.output().toStdString();
    EXPECT_FALSE(second.output().contains("OSC")) << second.output().toStdString();
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
    const QPoint console = frame->bottomRight() - QPoint(20, 4);  // the console's bottom padding
    ASSERT_TRUE(display.waitUntil([&] { return pixel(display.screenshot(), console) == palette(ThemeMode::Booth).void_; }));
    // The selected segment, booth, is tinted with `brand` at 18 % over the switch's `elevated`;
    // daylight is two segments (26 wide, 2 apart) to its right.
    const Palette booth = palette(ThemeMode::Booth);
    auto mix = [](int under, int over) { return int(std::lround(under * 0.82 + over * 0.18)); };
    const QColor tint(mix(booth.elevated.red(), booth.brand.red()), mix(booth.elevated.green(), booth.brand.green()),
                      mix(booth.elevated.blue(), booth.brand.blue()));
    const auto selected = topBarColumns(display.screenshot(), *frame, tint, 18);
    ASSERT_TRUE(selected) << "the theme switch's selected segment";
    const QPoint daylight = *selected + QPoint(2 * (26 + 2), 0);
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

TEST_F(Desktop, TheStartupScreenGreetsAfterAMomentAndARecentSetupOpensTheMainWindow) {
    QuellorProcess app;
    const MixSession morning = setup("Morning", 1), evening = setup("Evening", 3), night = setup("Night", 2);
    const QString setupsPath = app.dataPath() + "/Quellor/sessions.json";
    QDir().mkpath(app.dataPath() + "/Quellor");
    ASSERT_TRUE(MixSessionStore(setupsPath).save(MixSessionFile{morning.id, {morning, evening, night}}));
    app.seedDefaults({{"oscPort", port}, {"theme", "studio"}});
    app.useDisplay(display.name());
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    app.start();
    auto screen = display.waitForWindow(app.pid(), "Quellor", isStartupScreen);
    ASSERT_TRUE(screen) << app.output().toStdString();
    EXPECT_GE(sinceLaunch.elapsed(), 800);
    EXPECT_TRUE(display.windows(app.pid(), "Quellor", isMainWindow).isEmpty()) << "the main window waits";
    const QRect frame = *display.geometry(*screen);
    EXPECT_EQ(frame.width(), 376);
    EXPECT_NEAR(frame.center().x(), XvfbDisplay::kScreenWidth / 2, 1);
    // Recent setups, newest first: Evening, Night, Morning. Its lower corner is the theme's panel.
    const QColor panel = palette(ThemeMode::Studio).panel;
    EXPECT_TRUE(display.waitUntil([&] { return display.screenshot().pixelColor(frame.bottomLeft() + QPoint(4, -4)) == panel; }));
    ASSERT_TRUE(display.click(rowCentre(frame, 1, 3)));

    EXPECT_TRUE(display.waitForWindow(app.pid(), "Quellor", isMainWindow)) << app.output().toStdString();
    EXPECT_TRUE(display.waitUntil([&] { return display.windows(app.pid(), "Quellor", isStartupScreen).isEmpty(); }));
    EXPECT_TRUE(app.waitUntil([&] {
        auto stored = MixSessionStore(setupsPath).load();
        return stored.file && stored.file->currentID == night.id;
    })) << app.output().toStdString();
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(Desktop, RefusedCaptureShowsThePermissionWindowOnce) {
    QuellorProcess app;
    SimulatedWorld world = SimulatedWorld::builtIn();
    world.capturePermission = false;
    useWorld(app, world);
    app.seedDefaults({{"oscPort", port}});
    app.useDisplay(display.name());
    app.start();
    auto window = display.waitForWindow(app.pid(), "Quellor", isPermissionWindow);
    ASSERT_TRUE(window) << app.output().toStdString();
    // The startup screen comes up after it; the permission window stays in front.
    auto screen = display.waitForWindow(app.pid(), "Quellor", isStartupScreen);
    ASSERT_TRUE(screen);
    EXPECT_TRUE(display.waitUntil([&] { return above(*window, *screen); }, 5));
    // Return is "Open Privacy Settings": nothing can be opened here, and the window closes.
    ASSERT_TRUE(display.key(*window, "Return"));
    EXPECT_TRUE(app.waitForLog("No settings page for the audio-capture permission can be opened on this system"));
    EXPECT_TRUE(display.waitUntil([&] { return display.windows(app.pid(), "Quellor", isPermissionWindow).isEmpty(); }));

    // The engine keeps retrying, and keeps failing: the window does not come back.
    const int failures = count(app, "Tap failed");
    ASSERT_TRUE(app.waitUntil([&] { return count(app, "Tap failed") > failures; })) << app.output().toStdString();
    EXPECT_FALSE(display.waitUntil([&] { return !display.windows(app.pid(), "Quellor", isPermissionWindow).isEmpty(); }, 1.5));
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(Desktop, EscapeOrTheWindowManagersCloseGoesInWithTheCurrentSetupAndCtrlQQuits) {
    enum class Way { Escape, WindowManagerClose, CtrlQ };
    for (Way way : {Way::Escape, Way::WindowManagerClose, Way::CtrlQ}) {
        SCOPED_TRACE(int(way));
        QuellorProcess app;
        const MixSession current = setup("Current", 1), newer = setup("Newer", 2);
        const QString setupsPath = app.dataPath() + "/Quellor/sessions.json";
        QDir().mkpath(app.dataPath() + "/Quellor");
        ASSERT_TRUE(MixSessionStore(setupsPath).save(MixSessionFile{current.id, {current, newer}}));
        app.seedDefaults({{"oscPort", port}});
        app.useDisplay(display.name());
        app.start();
        auto screen = display.waitForWindow(app.pid(), "Quellor", isStartupScreen);
        ASSERT_TRUE(screen) << app.output().toStdString();
        if (way == Way::CtrlQ) {
            ASSERT_TRUE(display.key(*screen, "ctrl+q"));
            EXPECT_EQ(app.waitForExit(), 0) << app.output().toStdString();
            EXPECT_TRUE(app.output().contains("Quellor stopped"));
            continue;
        }
        if (way == Way::Escape) ASSERT_TRUE(display.key(*screen, "Escape"));
        else ASSERT_TRUE(display.askToClose(*screen));
        auto window = display.waitForWindow(app.pid(), "Quellor", isMainWindow);
        EXPECT_TRUE(window) << app.output().toStdString();
        EXPECT_TRUE(display.windows(app.pid(), "Quellor", isStartupScreen).isEmpty());
        // The settings panel is a window of its own; Ctrl+Q quits from there too.
        if (window) {
            ASSERT_TRUE(display.key(*window, "ctrl+comma"));
            auto settings = display.waitForWindow(app.pid(), "Settings");
            ASSERT_TRUE(settings) << app.output().toStdString();
            ASSERT_TRUE(display.key(*settings, "ctrl+q"));
            EXPECT_EQ(app.waitForExit(), 0) << app.output().toStdString();
        } else {
            EXPECT_EQ(app.stop(SIGTERM), 0);
        }
        const auto stored = MixSessionStore(setupsPath).load();
        ASSERT_TRUE(stored.file);
        EXPECT_EQ(stored.file->currentID, current.id) << "no switch";
    }
}

TEST_F(Desktop, CopyDiagnosticsPutsTheExactTextOnTheClipboard) {
    QuellorProcess app;
    SimulatedWorld world = studioWorld();
    world.devices[0].output.safetyOffset = 24;
    world.processes = {{SimulatedProcess{4101, "org.example.player", "Player", true, false, 0},
                        SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 440.0, 0.25f, 0.0f}}};
    useWorld(app, world);
    QString window = launch(app);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(display.key(window, "ctrl+comma"));
    auto settings = display.waitForWindow(app.pid(), "Settings");
    ASSERT_TRUE(settings) << app.output().toStdString();
    // The panel opens with the focus on its first tab; Copy Diagnostics is seven controls on (Done,
    // the strip count, launch at login, the update button and its switch, Support…).
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(display.key(*settings, "Tab"));
    ASSERT_TRUE(display.key(*settings, "space"));
    const QString expected = QStringList{
        QString("Quellor %1 (%2)").arg(appShortVersion(), appBuildNumber()),
        QSysInfo::prettyProductName(),
        "Machine " + hardwareModel(),
        "MAIN device: Studio Interface — 8 ch",
        "Channel pairing: MAIN 1/2, PHONES 3/4",
        "Active taps: 1",
        "Buffer: Automatic (≈ 11.2 ms out), minimum latency off",
        "MIDI mappings: 0",
        "Phone paired: no",
    }.join('\n');
    QString clipboard;
    EXPECT_TRUE(display.waitUntil([&] {
        clipboard = QString::fromUtf8(display.run("xclip", {"-o", "-selection", "clipboard"}).value_or(QByteArray()));
        return !clipboard.isEmpty();
    }));
    EXPECT_EQ(clipboard, expected);
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}


// The source grid in the main window's left column: a click on a tile puts its source on the first
// free strip, which the program stores at once.
TEST_F(Desktop, ClickingASourceTilePutsItOnTheFirstFreeStrip) {
    QuellorProcess app;
    SimulatedWorld world = studioWorld();
    world.processes = {{SimulatedProcess{4101, "org.example.piano", "Piano Roll", true, false, 0},
                        SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 440.0, 0.5f, 0.0f}},
                       {SimulatedProcess{4102, "org.example.radio", "Radio Tuner", true, false, 0},
                        SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 220.0, 0.5f, 0.0f}}};
    useWorld(app, world);
    // MAIN and PHONES on the first two strips, the fourth taken: the free ones are 3, 5, 6...
    QStringList strips = {"bus:main", "bus:phones", "", "org.example.other"};
    while (strips.size() < 16) strips << "";
    const QString window = launch(app, {{"consoleSlots", QJsonArray::fromStringList(strips)}});
    ASSERT_FALSE(window.isEmpty());
    const QRect frame = *display.geometry(window);

    // The applications by name: Piano Roll, Radio Tuner; then MAIN, PHONES, INPUT.
    const QPoint radio = sourceTileCentre(frame, 2, 1);
    const QPoint input = sourceTileCentre(frame, 2, 2 + 2);

    auto slotsOnDisk = [&] { return storedDefaults(app)["consoleSlots"].toArray(); };
    // A click before the window takes input is lost; a second click on a source already on a strip
    // changes nothing, so clicking until it lands is safe.
    EXPECT_TRUE(display.waitUntil([&] {
        display.click(radio);
        return slotsOnDisk().at(2).toString() == "org.example.radio";
    })) << app.output().toStdString();
    EXPECT_TRUE(display.waitUntil([&] {
        display.click(input);
        return slotsOnDisk().at(4).toString() == "system_input";
    }));
    const QJsonArray stored = slotsOnDisk();
    EXPECT_EQ(stored.at(3).toString(), "org.example.other");
    EXPECT_EQ(stored.count(), 16);
    for (int i = 5; i < 16; ++i) EXPECT_EQ(stored.at(i).toString(), "") << i;
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}


// The strips of the console as a user sees them: their names in the title blocks, a fader's cap
// where a remote fader command put it, and a meter whose bar falls with its fader while the
// application plays.
class ConsoleStrips : public Desktop {
protected:
    int strips = 8;  // the console's "consoleStrips"
    const QString kPassword = "135791";

    // Where the strip of slot `index` stands on the screen in the main window `frame`.
    QRect stripOnScreen(const QRect& frame, int index) const {
        const int menuBar = frame.height() - 900;
        const int column = int(std::lround(sourcesColumnWidth(kDefaultLeftColumnWidth, 1180))) + 2;
        const QPoint origin = frame.topLeft() + QPoint(column, menuBar + MainWindowView::kTopBarHeight + 1);
        const QSizeF console(1180 - column, 900 - MainWindowView::kTopBarHeight - 1);
        const ConsoleLayout layout = ConsoleLayout::of(ConsoleLayout::availableSize(console), strips);
        const QPointF padding(ConsoleLayout::kPadding, ConsoleLayout::kPadding);
        return layout.cellRect(index).translated(padding).toAlignedRect().translated(origin);
    }
    // The name as a title block draws it, on the block's panel.
    static QImage nameImage(const QString& name, const Palette& p) {
        const QFont font = monoFont(9, QFont::Medium);
        const QFontMetricsF metrics(font);
        QImage image(int(std::ceil(metrics.horizontalAdvance(name))), 14, QImage::Format_RGB32);
        image.fill(p.panel);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(p.textPrimary);
        painter.drawText(QPointF(0, 7 + (metrics.ascent() - metrics.descent()) / 2), name);
        return image;
    }
    // How unlike the best-matching place of `image` inside `area` of `screen` is (mean difference
    // of the channels, 0...255).
    static double distance(const QImage& screen, const QRect& area, const QImage& image) {
        double best = 1e9;
        for (int y = area.top(); y + image.height() <= area.bottom() + 1; ++y)
            for (int x = area.left(); x + image.width() <= area.right() + 1; ++x) {
                double sum = 0;
                for (int j = 0; j < image.height() && sum / (image.width() * image.height()) < best; ++j)
                    for (int i = 0; i < image.width(); ++i) {
                        const QRgb a = screen.pixel(x + i, y + j), b = image.pixel(i, j);
                        sum += (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b))) / 3.0;
                    }
                best = std::min(best, sum / (image.width() * image.height()));
            }
        return best;
    }
    // Which of `names` a strip's title block shows.
    static QString shownName(const QImage& screen, const QRect& strip, const QStringList& names, const Palette& p) {
        const QRect title(strip.left(), strip.bottom() - 34, strip.width(), 35);
        QString found;
        double best = 1e9;
        for (const QString& name : names) {
            const double d = distance(screen, title, nameImage(name, p));
            if (d < best) {
                best = d;
                found = name;
            }
        }
        return found;
    }
    // The row of the cap's indicator line in a strip's fader (the brand-coloured line across the
    // cap), or -1.
    static double indicatorRow(const QImage& screen, const QRect& strip, const Palette& p) {
        const int x = strip.left() + strip.width() / 2 - 10;
        double sum = 0;
        int rows = 0;
        for (int y = strip.top(); y <= strip.bottom(); ++y)
            if (screen.pixelColor(x, y) == p.brand) {
                sum += y;
                ++rows;
            }
        return rows ? sum / rows : -1;
    }
    // How much light the meter column of a strip shows (the sum of its brightest channel).
    static int meterLight(const QImage& screen, const QRect& strip) {
        const int x = strip.right() - 4 - 6 - 2;
        int sum = 0;
        for (int y = strip.top(); y <= strip.bottom(); ++y) {
            const QRgb c = screen.pixel(x, y);
            sum += std::max({qRed(c), qGreen(c), qBlue(c)});
        }
        return sum;
    }
    void fader(int strip, const QString& value) {
        ASSERT_EQ(QProcess::execute("oscsend", {"127.0.0.1", QString::number(port),
                                                "/a/" + kPassword + QString("/quellor/strip/%1/fader").arg(strip), "f", value}),
                  0);
    }
};

TEST_F(ConsoleStrips, StripsShowTheirSourcesFollowARemoteFaderAndMeterWhatPlays) {
    QuellorProcess app;
    SimulatedWorld world = studioWorld();
    world.devices[0].output.virtualMainVolume = SimulatedDevice::Volume{};  // MAIN can be driven: its strip is lit
    world.processes = {{SimulatedProcess{4101, "org.example.piano", "Piano Roll", true, false, 0},
                        SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 440.0, 0.5f, 0.0f}},
                       {SimulatedProcess{4102, "org.example.radio", "Radio Tuner", true, false, 0},
                        SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 220.0, 0.5f, 0.0f}}};
    useWorld(app, world);
    QStringList strips = {"org.example.piano", "org.example.radio", "bus:main"};
    while (strips.size() < 16) strips << "";
    const QString window = launch(app, {{"theme", "booth"},
                                        {"oscControlPassword", kPassword},
                                        {"consoleSlots", QJsonArray::fromStringList(strips)}});
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(app.waitForLog(QString("OSC Listener ready on port %1").arg(port)));
    const QRect frame = *display.geometry(window);
    const Palette p = palette(ThemeMode::Booth);
    const QRect piano = stripOnScreen(frame, 0), radio = stripOnScreen(frame, 1), main = stripOnScreen(frame, 2);
    const QRect empty = stripOnScreen(frame, 3);

    // The names, each told apart from the others by the pixels of its title block.
    const QStringList names = {"PIANO ROLL", "RADIO TUNER", "MAIN"};
    QImage screen;
    // Until the window has painted, the screen is black, which any name matches about as badly: wait
    // for the window's own background first, and for all three names (each application's strip is
    // named once the program has seen it play).
    EXPECT_TRUE(display.waitUntil([&] {
        screen = display.screenshot();
        return pixel(screen, empty.center()) != QColor(Qt::black) && shownName(screen, piano, names, p) == "PIANO ROLL" &&
               shownName(screen, radio, names, p) == "RADIO TUNER" && shownName(screen, main, names, p) == "MAIN";
    })) << "the first strip shows " << shownName(screen, piano, names, p).toStdString();
    EXPECT_EQ(shownName(screen, radio, names, p), "RADIO TUNER");
    EXPECT_EQ(shownName(screen, main, names, p), "MAIN");

    // At full level the cap stands at the top of its fader, and the tone lights the meter.
    double full = -1;
    int loud = 0;
    EXPECT_TRUE(display.waitUntil([&] {
        screen = display.screenshot();
        full = indicatorRow(screen, piano, p);
        loud = meterLight(screen, piano);
        return full > 0 && loud > meterLight(screen, empty) + 2000;
    })) << "cap at " << full << ", meter light " << loud << " against " << meterLight(screen, empty);
    EXPECT_LT(full - piano.top(), 4 + 22 + 24 + 30);

    // The remote fader moves the cap linearly in the fader value: 1 → 0.25 is 1.5 times 0.75 → 0.25.
    double quarter = -1, threeQuarters = -1;
    fader(1, "0.25");
    EXPECT_TRUE(display.waitUntil([&] {
        quarter = indicatorRow(display.screenshot(), piano, p);
        return quarter > full + 20;
    })) << quarter;
    // Quieter now: the bar falls (the peak line after its hold time).
    EXPECT_TRUE(display.waitUntil([&] { return meterLight(display.screenshot(), piano) < loud * 0.8; }));
    fader(1, "0.75");
    EXPECT_TRUE(display.waitUntil([&] {
        threeQuarters = indicatorRow(display.screenshot(), piano, p);
        return threeQuarters > 0 && threeQuarters < quarter - 20;
    })) << threeQuarters;
    EXPECT_NEAR((quarter - full) / (quarter - threeQuarters), 1.5, 0.05);
    EXPECT_EQ(indicatorRow(display.screenshot(), radio, p), full) << "only the first strip's fader moved";
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

// The OSC port in the settings' iOS tab, typed as a user types it: Return moves the listener (as
// `ss` lists the machine's sockets); text that is no port, or a port left without Return, leaves it
// where it was.
class SettingsPort : public Desktop {
protected:
    // The UDP ports on which `app` has a socket bound.
    static QList<quint16> udpPorts(const QuellorProcess& app) {
        QProcess ss;
        ss.start("ss", {"-H", "-u", "-l", "-n", "-p"});
        if (!ss.waitForFinished(10000)) return {};
        QList<quint16> ports;
        const QString owner = QString("pid=%1,").arg(app.pid());
        for (const QString& line : QString::fromUtf8(ss.readAllStandardOutput()).split('\n')) {
            if (!line.contains(owner)) continue;
            const QStringList fields = line.simplified().split(' ');
            if (fields.size() < 4) continue;
            const QString local = fields[3];  // address:port
            ports << quint16(local.mid(local.lastIndexOf(':') + 1).toUInt());
        }
        return ports;
    }
    static QString ready(quint16 p) { return QString("OSC Listener ready on port %1 ").arg(p); }
};

TEST_F(SettingsPort, ReturnMovesTheListenerAndAnythingElseLeavesIt) {
    QuellorProcess app;
    QString window = launch(app);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(app.waitForLog(ready(port))) << app.output().toStdString();
    ASSERT_TRUE(app.waitUntil([&] { return udpPorts(app).contains(port); })) << app.output().toStdString();

    ASSERT_TRUE(display.key(window, "ctrl+comma"));
    auto settings = display.waitForWindow(app.pid(), "Settings");
    ASSERT_TRUE(settings) << app.output().toStdString();
    // The focus starts on the first tab: the arrows select iOS, and the port field is six controls
    // on (Done, New PIN, Copy, Show, the reception switch).
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(display.key(*settings, "Right"));
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(display.key(*settings, "Tab"));

    quint16 moved = QuellorProcess::freeUdpPort();
    while (moved == port) moved = QuellorProcess::freeUdpPort();
    ASSERT_TRUE(display.key(*settings, "ctrl+a"));
    ASSERT_TRUE(display.type(*settings, QString::number(moved)));
    ASSERT_TRUE(display.key(*settings, "Return"));
    ASSERT_TRUE(app.waitForLog(ready(moved))) << app.output().toStdString();
    EXPECT_TRUE(app.waitUntil([&] {
        const auto ports = udpPorts(app);
        return ports.contains(moved) && !ports.contains(port);
    })) << app.output().toStdString();
    EXPECT_TRUE(app.waitUntil([&] { return storedDefaults(app).value("oscPort").toInt() == moved; }));

    // A port typed and left with Tab is dropped; text that is no number, with Return, restarts the
    // listener where it was. That restart also shows that the Tab before it was handled.
    const quint16 left = QuellorProcess::freeUdpPort();
    ASSERT_TRUE(display.key(*settings, "ctrl+a"));
    ASSERT_TRUE(display.type(*settings, QString::number(left)));
    ASSERT_TRUE(display.key(*settings, "Tab"));
    ASSERT_TRUE(display.key(*settings, "shift+Tab"));
    ASSERT_TRUE(display.key(*settings, "ctrl+a"));
    ASSERT_TRUE(display.type(*settings, "12ab"));
    ASSERT_TRUE(display.key(*settings, "Return"));
    ASSERT_TRUE(app.waitUntil([&] { return count(app, ready(moved)) == 2; })) << app.output().toStdString();
    EXPECT_TRUE(app.waitUntil([&] { return udpPorts(app).contains(moved); })) << app.output().toStdString();
    EXPECT_FALSE(udpPorts(app).contains(left));
    EXPECT_EQ(storedDefaults(app).value("oscPort").toInt(), moved);
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

// The console's own controls as a user meets them: the lock, the MAIN mute, solo and CLEAR SOLO,
// dragging a strip onto another, and the strip count.
class ConsoleControls : public ConsoleStrips {
protected:
    // Two playing applications and MAIN on the first three strips of a console in the booth theme.
    QString launchConsole(QuellorProcess& app, QJsonObject defaults = {}) {
        SimulatedWorld world = studioWorld();
        world.devices[0].sampleRate = deviceRate;
        world.processes = {{SimulatedProcess{4101, "org.example.piano", "Piano Roll", true, false, 0},
                            SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 440.0, 0.5f, 0.0f}},
                           {SimulatedProcess{4102, "org.example.radio", "Radio Tuner", true, false, 0},
                            SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 220.0, 0.5f, 0.0f}}};
        useWorld(app, world);
        QStringList slotIDs = {"org.example.piano", "org.example.radio", "bus:main"};
        while (slotIDs.size() < 16) slotIDs << "";
        if (!defaults.contains("theme")) defaults["theme"] = "booth";
        defaults["consoleSlots"] = QJsonArray::fromStringList(slotIDs);
        const QString window = launch(app, defaults);
        if (window.isEmpty()) return window;
        frame = *display.geometry(window);
        // A click before the strips are placed and drawn would land on nothing.
        const QStringList names = {"PIANO ROLL", "RADIO TUNER", "MAIN"};
        const Palette p = palette(themeFromRawValue(defaults["theme"].toString()).value_or(ThemeMode::Booth));
        EXPECT_TRUE(display.waitUntil([&] { return shownName(display.screenshot(), stripOnScreen(frame, 0), names, p) == "PIANO ROLL"; }));
        return window;
    }
    // The middle of a strip's button band (CUE, SOLO, MUTE; on MAIN the main mute), at `fraction`
    // of its width.
    QPoint buttonBand(int index, double fraction) const {
        const QRect strip = stripOnScreen(frame, index);
        return {strip.left() + int(strip.width() * fraction), strip.top() + 1 + 22 + ConsoleStripWidget::kButtonAreaHeight / 2};
    }
    // Where a strip's title block can be taken to drag the strip: left of its colour bar.
    QPoint titleGrip(int index) const {
        const QRect strip = stripOnScreen(frame, index);
        return {strip.left() + 4, strip.bottom() - 12};
    }
    // The columns of the top bar that show CLEAR SOLO's yellow text, if any.
    std::optional<QPoint> clearSolo(const QImage& screen) const {
        const QColor yellow = standardYellow(ThemeMode::Booth);
        const int menuBar = frame.height() - 900;
        int left = -1, right = -1;
        for (int x = frame.left(); x <= frame.right(); ++x)
            for (int y = frame.top() + menuBar; y < frame.top() + menuBar + MainWindowView::kTopBarHeight; ++y)
                if (screen.pixelColor(x, y) == yellow) {
                    if (left < 0) left = x;
                    right = x;
                }
        if (left < 0) return std::nullopt;
        return QPoint((left + right) / 2, frame.top() + menuBar + MainWindowView::kTopBarHeight / 2);
    }

    // The background of the locked lock button: `brand` at 15 % over `panel`.
    static QColor lockedTint(const Palette& p) {
        auto mix = [](int under, int over) { return int(std::lround(under * 0.85 + over * 0.15)); };
        return QColor(mix(p.panel.red(), p.brand.red()), mix(p.panel.green(), p.brand.green()),
                      mix(p.panel.blue(), p.brand.blue()));
    }

    // How many of the first `strips` cells show a strip rather than the console's background.
    int stripsShown(const QImage& screen, const Palette& p) const {
        int shown = 0;
        for (int i = 0; i < strips; ++i) shown += screen.pixelColor(stripOnScreen(frame, i).center()) != p.void_;
        return shown;
    }
    // The pixel just right of the last strip's cell, where a further strip would stand.
    QColor beyondLastStrip(const QImage& screen) const {
        return screen.pixelColor(stripOnScreen(frame, strips - 1).bottomRight() + QPoint(6, 0));
    }

    QRect frame;
    double deviceRate = 48000.0;  // of the one output device
};

TEST_F(ConsoleControls, TheLockStopsAFaderDragButNotTheMainMute) {
    QuellorProcess app;
    ASSERT_FALSE(launchConsole(app, {{"consoleLocked", true}}).isEmpty());
    const Palette p = palette(ThemeMode::Booth);
    const QRect piano = stripOnScreen(frame, 0);
    double cap = -1;
    ASSERT_TRUE(display.waitUntil([&] { return (cap = indicatorRow(display.screenshot(), piano, p)) > 0; }));
    const QPoint grip(piano.center().x(), int(cap));
    ASSERT_TRUE(display.drag(grip, grip + QPoint(0, 200)));
    ASSERT_TRUE(display.click(buttonBand(2, 0.5)));  // the MAIN mute, locked or not
    EXPECT_TRUE(app.waitForLog("Panic engaged")) << app.output().toStdString();
    EXPECT_EQ(indicatorRow(display.screenshot(), piano, p), cap) << "a locked fader does not move";
    EXPECT_FALSE(storedDefaults(app).contains("appVolumes"));

    // Unlocked from the top bar's lock, the same drag moves the fader.
    ASSERT_TRUE(display.click(buttonBand(2, 0.5)));
    EXPECT_TRUE(app.waitForLog("Panic released"));
    const auto lock = topBarColumns(display.screenshot(), frame, lockedTint(palette(ThemeMode::Booth)), 18);
    ASSERT_TRUE(lock) << "the locked lock's tinted background";
    ASSERT_TRUE(display.click(*lock));
    EXPECT_TRUE(app.waitUntil([&] { return !storedDefaults(app).value("consoleLocked").toBool(true); }))
        << app.output().toStdString();
    ASSERT_TRUE(display.drag(grip, grip + QPoint(0, 200)));
    EXPECT_TRUE(display.waitUntil([&] { return indicatorRow(display.screenshot(), piano, p) > cap + 100; }));
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(ConsoleControls, ClearSoloAppearsWithASoloAndReleasesIt) {
    QuellorProcess app;
    ASSERT_FALSE(launchConsole(app).isEmpty());
    const auto shot = [&] { return display.screenshot(); };
    EXPECT_FALSE(clearSolo(shot())) << "nothing soloed, no CLEAR SOLO";
    ASSERT_TRUE(display.click(buttonBand(0, 0.5)));  // SOLO, the middle one of CUE, SOLO, MUTE
    std::optional<QPoint> button;
    ASSERT_TRUE(display.waitUntil([&] { return (button = clearSolo(shot())).has_value(); })) << app.output().toStdString();
    ASSERT_TRUE(display.click(*button));
    EXPECT_TRUE(display.waitUntil([&] { return !clearSolo(shot()); }));
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(ConsoleControls, DraggingAStripOntoAnotherSwapsTheirSlots) {
    QuellorProcess app;
    ASSERT_FALSE(launchConsole(app).isEmpty());
    const Palette p = palette(ThemeMode::Booth);
    const QStringList names = {"PIANO ROLL", "RADIO TUNER", "MAIN"};
    ASSERT_TRUE(display.drag(titleGrip(0), titleGrip(2)));
    QJsonArray slotIDs;
    EXPECT_TRUE(app.waitUntil([&] {
        slotIDs = storedDefaults(app).value("consoleSlots").toArray();
        return slotIDs.size() > 2 && slotIDs[0].toString() == "bus:main";
    })) << app.output().toStdString();
    EXPECT_EQ(slotIDs[2].toString(), "org.example.piano");
    EXPECT_EQ(slotIDs[1].toString(), "org.example.radio");
    EXPECT_TRUE(display.waitUntil([&] { return shownName(display.screenshot(), stripOnScreen(frame, 0), names, p) == "MAIN"; }));
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(ConsoleControls, SixteenStripsShowSixteenStrips) {
    QuellorProcess app;
    strips = 16;
    ASSERT_FALSE(launchConsole(app, {{"consoleStrips", 16}}).isEmpty());
    const Palette p = palette(ThemeMode::Booth);
    // Every cell's strip paints its readout on the panel colour where the console's background
    // would otherwise show.
    QImage screen;
    // A screenshot taken before the window is painted shows no background at all: only one that
    // shows it beside the last strip counts.
    display.waitUntil([&] {
        screen = display.screenshot();
        return stripsShown(screen, p) == 16 && beyondLastStrip(screen) == p.void_;
    });
    EXPECT_EQ(stripsShown(screen, p), 16);
    EXPECT_EQ(beyondLastStrip(screen), p.void_) << "and no seventeenth";
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

// The cards of the console's top bar on the real program, in the daylight theme, where the
// waveform's amber is no theme colour.
class ConsoleCards : public ConsoleControls {
protected:
    // Amber pixels inside the latest-take card's amber outline: the bars of the latest take's
    // waveform. -1 while no amber outline shows (a take is running, its outline is red).
    int waveformPixels(const QImage& screen) const {
        const QColor amber(240, 196, 106);
        const int top = frame.top() + frame.height() - kMainWindowHeight;
        QRect box;
        for (int y = top; y < top + MainWindowView::kTopBarHeight; ++y)
            for (int x = frame.left(); x <= frame.right(); ++x)
                if (near(screen.pixelColor(x, y), amber)) box |= QRect(x, y, 1, 1);
        if (box.isEmpty()) return -1;
        int count = 0;
        for (int y = box.top() + 2; y <= box.bottom() - 2; ++y)
            for (int x = box.left() + 2; x <= box.right() - 2; ++x) count += near(screen.pixelColor(x, y), amber);
        return count;
    }
    QStringList takes(const QuellorProcess& app) const {
        return QDir(app.homePath() + "/Music/Quellor").entryList({"*.wav"}, QDir::Files);
    }
};

TEST_F(ConsoleCards, TheRecBallRecordsATakeThatTheCardThenShows) {
    QuellorProcess app;
    deviceRate = 44100.0;
    ASSERT_FALSE(launchConsole(app, {{"theme", "daylight"}}).isEmpty());
    const QColor recRed(232, 87, 79);
    // The ball: the first columns of the bar with a tall run of REC red (the PRE/POST lamp is small).
    std::optional<QPoint> ball;
    int shown = -1;
    ASSERT_TRUE(display.waitUntil([&] {
        const QImage screen = display.screenshot();
        ball = topBarColumns(screen, frame, recRed, 8);
        shown = waveformPixels(screen);
        return ball.has_value();
    }));
    EXPECT_EQ(shown, 0) << "nothing recorded yet";
    ASSERT_TRUE(display.click(*ball));
    ASSERT_TRUE(app.waitForLog("Recording to ")) << app.output().toStdString();
    EXPECT_TRUE(display.waitUntil([&] { return waveformPixels(display.screenshot()) == -1; })) << "the card turns red";
    // The tone plays into the take until some of it is on disk.
    EXPECT_TRUE(app.waitUntil([&] {
        const QStringList files = takes(app);
        return files.size() == 1 && QFileInfo(app.homePath() + "/Music/Quellor/" + files.front()).size() > 100000;
    }));
    ASSERT_TRUE(display.click(*ball));
    ASSERT_TRUE(app.waitForLog("Recording closed")) << app.output().toStdString();

    const QStringList files = takes(app);
    ASSERT_EQ(files.size(), 1) << app.output().toStdString();
    const QString take = app.homePath() + "/Music/Quellor/" + files.front();
    auto soxi = [&](const QString& option) {
        QProcess p;
        p.start("soxi", {option, take});
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    EXPECT_EQ(soxi("-c"), "2");
    EXPECT_EQ(soxi("-e"), "Floating Point PCM");
    EXPECT_EQ(soxi("-r"), "44100") << "the output device's rate";
    // The card lists the new take as the latest: its waveform appears in the amber frame.
    EXPECT_TRUE(display.waitUntil([&] { return (shown = waveformPixels(display.screenshot())) > 10; })) << shown;
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(ConsoleCards, TheStripCountCardSwitchesBetweenEightAndSixteenStrips) {
    QuellorProcess app;
    ASSERT_FALSE(launchConsole(app, {{"theme", "daylight"}}).isEmpty());
    const Palette p = palette(ThemeMode::Daylight);
    // The strip-count card's switch is the first switch track in the bar.
    std::optional<QPoint> track;
    ASSERT_TRUE(display.waitUntil([&] { return (track = topBarColumns(display.screenshot(), frame, p.lcd, 16)).has_value(); }));
    auto only = [&](int count) {
        strips = count;
        return display.waitUntil([&] {
            const QImage screen = display.screenshot();
            return stripsShown(screen, p) == count && beyondLastStrip(screen) == p.void_;
        });
    };
    ASSERT_TRUE(display.click(*track));
    EXPECT_TRUE(app.waitUntil([&] { return storedDefaults(app).value("consoleStrips").toInt() == 16; }))
        << app.output().toStdString();
    EXPECT_TRUE(only(16)) << "sixteen strips and no seventeenth";

    ASSERT_TRUE(display.waitUntil([&] { return (track = topBarColumns(display.screenshot(), frame, p.lcd, 16)).has_value(); }));
    ASSERT_TRUE(display.click(*track));
    EXPECT_TRUE(app.waitUntil([&] { return storedDefaults(app).value("consoleStrips").toInt() == 8; }));
    EXPECT_TRUE(only(8)) << "eight strips and no ninth beside them";
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(ConsoleStrips, ASourceTileDraggedOntoAStripPutsItThere) {
    QuellorProcess app;
    SimulatedWorld world = studioWorld();
    world.processes = {{SimulatedProcess{4101, "org.example.piano", "Piano Roll", true, false, 0},
                        SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 440.0, 0.5f, 0.0f}}};
    useWorld(app, world);
    const QString window = launch(app, {{"theme", "studio"}});
    ASSERT_FALSE(window.isEmpty());
    const QRect frame = *display.geometry(window);
    const QPoint piano = sourceTileCentre(frame, 1, 0);
    const QPoint fifth = stripOnScreen(frame, 4).center();

    // A real drag: press on the tile, move past the drag distance in steps, release over strip 5.
    // A drag that the window was not yet ready for is lost; dragging again lands the same.
    EXPECT_TRUE(display.waitUntil([&] {
        display.drag(piano, fifth, 8);
        return storedDefaults(app)["consoleSlots"].toArray().at(4).toString() == "org.example.piano";
    })) << app.output().toStdString();
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

// The device page in the settings window, on a world with three output devices (an 8-channel
// interface as the default output, the built-in output and a display) and a paired Bluetooth headset
// that is not connected.
class DevicePage : public Desktop {
protected:
    static SimulatedWorld devicesWorld() {
        SimulatedWorld world = studioWorld();
        SimulatedDevice builtIn;
        builtIn.uid = "BuiltInSpeakerDevice";
        builtIn.name = "Built-in Output";
        builtIn.transport = hal::kTransportBuiltIn;
        builtIn.output.streams = StreamConfiguration{{2}};
        SimulatedDevice display;
        display.uid = "hdmi-1";
        display.name = "Living Room TV";
        display.transport = fourCC("hdmi");
        display.output.streams = StreamConfiguration{{2}};
        SimulatedDevice headset;
        headset.uid = "00-1A-7D-DA-71-13:output";
        headset.name = "Headset";
        headset.transport = hal::kTransportBluetooth;
        headset.output.streams = StreamConfiguration{{2}};
        world.devices = {world.devices[0], builtIn, display, headset};
        world.bluetooth = {{"00-1a-7d-da-71-13", "Headset", 6, false, headset.uid}};
        world.processes = {{SimulatedProcess{4101, "org.example.piano", "Piano Roll", true, false, 0},
                            SimulatedWorld::Tone{SimulatedWorld::Tone::Kind::sine, 440.0, 0.25f, 0.0f}}};
        return world;
    }

    // Opens the settings window on its Devices tab (the focus starts on the first tab); its frame.
    std::optional<QRect> openDevicePage(const QuellorProcess& app, const QString& window) {
        if (!display.key(window, "ctrl+comma")) return std::nullopt;
        const auto settings = display.waitForWindow(app.pid(), "Settings");
        if (!settings || !display.key(*settings, "Right")) return std::nullopt;
        return display.geometry(*settings);
    }
    // The page's landmarks on the screen: the MAIN and PHONES cards (found by their fill, down a line
    // just inside their left edge) and the rows of the device list below them. The cards stand
    // inside the settings page's inset of 20 and the mixer view's padding of 14.
    struct Landmarks {
        QRect main, phones;
        QPoint row(int index) const { return {phones.left() + 60, phones.bottom() + 1 + 10 + 14 + 30 * index}; }
    };
    std::optional<Landmarks> landmarks(const QRect& frame, const Palette& p) {
        constexpr int kInset = 20 + 14;
        std::optional<Landmarks> found;
        display.waitUntil([&] {
            const QImage screen = display.screenshot();
            const int x = frame.left() + kInset + 5;
            std::vector<std::pair<int, int>> runs;
            for (int y = frame.top(); y < frame.bottom(); ++y) {
                if (screen.pixelColor(x, y) != p.rowHover) continue;
                if (!runs.empty() && runs.back().second == y - 1) runs.back().second = y;
                else runs.push_back({y, y});
            }
            // Runs of a few pixels are text or symbols; the cards are tall.
            std::erase_if(runs, [](const auto& r) { return r.second - r.first < 40; });
            if (runs.size() < 2) return false;
            const int width = frame.width() - 2 * kInset;
            found = Landmarks{QRect(frame.left() + kInset, runs[0].first, width, runs[0].second - runs[0].first + 1),
                              QRect(frame.left() + kInset, runs[1].first, width, runs[1].second - runs[1].first + 1)};
            return true;
        });
        return found;
    }
    // A stored list of strings (kept as JSON data).
    QStringList storedList(const QuellorProcess& app, const QString& key) {
        const QJsonValue v = storedDefaults(app).value(key);
        const QByteArray data = QByteArray::fromBase64(v.toObject().value("$data").toString().toLatin1());
        QStringList list;
        for (const QJsonValue& item : QJsonDocument::fromJson(data).array()) list << item.toString();
        return list;
    }
};

TEST_F(DevicePage, ADeviceDroppedOnTheMainCardBecomesTheDefaultOutputAndTheTapsFollowIt) {
    QuellorProcess app;
    useWorld(app, devicesWorld());
    // At half level the piano keeps a tap on any device (at full level it needs one only where
    // there is a PHONES bus).
    const QByteArray volumes = R"({"org.example.piano": {"volume": 0.5, "isMuted": false, "outputDeviceUIDs": [],
                                   "isCued": false, "cueVolume": 1}})";
    const QString window =
        launch(app, {{"theme", "booth"}, {"appVolumes", QJsonObject{{"$data", QString::fromLatin1(volumes.toBase64())}}}});
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(app.waitForLog("device=studio")) << app.output().toStdString();
    const auto page = openDevicePage(app, window);
    ASSERT_TRUE(page) << app.output().toStdString();
    const auto marks = landmarks(*page, palette(ThemeMode::Booth));
    ASSERT_TRUE(marks) << "no cards found";
    // The list holds the devices not in use, in priority order: the built-in output first.
    ASSERT_TRUE(display.drag(marks->row(0), marks->main.center()));
    EXPECT_TRUE(app.waitForLog("device=BuiltInSpeakerDevice")) << app.output().toStdString();
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(DevicePage, DraggingARowDownReordersTheDevicePriority) {
    QuellorProcess app;
    useWorld(app, devicesWorld());
    const QString window = launch(app, {{"theme", "daylight"}});
    ASSERT_FALSE(window.isEmpty());
    const auto page = openDevicePage(app, window);
    ASSERT_TRUE(page) << app.output().toStdString();
    const auto marks = landmarks(*page, palette(ThemeMode::Daylight));
    ASSERT_TRUE(marks) << "no cards found";
    ASSERT_TRUE(display.drag(marks->row(0), marks->row(0) + QPoint(0, 44)));
    EXPECT_TRUE(app.waitUntil([&] {
        const QStringList order = storedList(app, "devicePriority");
        return order.contains("hdmi-1") && order.indexOf("hdmi-1") < order.indexOf("BuiltInSpeakerDevice");
    })) << storedList(app, "devicePriority").join(", ").toStdString() << "\n" << app.output().toStdString();
    EXPECT_EQ(storedList(app, "devicePriorityArmed"), QStringList({"BuiltInSpeakerDevice"}));
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

TEST_F(DevicePage, ChoosingPhones34StoresThePairingOnce) {
    QuellorProcess app;
    useWorld(app, devicesWorld());
    const QByteArray pairing = R"({"studio": {"mainOffset": 0, "phonesOffset": 4}})";
    const QString window = launch(app, {{"theme", "studio"},
                                        {"busPairings", QJsonObject{{"$data", QString::fromLatin1(pairing.toBase64())}}}});
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(app.waitForLog("device=studio")) << app.output().toStdString();
    const auto page = openDevicePage(app, window);
    ASSERT_TRUE(page) << app.output().toStdString();
    const auto marks = landmarks(*page, palette(ThemeMode::Studio));
    ASSERT_TRUE(marks) << "no cards found";
    auto storedPhones = [&] {
        const QJsonValue v = storedDefaults(app).value("busPairings");
        const QByteArray data = QByteArray::fromBase64(v.toObject().value("$data").toString().toLatin1());
        return QJsonDocument::fromJson(data).object().value("studio").toObject().value("phonesOffset").toInt(-1);
    };
    // The PHONES pull-down: its items are the pairs 1/2, 3/4, 5/6, 7/8.
    const QPoint phonesPicker = marks->phones.topLeft() + QPoint(135, 57);
    auto choose = [&](int downs) {
        EXPECT_TRUE(display.click(phonesPicker));
        QStringList keys = {"key"};
        for (int i = 0; i < downs; ++i) keys << "Down";
        keys << "Return";
        EXPECT_TRUE(display.waitUntil([&] { return display.run("xdotool", keys).has_value(); }));
    };
    // The world plays one application: each rebuild builds one tap, logging one PAIRCHK line and
    // then its "Tap active" line.
    auto rebuilt = [&](int builds) {
        return app.waitUntil([&] { return count(app, "PAIRCHK") >= builds && count(app, "Tap active for") >= builds; });
    };
    const int buildsBefore = count(app, "PAIRCHK");
    choose(2);
    EXPECT_TRUE(app.waitUntil([&] { return storedPhones() == 2; })) << app.output().toStdString();
    EXPECT_TRUE(rebuilt(buildsBefore + 1)) << app.output().toStdString();
    // Choosing the pair in use again stores nothing and rebuilds no tap. Choosing 5/6 after it marks
    // when the program has handled both: its one rebuild is then the only one since.
    choose(2);
    choose(3);
    EXPECT_TRUE(app.waitUntil([&] { return storedPhones() == 4; })) << app.output().toStdString();
    EXPECT_TRUE(rebuilt(buildsBefore + 2)) << app.output().toStdString();
    EXPECT_EQ(count(app, "PAIRCHK"), buildsBefore + 2) << app.output().toStdString();
    EXPECT_EQ(app.stop(SIGTERM), 0) << app.output().toStdString();
}

}  // namespace
}  // namespace quellor::test
