// Cost of the realtime producer side of the recording lane: adding one IO block of the MAIN pair
// into the shared-sum ring, alone and with other taps adding into the same frames at once.
#include <benchmark/benchmark.h>

#include <vector>

#include "recording/RecordingLane.h"

namespace {

quellor::RecordingLane& lane() {
    static auto* shared = new quellor::RecordingLane("MAIN", true);  // lives to the end of the process
    return *shared;
}

void BM_AddBlock(benchmark::State& state) {
    const int frames = int(state.range(0));
    std::vector<float> block(size_t(2 * frames), 0.25f);
    quellor::RecordingLane& l = lane();  // frames go to one position again and again: no drain needed
    for (auto _ : state) {
        l.addFramesAt(0, block.data(), frames);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

}  // namespace

int main(int argc, char** argv) {
    // Armed outside the timed loops; start() needs a scheduler only for its drain timer.
    struct NoScheduler : quellor::Scheduler {
        quellor::TaskId post(std::function<void()>) override { return 1; }
        quellor::TaskId after(double, std::function<void()>) override { return 1; }
        quellor::TaskId every(double, std::function<void()>) override { return 1; }
        void cancel(quellor::TaskId) override {}
        double now() const override { return 0; }
    } scheduler;
    quellor::Scheduler::install(&scheduler);
    lane().start(0, 48000);
    benchmark::RegisterBenchmark("AddBlock", BM_AddBlock)->Arg(128)->Arg(512)->Threads(1)->Threads(4);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
