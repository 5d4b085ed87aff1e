#include "app/BackgroundWork.h"

#include <QThreadPool>

#include "audio/VolumeWriteQueue.h"

namespace quellor {

void finishBackgroundWork(QThreadPool& pool, std::initializer_list<VolumeWriteQueue*> queues) {
    pool.clear();
    pool.waitForDone();
    for (VolumeWriteQueue* queue : queues) queue->stop();
}

}  // namespace quellor
