#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TestEnvironment.h"
#include "platform/ProcRunningApplications.h"
#include "platform/SimulatedRunningApplications.h"
#include "platform/SimulatedWorld.h"

namespace quellor {
namespace {

// A small /proc tree: stat, environ and the exe link of each process.
class FakeProc {
public:
    FakeProc() { QDir(dir.path()).mkpath(QStringLiteral("proc")); }
    QString root() const { return dir.path() + QStringLiteral("/proc"); }
    QString path(const QString& leaf) const { return dir.path() + QLatin1Char('/') + leaf; }

    void process(int pid, int parent, const QString& command, const QString& executable,
                 const QStringList& environment = {}) {
        QString base = root() + QLatin1Char('/') + QString::number(pid);
        QDir().mkpath(base);
        write(base + QStringLiteral("/stat"),
              QStringLiteral("%1 (%2) S %3 %1 %1 0 -1 4194560").arg(pid).arg(command).arg(parent).toUtf8());
        write(base + QStringLiteral("/environ"), environment.join(QChar(0)).toUtf8());
        if (!executable.isEmpty()) QFile::link(executable, base + QStringLiteral("/exe"));
    }
    void write(const QString& file, const QByteArray& content) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QStringList launchedBy(const QString& desktopFile, int pid) const {
        return {QStringLiteral("HOME=/home/u"), QStringLiteral("GIO_LAUNCHED_DESKTOP_FILE=") + path(desktopFile),
                QStringLiteral("GIO_LAUNCHED_DESKTOP_FILE_PID=%1").arg(pid)};
    }

    QTemporaryDir dir;
};

class ProcRunningApplicationsTest : public test::QuellorTest {
protected:
    ProcRunningApplicationsTest() {
        proc.write(proc.path(QStringLiteral("org.example.Player.desktop")),
                   "[Desktop Entry]\nType=Application\nName=Example Player\nIcon=example-player\n"
                   "[Desktop Action Other]\nName=Not this one\n");
        proc.process(2, 0, QStringLiteral("kthreadd"), QString());
        // A player started from its desktop entry, and its audio helper.
        auto launched = proc.launchedBy(QStringLiteral("org.example.Player.desktop"), 100);
        proc.process(100, 1, QStringLiteral("player"), QStringLiteral("/usr/bin/player"), launched);
        proc.process(101, 100, QStringLiteral("audio-helper"), QStringLiteral("/usr/lib/player/audio-helper"), launched);
        // A browser started from a shell: main, content and audio processes share one executable.
        proc.process(200, 150, QStringLiteral("chromium"), QStringLiteral("/usr/lib/chromium/chromium"));
        proc.process(201, 200, QStringLiteral("chromium"), QStringLiteral("/usr/lib/chromium/chromium"));
        proc.process(202, 201, QStringLiteral("chromium"), QStringLiteral("/usr/lib/chromium/chromium"));
        proc.process(150, 1, QStringLiteral("bash"), QStringLiteral("/usr/bin/bash"));
        // A command name that holds ") " itself.
        proc.process(300, 100, QStringLiteral("odd) (name"), QStringLiteral("/usr/bin/odd"));
        // A corrupted tree: two processes that are each other's parent.
        proc.process(400, 401, QStringLiteral("loop"), QStringLiteral("/usr/bin/loop"));
        proc.process(401, 400, QStringLiteral("loop"), QStringLiteral("/usr/bin/loop"));
    }
    FakeProc proc;
};

TEST_F(ProcRunningApplicationsTest, DescribesProcessesByHowTheyWereStarted) {
    ProcRunningApplications apps(proc.root(), 100);

    auto player = apps.application(100);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->activationPolicy, ActivationPolicy::Regular);
    EXPECT_EQ(player->bundleIdentifier, QStringLiteral("org.example.Player"));
    EXPECT_EQ(player->localizedName, QStringLiteral("Example Player"));
    EXPECT_EQ(player->icon, QStringLiteral("example-player"));

