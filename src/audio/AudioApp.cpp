#include "audio/AudioApp.h"

#include "platform/RunningApplications.h"

namespace quellor {

QString appIcon(const AudioApp& app, const RunningApplications& running) {
    if (auto found = running.application(app.id); found && found->icon && !found->icon->isEmpty()) return *found->icon;
    return QStringLiteral("application-x-executable");
}

}  // namespace quellor
