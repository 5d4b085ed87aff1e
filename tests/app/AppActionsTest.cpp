// The application actions: the diagnostics text line by line, launch at login read back from the
// autostart entry, the pages, the version strings and the machine model.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "EngineFixture.h"
#include "FakeUpdateBackend.h"
#include "app/AppActions.h"
#include "app/AppVersion.h"
#include "app/Diagnostics.h"
#include "app/UpdateController.h"
#include "platform/LaunchAtLogin.h"

using namespace quellor;

namespace {

const SystemFacts kSystem{"0.1", "7", "Debian GNU/Linux 12 (bookworm)", "Standard PC (Q35 + ICH9, 2009)"};
const QString kHead = "Quellor 0.1 (7)\nDebian GNU/Linux 12 (bookworm)\nMachine Standard PC (Q35 + ICH9, 2009)";

class AppActionsTest : public test::EngineFixture {
protected:
    AppActionsTest() : launchAtLogin(dir.filePath("autostart/com.larchfen.quellor.desktop"), "/usr/bin/quellor") {}

    std::unique_ptr<AppActions> make(MixerEngine* engine) {
        return std::make_unique<AppActions>(
            updater, engine,
            AppActions::Platform{launchAtLogin, [this] { return mappings; }, [this](const QUrl& url) { opened << url; },
                                 [this](const QString& text) { copied << text; }, {}, [this] { ++quits; },
                                 [] { return kSystem; }});
    }

    QTemporaryDir dir;
    LaunchAtLogin launchAtLogin;
    test::FakeUpdateBackend backend;
    test::FakeUpdateHost host;
    AppNotifier notifier;
    UpdateController updater{backend, host, notifier, defaults()};
    int mappings = 0;
    QList<QUrl> opened;
    QStringList copied;
    int quits = 0;
};

TEST_F(AppActionsTest, DiagnosticsDescribeTheEngineLineByLine) {
    addApp(101, test::kPlayer);
    startEngine();
    auto actions = make(&engine());
    auto expect = [&](const QString& lines) {
        settle();
        const QString taps = QString::number(engine().taps().count());
        EXPECT_EQ(actions->diagnostics(),
                  kHead + "\n" + QString(lines).replace("%taps", taps) + "\nMIDI mappings: 0\nPhone paired: no");
    };
    // No output device: no pairing line and no latency.
    expect("MAIN device: none — 0 ch\nActive taps: %taps\nBuffer: Automatic, minimum latency off");

    // Two channels: no PHONES pair; 512 frames at 48 kHz.
    const AudioObjectID speakers = addOutputDevice("Speakers", 2);
    hardware.setDefaultOutputDevice(speakers);
    expect("MAIN device: Speakers — 2 ch\nChannel pairing: none (PHONES unavailable)\nActive taps: %taps\n"
           "Buffer: Automatic (≈ 10.7 ms out), minimum latency off");

    // 48 kHz, safety offset 24, latency 0, buffer 512: 536 frames.
    const AudioObjectID interface = addOutputDevice("Interface", 8);
    hardware.setProperty(interface, {hal::kSafetyOffset, hal::kScopeOutput}, std::uint32_t(24));
    hardware.setDefaultOutputDevice(interface);
    expect("MAIN device: Interface — 8 ch\nChannel pairing: MAIN 1/2, PHONES 3/4\nActive taps: %taps\n"
           "Buffer: Automatic (≈ 11.2 ms out), minimum latency off");
}

TEST_F(AppActionsTest, DiagnosticsFollowTheSettingsAndLoseTheEngineLinesWithTheEngine) {
    addOutputDevice("Interface", 8);
    startEngine();
    settle();
    defaults().setInteger("ioBufferFrames", 256);
    defaults().setBool("minLatencyMode", true);
    mappings = 3;
    auto actions = make(&engine());
    const QStringList lines = actions->diagnostics().split('\n');
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[6], "Buffer: 256 frames (≈ 5.3 ms out), minimum latency on");
    EXPECT_EQ(lines[7], "MIDI mappings: 3");

    actions->copyDiagnostics();
    EXPECT_EQ(copied, QStringList{actions->diagnostics()});
    EXPECT_FALSE(copied[0].endsWith('\n'));

    auto orphan = make(nullptr);
    EXPECT_EQ(orphan->diagnostics(), kHead);
}

TEST_F(AppActionsTest, LaunchAtLoginShowsWhatTheAutostartEntrySays) {
    auto actions = make(nullptr);
    EXPECT_FALSE(actions->launchAtLoginEnabled());
    actions->setLaunchAtLogin(true);
    EXPECT_TRUE(actions->launchAtLoginEnabled());
    EXPECT_TRUE(QFile::exists(launchAtLogin.entryPath()));
    actions->setLaunchAtLogin(false);
    EXPECT_FALSE(actions->launchAtLoginEnabled());
    EXPECT_FALSE(QFile::exists(launchAtLogin.entryPath()));
}

TEST_F(AppActionsTest, PagesTitleAndQuit) {
    auto actions = make(nullptr);
    actions->openSupportPage();
    actions->openTermsPage();
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(AppActions::kSupportPageAddress), QUrl(AppActions::kTermsPageAddress)}));
    EXPECT_EQ(actions->updateMenuTitle(), "Check for Updates…");
    backend.delegate->updaterDidFindValidUpdate("3.1");
    EXPECT_EQ(actions->updateMenuTitle(), "Update to 3.1…");
    actions->quit();
    EXPECT_EQ(quits, 1);
}

TEST(Diagnostics, VersionsModelAndPairingText) {
    EXPECT_EQ(versionOr("", "dev"), "dev");
    EXPECT_EQ(versionOr(nullptr, "0"), "0");
    EXPECT_EQ(versionOr("1.4", "dev"), "1.4");
    EXPECT_FALSE(appShortVersion().isEmpty());

    QTemporaryDir dir;
    struct Case {
        QByteArray content;  // "-": no file
        QString model;
    };
    for (const Case& c : {Case{"-", "unknown"}, Case{"Standard PC (Q35 + ICH9, 2009)\n", "Standard PC (Q35 + ICH9, 2009)"},
                          Case{QByteArray("ThinkPad\0junk", 13), "ThinkPad"}, Case{"\n", "unknown"}}) {
        const QString path = dir.filePath("product_name");
        QFile::remove(path);
        if (c.content != "-") {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.content);
        }
        EXPECT_EQ(hardwareModel(path), c.model);
    }

    EXPECT_EQ(busPairingSummary({0, 2, 2}), "MAIN 1/2, PHONES 3/4");
    EXPECT_EQ(busPairingSummary({4, 10, 2}), "MAIN 5/6, PHONES 11/12");
}

}  // namespace