    auto helper = apps.application(101);
    ASSERT_TRUE(helper);
    EXPECT_EQ(helper->activationPolicy, ActivationPolicy::Accessory);
    EXPECT_EQ(helper->bundleIdentifier, QStringLiteral("org.example.Player"));
    EXPECT_EQ(helper->localizedName, QStringLiteral("audio-helper"));

    auto browser = apps.application(200);
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->activationPolicy, ActivationPolicy::Accessory);
    EXPECT_EQ(browser->bundleIdentifier, QStringLiteral("chromium"));

    auto kernel = apps.application(2);
    ASSERT_TRUE(kernel);
    EXPECT_EQ(kernel->activationPolicy, ActivationPolicy::Prohibited);
    EXPECT_FALSE(kernel->bundleIdentifier);

    EXPECT_EQ(apps.application(300)->localizedName, QStringLiteral("odd) (name"));
    EXPECT_FALSE(apps.application(999));
    EXPECT_EQ(apps.ownBundleIdentifier(), QStringLiteral("org.example.Player"));

    std::vector<std::int32_t> pids;
    for (const auto& app : apps.runningApplications()) pids.push_back(app.processIdentifier);
    EXPECT_EQ(pids, (std::vector<std::int32_t>{2, 100, 101, 150, 200, 201, 202, 300, 400, 401}));
}

TEST_F(ProcRunningApplicationsTest, ResponsibleProcessFollowsTheParentChain) {
    ProcRunningApplications apps(proc.root(), 100);
    struct Case {
        std::int32_t pid;
        std::optional<std::int32_t> responsible;
    } cases[] = {
        {101, 100},           // the desktop launched its parent
        {300, 100},           // another executable under a launched application
        {202, 200},           // the outermost of a chain of one executable
        {150, 150},           // nothing above it: its own
        {400, 400},           // a cycle ends the walk
        {999, std::nullopt},  // gone
    };
    for (const Case& c : cases) EXPECT_EQ(apps.responsibleProcess(c.pid), c.responsible) << c.pid;
}

TEST_F(ProcRunningApplicationsTest, ReadsThisMachinesOwnProcess) {
    ProcRunningApplications apps;
    auto own = apps.application(::getpid());
    ASSERT_TRUE(own);
    EXPECT_NE(own->activationPolicy, ActivationPolicy::Prohibited);
    EXPECT_EQ(apps.ownBundleIdentifier(), own->bundleIdentifier);
    EXPECT_TRUE(apps.responsibleProcess(::getpid()));
    EXPECT_FALSE(apps.responsibleProcess(0x7ffffff0));
}

TEST_F(ProcRunningApplicationsTest, SimulationLaunchesTheProcessesOfTheWorld) {
    SimulatedWorld world;
    world.processes = {{SimulatedProcess{10, "org.example.Browser", "Browser", false, false, 0}, {}},
                       {SimulatedProcess{11, "org.example.Browser.audio", "", true, false, 10}, {}},
                       {SimulatedProcess{12, "", "Nameless", true, false, 0}, {}}};
    SimulatedRunningApplications apps;
    apps.populate(world);
    ASSERT_EQ(apps.runningApplications().size(), 3u);
    EXPECT_EQ(apps.application(10)->activationPolicy, ActivationPolicy::Regular);
    EXPECT_EQ(apps.application(11)->activationPolicy, ActivationPolicy::Accessory);
    EXPECT_FALSE(apps.application(11)->localizedName);
    EXPECT_FALSE(apps.application(12)->bundleIdentifier);
    EXPECT_EQ(apps.responsibleProcess(11), 10);
    EXPECT_EQ(apps.responsibleProcess(12), 12);

    apps.setResponsibilityAvailable(false);
    EXPECT_FALSE(apps.responsibleProcess(11));
    apps.quit(10);
    EXPECT_FALSE(apps.application(10));
}

}  // namespace
}  // namespace quellor
