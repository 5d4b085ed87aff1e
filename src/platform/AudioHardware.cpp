#include "platform/AudioHardware.h"

#include <atomic>
#include <cassert>

namespace quellor {
namespace {
// Read from any thread (the volume writers), written at start-up and by tests.
std::atomic<AudioHardware*> g_hardware{nullptr};
}

AudioHardware& AudioHardware::installed() {
    assert(g_hardware && "no AudioHardware installed");
    return *g_hardware.load();
}

bool AudioHardware::isInstalled() { return g_hardware != nullptr; }

void AudioHardware::install(AudioHardware* hardware) { g_hardware.store(hardware); }

}  // namespace quellor
