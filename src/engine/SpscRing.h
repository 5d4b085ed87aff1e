#pragma once
// A fixed-capacity queue for one producer thread and one consumer thread. The storage is part of
// the object, so the producer never allocates; push and pop never block. The producer may be a
// realtime thread; a full ring refuses the new element and the producer carries on.
//
// Threads: push() from the one producer thread only, pop() and empty() from the one consumer only.

#include <array>
#include <atomic>
#include <cstddef>

namespace quellor {

template <class T, std::size_t Capacity>
class SpscRing {
    static_assert(Capacity > 0 && (Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

public:
    // Copies `value` in; false (and nothing stored) when the ring is full.
    bool push(const T& value) noexcept {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head - tail_.load(std::memory_order_acquire) == Capacity) return false;
        slots_[head & (Capacity - 1)] = value;
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

    // Moves the oldest element out; false when the ring is empty.
    bool pop(T& value) noexcept {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail == head_.load(std::memory_order_acquire)) return false;
        value = slots_[tail & (Capacity - 1)];
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    bool empty() const noexcept {
        return tail_.load(std::memory_order_relaxed) == head_.load(std::memory_order_acquire);
    }

private:
    // Each index on its own cache line: the two threads write different ones.
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
    alignas(64) std::array<T, Capacity> slots_{};
};

}  // namespace quellor
