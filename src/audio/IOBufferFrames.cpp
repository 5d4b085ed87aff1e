#include "audio/IOBufferFrames.h"

#include <limits>

#include "base/UserDefaults.h"

namespace quellor {

std::uint32_t storedIOBufferFrames(const UserDefaults& defaults) {
    qint64 frames = defaults.integerOr(QStringLiteral("ioBufferFrames"), 0);
    if (frames < 0 || frames > qint64(std::numeric_limits<std::uint32_t>::max())) return 0;
    return std::uint32_t(frames);
}

QString ioBufferFramesLabel(std::uint32_t frames) {
    if (frames == 0) return QStringLiteral("Automatic");
    return QStringLiteral("%1 frames").arg(frames);
}

QString outputLatencyText(double milliseconds) { return QString::asprintf("≈ %.1f ms out", milliseconds); }

}  // namespace quellor
