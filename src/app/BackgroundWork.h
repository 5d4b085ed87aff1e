#pragma once
// Ending, at quit, the work that other threads do for the main thread. Jobs on a thread pool (the
// Bluetooth listing and connections) and volume writes report back through a Scheduler they hold
// by a raw pointer and use services owned by main(); they must be over before any of those goes.
//
// Threads: main thread, after the event loop has returned.

#include <initializer_list>

class QThreadPool;

namespace quellor {

class VolumeWriteQueue;

// Drops the pool's jobs that have not started and waits for those running; then stops each queue
// (a write in progress finishes and posts its completion, waiting writes are dropped). Afterwards
// nothing of theirs runs or posts any more, so the scheduler and the services may be destroyed.
void finishBackgroundWork(QThreadPool& pool, std::initializer_list<VolumeWriteQueue*> queues);

}  // namespace quellor
