// The render pass and the MAIN mix feed after it must not touch the heap. Every call into the heap
// that the test's thread makes while they run is counted, whatever door it takes: operator new, or
// malloc and its kin (Qt formats its strings with malloc). A sanitized build counts through the
// sanitizer allocator's hooks (the sanitizer owns malloc there); a plain build defines the C
// allocator's entry points in this executable, in front of glibc's, and forwards to glibc.
#include <gtest/gtest.h>

#include <QString>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <new>

#include "engine/RenderPass.h"
#include "platform/IOBufferStorage.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUELLOR_SANITIZER_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define QUELLOR_SANITIZER_HEAP 1
#endif
#endif

namespace {

// Only the thread that asked is counted: another thread of the process may use the heap freely.
thread_local bool t_counting = false;
std::atomic<int> g_heapCalls{0};

void countHeapCall() {
    if (t_counting) g_heapCalls.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

#ifdef QUELLOR_SANITIZER_HEAP

// From the sanitizers' allocator interface (not every compiler ships its header): the hooks run
// on every allocation and release of the sanitizer's allocator, operator new and malloc alike.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onAllocate)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*));

namespace {
void onAllocate(const volatile void*, std::size_t) { countHeapCall(); }
void onFree(const volatile void*) { countHeapCall(); }
const int g_hooksInstalled = __sanitizer_install_malloc_and_free_hooks(onAllocate, onFree);
}  // namespace

#else

// glibc's own allocator, under the names it exports for allocators put in front of it.
extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* p, std::size_t size) noexcept;
void __libc_free(void* p) noexcept;
void* __libc_memalign(std::size_t alignment, std::size_t size) noexcept;

void* malloc(std::size_t size) noexcept {
    countHeapCall();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
    countHeapCall();
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) noexcept {
    countHeapCall();
    return __libc_realloc(p, size);
}
void free(void* p) noexcept {
    if (p) countHeapCall();
    __libc_free(p);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
    countHeapCall();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    countHeapCall();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
    countHeapCall();
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* p = __libc_memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
}

namespace {
const int g_hooksInstalled = 1;
}  // namespace

#endif

namespace quellor {
namespace {

// Counts the heap calls that `work` makes on this thread.
int heapCallsOf(const std::function<void()>& work) {
    g_heapCalls = 0;
    t_counting = true;
    work();
    t_counting = false;
    return g_heapCalls.load();
}

// The counter sees each way into the heap. The calls go through volatile pointers and into Qt, so
// no optimizer can prove them unused and drop them.
TEST(RenderPassAllocation, TheCounterSeesEveryWayIntoTheHeap) {
    ASSERT_NE(g_hooksInstalled, 0);
    void* (*volatile allocate)(std::size_t) = static_cast<void* (*)(std::size_t)>(&::operator new);
    void (*volatile release)(void*) noexcept = static_cast<void (*)(void*) noexcept>(&::operator delete);
    void* (*volatile cAllocate)(std::size_t) = &std::malloc;
    void (*volatile cRelease)(void*) = &std::free;
    volatile int number = 12345;
    volatile qsizetype length = 0;
    const std::pair<const char*, std::function<void()>> doors[] = {
        {"operator new", [&] { release(allocate(16)); }},
        {"malloc", [&] { cRelease(cAllocate(16)); }},
        {"a formatted QString", [&] { length = QStringLiteral("level %1").arg(number).size(); }},
    };
    for (const auto& [door, work] : doors) EXPECT_GE(heapCallsOf(work), 2) << door;  // taken and given back
    EXPECT_EQ(length, 11);
}

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

TEST(RenderPassAllocation, NoHeapCallOnAnyPath) {
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
        state.pairedBuses.store(c.paired);
        state.isMuted.store(c.muted);
        state.isFloat32.store(c.float32);
        state.volume.store(0.8f);
        state.rampCoefficient.store(0.001f);
        state.recordsToMain.store(true);
        SummingLane lane;
        IOBufferStorage in({{2, 512}, {2, 512}}), out(c.outputs);
        std::fill(in.stream(1).begin(), in.stream(1).end(), 0.5f);
        const IOBufferList inList = in.list(), outList = out.list();
        const int calls = heapCallsOf([&] {
            for (int call = 0; call < 2600; ++call) {
                renderPass(state, state.settings(), inList, outList);
                state.recordPre.store(call % 2 == 0);
                feedMainMix(state.settings(), lane, std::uint64_t(call) * 512, inList, outList);
            }
        });
        EXPECT_EQ(calls, 0) << "paired " << c.paired << " muted " << c.muted;
        if (c.float32) {
            EXPECT_GT(lane.sum, 0.0) << "paired " << c.paired << " muted " << c.muted;
        }
    }
}

}  // namespace
}  // namespace quellor
