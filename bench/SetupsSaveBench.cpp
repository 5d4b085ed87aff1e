// Main-thread cost of saving the setups file with many setups: what the interface and the OSC
// listener's deliveries wait for while a save runs. "Persist" is one save as a setup operation
// makes it; "FlushAtQuit" is a save that must be on disk before the call returns; "SaveInPlace"
// copies the setups and encodes and writes them on the calling thread, as every save once did on
// the main thread. Figures come
// from a Release build: build/release/bench/SetupsSaveBench --benchmark_filter=/50000
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "base/VirtualScheduler.h"
#include "setups/SessionManager.h"

namespace {

using namespace quellor;

// An engine with nothing live: the setups are all that is saved.
struct QuietEngine : SessionEngine {
    AppVolumeMap volumes() const override { return {}; }
    void setVolumes(const AppVolumeMap&) override {}
    void scheduleSave() override {}
    std::vector<OutputDevice> outputDevices() const override { return {}; }
    std::optional<OutputDevice> currentOutputDevice() const override { return std::nullopt; }
    void setDefaultOutputDevice(std::uint32_t) override {}
    float mainLevel() const override { return 1; }
    void setMainLevel(float) override {}
    std::optional<float> phonesLevel() const override { return std::nullopt; }
    void setPhonesLevel(float) override {}
    void restartMismatchedTaps() override {}
    QStringList liveTapBundleIDs() const override { return {}; }
    void setTapMix(const QString&, float, bool, float) override {}
    void applyCueModes() override {}
    QStringList consoleSlots() const override { return {}; }
    void setSlot(const QString&, int) override {}
    StripStyleMap stripStyles() const override { return {}; }
    void setStripStyles(const StripStyleMap&) override {}
    void sendAppList() override {}
};

// `count` setups of about a kilobyte each, as a busy user's file holds them.
MixSessionFile manySetups(int count) {
    MixSessionFile file;
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1714550400, Qt::UTC);
    for (int i = 0; i < count; ++i) {
        MixSession s;
        s.name = QStringLiteral("Setup %1").arg(i + 1);
        s.createdAt = s.modifiedAt = when.addSecs(i);
        s.mainDeviceUID = QStringLiteral("alsa_output.usb-Focusrite_Scarlett-00.analog-stereo");
        for (int a = 0; a < 3; ++a)
            s.volumes[QStringLiteral("org.example.player%1").arg(a)] = AppVolume{0.25f * float(a + 1), a == 1, {}, false, 0.5f};
        s.stripSlots = {QStringLiteral("bus:main"), QStringLiteral("bus:phones"), QStringLiteral("org.example.player0"),
                        QStringLiteral("org.example.player1"), QStringLiteral("org.example.player2")};
        while (s.stripSlots.size() < 16) s.stripSlots << QString();
        s.mainLevel = 0.7f;
        s.phonesLevel = 0.4f;
        file.sessions.push_back(std::move(s));
    }
    file.currentID = file.sessions.front().id;
    return file;
}

struct Rig {
    QTemporaryDir dir;
    VirtualScheduler scheduler;
    QuietEngine engine;
    std::unique_ptr<SessionManager> manager;
    explicit Rig(int count) {
        Scheduler::install(&scheduler);
        const MixSessionStore store(dir.filePath(QStringLiteral("Quellor/sessions.json")));
        QDir().mkpath(dir.filePath(QStringLiteral("Quellor")));
        store.save(manySetups(count));
        manager = std::make_unique<SessionManager>(engine, store);
    }
};

void BM_Persist(benchmark::State& state) {
    Rig rig(int(state.range(0)));
    for (auto _ : state) {
        rig.manager->persist();
        state.PauseTiming();
        rig.manager->flush();  // the write a save hands on finishes outside the measured time
        rig.scheduler.runPending();
        state.ResumeTiming();
    }
}

void BM_SaveInPlace(benchmark::State& state) {
    Rig rig(int(state.range(0)));
    for (auto _ : state)
        rig.manager->store().save(MixSessionFile{rig.manager->currentID(), rig.manager->sessions()});
}

void BM_FlushAtQuit(benchmark::State& state) {
    Rig rig(int(state.range(0)));
    for (auto _ : state) {
        rig.manager->persist();
        rig.manager->flush();
        state.PauseTiming();
        rig.scheduler.runPending();
        state.ResumeTiming();
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::RegisterBenchmark("Persist", BM_Persist)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("SaveInPlace", BM_SaveInPlace)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("FlushAtQuit", BM_FlushAtQuit)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
