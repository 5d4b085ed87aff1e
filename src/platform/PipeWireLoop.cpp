#include "platform/PipeWireLoop.h"

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <mutex>

#include "base/Logger.h"

namespace quellor {

bool PipeWireLoop::open(const char* threadName, const Handlers& handlers, void* data,
                        const std::function<void()>& started) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { pw_init(nullptr, nullptr); });
    coreEvents = {};
    coreEvents.version = PW_VERSION_CORE_EVENTS;
    coreEvents.done = handlers.done;
    coreEvents.error = handlers.error;
    registryEvents = {};
    registryEvents.version = PW_VERSION_REGISTRY_EVENTS;
    registryEvents.global = handlers.global;
    registryEvents.global_remove = handlers.globalRemove;
    loop = pw_thread_loop_new(threadName, nullptr);
    if (!loop) return false;
    context = pw_context_new(pw_thread_loop_get_loop(loop),
                             pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
    if (!context) return false;
    static std::atomic<bool> refusalLogged{false};
    if (!dataThreadRealtime() && !refusalLogged.exchange(true))
        Logger(QStringLiteral("PipeWire"))
            .error("The system refused realtime priority to PipeWire's data thread: Quellor's mix runs as an "
                   "ordinary thread and may drop out under load (allow RLIMIT_RTPRIO or run RTKit)");
    pw_thread_loop_lock(loop);
    core = pw_context_connect(context, nullptr, 0);
    if (core) {
        pw_core_add_listener(core, &coreListener, &coreEvents, data);
        registry = pw_core_get_registry(core, PW_VERSION_REGISTRY, 0);
        pw_registry_add_listener(registry, &registryListener, &registryEvents, data);
    }
    const bool running = core && pw_thread_loop_start(loop) == 0;
    if (running && started) started();
    pw_thread_loop_unlock(loop);
    return running;
}

bool PipeWireLoop::dataThreadRealtime() const {
    pw_data_loop* data = context ? pw_context_get_data_loop(context) : nullptr;
    spa_thread* thread = data ? pw_data_loop_get_thread(data) : nullptr;
    if (!thread) return false;
    int policy = SCHED_OTHER;
    sched_param param{};
    if (pthread_getschedparam(reinterpret_cast<pthread_t>(thread), &policy, &param) != 0) return false;
    policy &= ~SCHED_RESET_ON_FORK;
    return policy == SCHED_FIFO || policy == SCHED_RR;
}

void PipeWireLoop::stopListening() {
    if (registryListener.link.next) spa_hook_remove(&registryListener);
    if (coreListener.link.next) spa_hook_remove(&coreListener);
    registryListener = {};
    coreListener = {};
}

void PipeWireLoop::close() {
    if (!loop) return;
    pw_thread_loop_stop(loop);
    stopListening();
    if (registry) pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry));
    if (core) pw_core_disconnect(core);
    if (context) pw_context_destroy(context);
    pw_thread_loop_destroy(loop);
    loop = nullptr;
    context = nullptr;
    core = nullptr;
    registry = nullptr;
}

}  // namespace quellor
