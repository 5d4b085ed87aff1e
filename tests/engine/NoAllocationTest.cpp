// The render pass and the MAIN mix feed after it must not touch the heap: every allocation made
// while they run is counted by a replaced global operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/RenderPass.h"
#include "platform/IOBufferStorage.h"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};

void* counted(std::size_t size) {
    if (g_counting.load()) g_allocations.fetch_add(1);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return counted(size); }
void* operator new[](std::size_t size) { return counted(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try { return counted(size); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try { return counted(size); } catch (...) { return nullptr; }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace quellor {
namespace {

// A lane that keeps only a running sum of what it is given.
class SummingLane : public MixSink {
public:
    bool isArmed() const override { return true; }
    CapturePosition framePosition(std::uint64_t hostTime) const override { return {qint64(hostTime), 0}; }
    void addFramesAt(CapturePosition, const float* interleavedStereo, int frames) override {
        for (int i = 0; i < 2 * frames; ++i) sum += interleavedStereo[i];
    }
    double sum = 0;
};

TEST(RenderPassAllocation, NoHeapAllocationOnAnyPath) {
    using Streams = std::vector<IOBufferStorage::Stream>;
    struct Case { Streams outputs; bool paired; bool muted; bool float32; };
    const Case cases[] = {
        {{{2, 512}}, false, false, true},           // general path with its shape and peak lines, then at rest
        {{{8, 512}}, true, false, true},            // paired
        {{{2, 512}, {2, 512}}, true, true, true},   // paired across streams, muted
        {{{2, 512}}, false, true, true},            // muted
        {{{2, 512}}, false, false, false},          // pass-through
    };
    for (const Case& c : cases) {
        TapRenderState state;
        state.pairedBuses = c.paired;
        state.isMuted = c.muted;
        state.isFloat32 = c.float32;
        state.volume = 0.8f;
        state.rampCoefficient = 0.001f;
        state.recordsToMain = true;
        SummingLane lane;
        IOBufferStorage in({{2, 512}, {2, 512}}), out(c.outputs);
        std::fill(in.stream(1).begin(), in.stream(1).end(), 0.5f);
        const IOBufferList inList = in.list(), outList = out.list();
        g_allocations = 0;
        g_counting = true;
        for (int call = 0; call < 2600; ++call) {
            renderPass(state, inList, outList);
            state.recordPre = call % 2 == 0;
            feedMainMix(state, lane, std::uint64_t(call) * 512, inList, outList);
        }
        g_counting = false;
        EXPECT_EQ(g_allocations.load(), 0) << "paired " << c.paired << " muted " << c.muted;
        if (c.float32) {
            EXPECT_GT(lane.sum, 0.0) << "paired " << c.paired << " muted " << c.muted;
        }
    }
    // The hook itself works.
    g_counting = true;
    delete new int(1);
    g_counting = false;
    EXPECT_EQ(g_allocations.load(), 1);
}

}  // namespace
}  // namespace quellor
