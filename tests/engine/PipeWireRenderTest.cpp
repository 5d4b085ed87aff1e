// Taps, aggregates and the render pass on a real PipeWire server of the test's own: a half-scale tone
// from pw-play goes through a ProcessTap and is heard on the null sinks' monitors.
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "PipeWireTapFixture.h"

namespace quellor::test {
namespace {

using PipeWireRenderTest = PipeWireTapFixture;

TapDescription tapOn(std::vector<AudioObjectID> processes, const char* uuid) {
    TapDescription d;
    d.processes = std::move(processes);
    d.uuid = uuid;
    return d;
}

QVariantMap aggregateOn(const QString& device, const QString& tapUUID) {
    return QVariantMap{{"name", "test"}, {"uid", "test-" + device}, {"master", device}, {"clock", device},
                       {"private", true}, {"tapautostart", true},
                       {"subdevices", QVariantList{QVariantMap{{"uid", device}, {"drift", false}}}},
                       {"taps", QVariantList{QVariantMap{{"uid", tapUUID}, {"drift", true}}}}};
}

TEST_F(PipeWireRenderTest, TheToneReachesTheSinkOnlyThroughTheMixAndComesBackWhenTheTapGoes) {
    SinkProbe& stereo = probe(PrivatePipeWire::kStereoSink, 2);
    QProcess& player = play(PrivatePipeWire::kStereoSink);
    ASSERT_TRUE(eventually([&] { return near(stereo.peak(0), 0.5f); })) << stereo.peak(0);
    const AudioObjectID process = processOf(player.processId());
    ASSERT_NE(process, 0u);

    auto tap = std::make_unique<ProcessTap>(kHalfGainFader, 1.0f, std::vector<AudioObjectID>{process}, false);
    tap->start({output(PrivatePipeWire::kStereoSink)});
    // Half of the half-scale tone, and nothing more: the application's own path is silent.
    EXPECT_TRUE(eventually([&] { return near(stereo.peak(0), 0.25f) && near(stereo.peak(1), 0.25f); }))
        << stereo.peak(0) << " " << stereo.peak(1);
    tap->setMuted(true);
    EXPECT_TRUE(eventually([&] { return stereo.peak(0) < 0.001f; })) << stereo.peak(0);

    // A fader move ramps: on the way from a quarter to a half the level passes through between. A
    // loaded machine can lose the very cycles of a ramp, so a move is tried up to three times.
    tap->setMuted(false);
    int between = 0;
    for (int attempt = 0; attempt < 3 && between < 2; ++attempt) {
        tap->setVolume(kHalfGainFader);
        ASSERT_TRUE(eventually([&] { return near(stereo.peak(0), 0.25f); })) << stereo.peak(0);
        const std::size_t mark = stereo.frames();
        tap->setVolume(1.0f);
        ASSERT_TRUE(eventually([&] { return near(stereo.peak(0), 0.5f); })) << stereo.peak(0);
        between = 0;
        for (float p : stereo.blockPeaks(0, mark, 240)) between += p > 0.28f && p < 0.47f;
    }
    EXPECT_GE(between, 2);

    tap.reset();
    EXPECT_TRUE(eventually([&] { return near(stereo.peak(0), 0.5f) && near(stereo.peak(1), 0.5f); }))
        << stereo.peak(0);
}

// The clients of the server that this test process holds, as pw-dump lists them; -1 when it lists
// nothing.
int clientsOfThisProcess(PrivatePipeWire& pipewire) {
    const QJsonArray objects = QJsonDocument::fromJson(pipewire.run("pw-dump", {}).toUtf8()).array();
    if (objects.isEmpty()) return -1;
    int clients = 0;
    for (const QJsonValue& value : objects) {
        const QJsonObject object = value.toObject();
        const QJsonValue pid = object["info"].toObject()["props"].toObject()["pipewire.sec.pid"];
        clients += object["type"].toString() == "PipeWire:Interface:Client" &&
                   pid.toVariant().toLongLong() == QCoreApplication::applicationPid();
    }
    return clients;
}

// The device model and the taps see one registry through one connection: with a tap at work (its
// stream moved, its mix linked) the server knows a single client of this program.
TEST_F(PipeWireRenderTest, TheDevicesAndTheTapsShareOneConnection) {
    SinkProbe& stereo = probe(PrivatePipeWire::kStereoSink, 2);
    QProcess* player = nullptr;
    const auto tap = tappedPlayer(false, player);
    ASSERT_TRUE(tap);
    ASSERT_TRUE(eventually([&] { return near(stereo.peak(0), 0.25f); })) << stereo.peak(0);
    EXPECT_EQ(clientsOfThisProcess(*pipewire_), 1);
}

// The taps ride on the hardware's connection: when the server goes they let go of the old one with
// their objects on it, and once the hardware has connected to the new server a tap works again.
TEST_F(PipeWireRenderTest, AfterTheServerRestartsTapsWorkOnTheNewConnection) {
    QProcess* player = nullptr;
    {
        SinkProbe& before = probe(PrivatePipeWire::kStereoSink, 2);
        const auto tap = tappedPlayer(false, player);
        ASSERT_TRUE(tap);
        ASSERT_TRUE(eventually([&] { return near(before.peak(0), 0.25f); })) << before.peak(0);
        pipewire_->stopServers();
        ASSERT_TRUE(eventually([&] { return !hardware_->connected(); }));
    }
    ASSERT_TRUE(pipewire_->startServers());
    ASSERT_TRUE(eventually([&] { return hardware_->connected(); }));

    SinkProbe& after = probe(PrivatePipeWire::kStereoSink, 2);
    const auto tap = tappedPlayer(false, player);
    ASSERT_TRUE(tap);
    EXPECT_TRUE(eventually([&] { return near(after.peak(0), 0.25f) && near(after.peak(1), 0.25f); }))
        << after.peak(0) << " " << after.peak(1);
}

// Wherever its tap is in moving a stream when it goes (just asked for, its mix being linked, the
// stream moved), the stream plays on its own device again, not on the default one.
TEST_F(PipeWireRenderTest, AStreamWhoseTapGoesAtAnyStepOfItsMovePlaysOnItsDeviceAgain) {
    SinkProbe& quad = probe(PrivatePipeWire::kQuadSink, 4);
    QProcess& player = play(PrivatePipeWire::kQuadSink);
    ASSERT_TRUE(eventually([&] { return near(quad.peak(0), 0.5f); })) << quad.peak(0);
    const AudioObjectID process = processOf(player.processId());
    ASSERT_NE(process, 0u);
    for (int step = 0; step < 3; ++step) {
        auto tap = std::make_unique<ProcessTap>(kHalfGainFader, 1.0f, std::vector<AudioObjectID>{process}, true);
        tap->start({output(PrivatePipeWire::kQuadSink)});
        if (step == 1) advance(0.05);
        if (step == 2) {
            ASSERT_TRUE(eventually([&] { return quad.peak(0) < 0.001f; })) << quad.peak(0);
        }
        tap.reset();
        EXPECT_TRUE(eventually([&] { return near(quad.peak(0, 480), 0.5f); })) << "step " << step;
    }
}

TEST_F(PipeWireRenderTest, RoutedToTheQuadSinkWithMainAndPhonesPairsCueAndSoloShowOnItsChannels) {
    SinkProbe& stereo = probe(PrivatePipeWire::kStereoSink, 2);
    SinkProbe& quad = probe(PrivatePipeWire::kQuadSink, 4);
    QProcess& player = play(PrivatePipeWire::kStereoSink);
    const AudioObjectID process = processOf(player.processId());
    ASSERT_NE(process, 0u);
    ProcessTap tap(kHalfGainFader, 1.0f, {process}, false);
    tap.start({output(PrivatePipeWire::kQuadSink)}, BusLayout{0, 2, 2});

    struct Step {
        const char* what;
        std::function<void()> apply;
        float main, phones;
    };
    const Step steps[] = {
        {"nothing cued: PHONES mirrors MAIN", [] {}, 0.25f, 0.25f},
        {"cued: PHONES at the cue level", [&] { tap.setPhonesMode(PhonesMode::CueLevel); }, 0.25f, 0.5f},
        {"another strip cued", [&] { tap.setPhonesMode(PhonesMode::Silent); }, 0.25f, 0.0f},
        {"another strip soloed",
         [&] {
             tap.setPhonesMode(PhonesMode::MirrorsMain);
             tap.setPanicked(true);
         },
         0.0f, 0.0f},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.apply();
        EXPECT_TRUE(eventually([&] {
            return near(quad.peak(0), step.main) && near(quad.peak(1), step.main) && near(quad.peak(2), step.phones) &&
                   near(quad.peak(3), step.phones);
        })) << quad.peak(0) << " " << quad.peak(1) << " " << quad.peak(2) << " " << quad.peak(3);
        // The application's own sink hears nothing of it.
        EXPECT_TRUE(eventually([&] { return stereo.peak(0) < 0.001f; })) << stereo.peak(0);
    }
}

// Holds a tap on the quad sink (or the sink named in QUELLOR_TEST_TAP_SINK) for each process named
// in QUELLOR_TEST_TAP_PIDS (comma-separated) until it is killed; run as a child by the test below,
// and by hand to profile the taps.
using PipeWireTapHolder = QuellorTest;
TEST_F(PipeWireTapHolder, DISABLED_HoldsTapsUntilKilled) {
    const QStringList pids = qEnvironmentVariable("QUELLOR_TEST_TAP_PIDS").split(',', Qt::SkipEmptyParts);
    if (pids.isEmpty()) GTEST_SKIP() << "run by the SIGKILL test";
    PipeWireHardware hardware;
    ASSERT_TRUE(hardware.start());
    AudioHardware::install(&hardware);
    std::vector<AudioObjectID> processes(std::size_t(pids.size()), 0);
    const QString sink = qEnvironmentVariable("QUELLOR_TEST_TAP_SINK", PrivatePipeWire::kQuadSink);
    AudioObjectID quad = 0;
    PrivatePipeWire::waitUntil([&] {
        for (AudioObjectID id : hardware.objects().processIDs()) {
            auto v = hardware.objects().property(id, {hal::kProcessPID});
            const qsizetype i = v ? pids.indexOf(QString::number(std::get<std::int32_t>(*v))) : -1;
            if (i >= 0) processes[std::size_t(i)] = id;
        }
        quad = hardware.objects().deviceWithUID(sink);
        return quad && std::count(processes.begin(), processes.end(), 0u) == 0;
    }, [this] { advance(0.02); });
    std::vector<std::unique_ptr<ProcessTap>> taps;
    for (AudioObjectID process : processes) {
        taps.push_back(std::make_unique<ProcessTap>(1.0f, 1.0f, std::vector<AudioObjectID>{process}, false));
        taps.back()->start({{sink, quad}});
    }
    std::printf("tapped\n");
    std::fflush(stdout);
    PrivatePipeWire::waitUntil([] { return false; }, [this] { advance(0.02); }, 600.0);
    taps.clear();
    AudioHardware::install(nullptr);
}

TEST_F(PipeWireRenderTest, KillingTheProgramLeavesTheApplicationPlayingToItsOwnSink) {
    SinkProbe& stereo = probe(PrivatePipeWire::kStereoSink, 2);
    SinkProbe& quad = probe(PrivatePipeWire::kQuadSink, 4);
    QProcess& player = play(PrivatePipeWire::kStereoSink);
    ASSERT_TRUE(eventually([&] { return near(stereo.peak(0), 0.5f); }));

    QProcess holder;
    QProcessEnvironment environment = pipewire_->environment();
    environment.insert("QUELLOR_TEST_TAP_PIDS", QString::number(player.processId()));
    holder.setProcessEnvironment(environment);
    holder.setStandardErrorFile(QProcess::nullDevice());
    holder.start(QCoreApplication::applicationFilePath(),
                 {"--gtest_also_run_disabled_tests", "--gtest_filter=PipeWireTapHolder.DISABLED_HoldsTapsUntilKilled"});
    ASSERT_TRUE(eventually([&] { return near(quad.peak(0), 0.5f) && stereo.peak(0) < 0.001f; }))
        << quad.peak(0) << " " << stereo.peak(0);

    holder.kill();  // SIGKILL: nothing of ours gets to clean up
    holder.waitForFinished(5000);
    EXPECT_TRUE(eventually([&] { return near(stereo.peak(0), 0.5f) && quad.peak(0) < 0.001f; }))
        << quad.peak(0) << " " << stereo.peak(0);
}

TEST_F(PipeWireRenderTest, RefusedCreationsBufferSizesAndAGoneDeviceAnswerAsTheEngineExpects) {
    QProcess& player = play(PrivatePipeWire::kStereoSink);
    const AudioObjectID process = processOf(player.processId());
    ASSERT_NE(process, 0u);
    // A sink that lives as long as its program.
    QProcess& loopback = pipewire_->launch(
        "pw-loopback", {"--capture-props", "media.class=Audio/Sink node.name=quellor-test-gone node.description=Gone"});
    const ProcessTap::Output gone = output("quellor-test-gone");
    ASSERT_NE(gone.id, 0u);

    AudioHardware& hw = AudioHardware::installed();
    AudioObjectID object = 0;
    EXPECT_EQ(hw.createProcessTap(tapOn({987654}, "no-process"), object), hal::kStatusBadObject);
    AudioObjectID tap = 0;
    ASSERT_EQ(hw.createProcessTap(tapOn({process}, "tap"), tap), hal::kStatusOK);
    EXPECT_EQ(hw.createAggregateDevice(aggregateOn("no-such-sink", "tap"), object), hal::kStatusBadObject);
    EXPECT_EQ(hw.createAggregateDevice(aggregateOn(gone.uid, "no-such-tap"), object), hal::kStatusBadObject);

    AudioObjectID aggregate = 0;
    ASSERT_EQ(hw.createAggregateDevice(aggregateOn(gone.uid, "tap"), aggregate), hal::kStatusOK);
    // A buffer size written on the aggregate is the quantum its node asks the graph for.
    const std::uint32_t frames = 256, tooMany = 1 << 20;
    EXPECT_EQ(hw.setPropertyData(aggregate, {hal::kBufferFrameSize}, 4, &frames), hal::kStatusOK);
    EXPECT_TRUE(eventually([&] {
        return pipewire_->run("pw-cli", {"info", QString::number(pipewire_->nodeID("quellor.aggregate.2"))})
            .contains("node.latency = \"256/48000\"");
    }));
    EXPECT_EQ(hw.setPropertyData(aggregate, {hal::kBufferFrameSize}, 4, &tooMany), hal::kStatusIllegalOperation);
    IOProcID proc = 0;
    ASSERT_EQ(hw.createIOProc(aggregate, [](auto&&...) {}, proc), hal::kStatusOK);
    ASSERT_EQ(hw.startDevice(aggregate, proc), hal::kStatusOK);
    auto alive = [&] {
        std::uint32_t value = 0, size = 4;
        hw.propertyData(aggregate, {hal::kDeviceIsAlive}, size, &value);
        return value;
    };
    EXPECT_EQ(alive(), 1u);
    loopback.kill();
    EXPECT_TRUE(eventually([&] { return alive() == 0; }));
    EXPECT_NE(hw.startDevice(aggregate, proc), hal::kStatusOK);

    EXPECT_EQ(hw.stopDevice(aggregate, proc), hal::kStatusOK);
    EXPECT_EQ(hw.destroyIOProc(aggregate, proc), hal::kStatusOK);
    EXPECT_EQ(hw.destroyAggregateDevice(aggregate), hal::kStatusOK);
    EXPECT_EQ(hw.destroyProcessTap(tap), hal::kStatusOK);
    EXPECT_EQ(hw.destroyProcessTap(tap), hal::kStatusBadObject);
}

// Whether a thread of this process may take a realtime policy by itself (RLIMIT_RTPRIO or the
// privilege to set one).
bool mayTakeRealtime() {
    bool allowed = false;
    std::thread probe([&] {
        sched_param param{};
        param.sched_priority = 1;
        allowed = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    });
    probe.join();
    return allowed;
}

TEST_F(PipeWireRenderTest, IOProceduresRunOnARealtimeThreadWhereTheSystemAllowsIt) {
    QProcess& player = play(PrivatePipeWire::kStereoSink);
    const AudioObjectID process = processOf(player.processId());
    ASSERT_NE(process, 0u);
    const ProcessTap::Output stereo = output(PrivatePipeWire::kStereoSink);
    AudioHardware& hw = AudioHardware::installed();
    AudioObjectID tap = 0, aggregate = 0;
    ASSERT_EQ(hw.createProcessTap(tapOn({process}, "tap"), tap), hal::kStatusOK);
    ASSERT_EQ(hw.createAggregateDevice(aggregateOn(stereo.uid, "tap"), aggregate), hal::kStatusOK);
    std::atomic<int> policy{-1};
    IOProcID proc = 0;
    ASSERT_EQ(hw.createIOProc(aggregate, [&policy](auto&&...) {
        int p = SCHED_OTHER;
        sched_param param{};
        pthread_getschedparam(pthread_self(), &p, &param);
        policy.store(p & ~SCHED_RESET_ON_FORK);
    }, proc), hal::kStatusOK);
    ASSERT_EQ(hw.startDevice(aggregate, proc), hal::kStatusOK);
    ASSERT_TRUE(eventually([&] { return policy.load() != -1; }));
    EXPECT_EQ(hw.stopDevice(aggregate, proc), hal::kStatusOK);
    EXPECT_EQ(hw.destroyIOProc(aggregate, proc), hal::kStatusOK);
    EXPECT_EQ(hw.destroyAggregateDevice(aggregate), hal::kStatusOK);
    EXPECT_EQ(hw.destroyProcessTap(tap), hal::kStatusOK);

    if (policy != SCHED_FIFO && policy != SCHED_RR && !mayTakeRealtime())
        GTEST_SKIP() << "the system refuses realtime scheduling here (no RLIMIT_RTPRIO, no CAP_SYS_NICE) and RTKit "
                        "did not grant it; the IO procedures ran with policy "
                     << policy;
    EXPECT_TRUE(policy == SCHED_FIFO || policy == SCHED_RR) << "policy " << policy;
}

}  // namespace
}  // namespace quellor::test
