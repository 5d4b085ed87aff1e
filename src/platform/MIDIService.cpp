#include "platform/MIDIService.h"

#include "platform/AlsaMIDIService.h"

namespace quellor {
namespace {
MIDIService* g_installed = nullptr;
}

MIDIService& MIDIService::installed() {
    if (!g_installed) {
        static AlsaMIDIService system;
        g_installed = &system;
    }
    return *g_installed;
}

void MIDIService::install(MIDIService* service) { g_installed = service; }

}  // namespace quellor
