#include "platform/PrivacySettings.h"

#include "base/Logger.h"

namespace quellor {

bool openAudioCapturePrivacySettings() {
    static bool reported = false;
    if (!reported) {
        reported = true;
        Logger(QStringLiteral("Permission"))
            .notice("No settings page for the audio-capture permission can be opened on this system");
    }
    return false;
}

}  // namespace quellor
