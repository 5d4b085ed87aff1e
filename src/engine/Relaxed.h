#pragma once
// One value shared between the main thread and a realtime thread. Each side writes it whole and
// reads it whole; no ordering with other fields is needed, so every access is a relaxed atomic
// (a plain load or store on the machines we run on). Never wraps anything larger than 8 bytes.
// Every access is spelled out (load, store, ...): no conversion hides a read of shared state.

#include <atomic>

namespace quellor {

template <class T>
class Relaxed {
    static_assert(std::atomic<T>::is_always_lock_free, "realtime-shared values must be lock-free");

public:
    constexpr Relaxed(T v = T{}) noexcept : value_(v) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T v) noexcept { value_.store(v, std::memory_order_relaxed); }
    // Reads and replaces in one step, so nothing written in between is lost.
    T exchange(T v) noexcept { return value_.exchange(v, std::memory_order_relaxed); }
    // Stores `desired` only while the value still is `expected`; otherwise (or spuriously) stores
    // nothing, puts the value found into `expected` and returns false. For retry loops.
    bool compareExchangeWeak(T& expected, T desired) noexcept {
        return value_.compare_exchange_weak(expected, desired, std::memory_order_relaxed, std::memory_order_relaxed);
    }

private:
    std::atomic<T> value_;
};

}  // namespace quellor
