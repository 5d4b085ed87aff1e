#pragma once
// What every fuzz target shares: a quiet and repeatable process (a Qt application object, a
// virtual-time scheduler, no log lines on standard error) and a private folder for readers that
// take a path.
//
// The support defines LLVMFuzzerInitialize for every target; a target checks its invariants with
// FUZZ_CHECK: a broken invariant aborts, and libFuzzer keeps the input that broke it.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "base/VirtualScheduler.h"

namespace quellor::fuzz {

// The scheduler installed for the process; its time moves only in settle().
VirtualScheduler& scheduler();
// Runs what the input left scheduled and moves the clock past it (cancelled timers included), so
// that nothing carries over to the next input. Every target calls it at the end of an input.
void settle();

// An empty folder of this process (its files from the previous input are removed).
QString freshFolder();
// Writes `data` to `name` in the folder and returns the file's path.
QString writeFile(const QString& name, const QByteArray& data);

inline QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

[[noreturn]] void fail(const char* condition, const char* file, int line);

}  // namespace quellor::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? void(0) : ::quellor::fuzz::fail(#condition, __FILE__, __LINE__))
