#include "ui/panels/DropZones.h"

#include "audio/AudioProcessMonitor.h"
#include "engine/MixerEngine.h"

namespace quellor {

bool routeDeviceToApp(MixerEngine& engine, const QString& bundleID, const AudioDevice& device) {
    for (const AudioApp& app : engine.processMonitor().apps())
        if (app.bundleID == bundleID) {
            engine.addOutput(device, app);
            return true;
        }
    return false;
}

}  // namespace quellor
