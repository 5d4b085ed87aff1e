#pragma once
// One source application: every process object that plays or records on its behalf, folded
// together. Plain value; identity (for list views) is `id` alone, equality covers every field.

#include <QString>
#include <cstdint>
#include <vector>

namespace quellor {

class RunningApplications;

struct AudioApp {
    std::int32_t id = 0;  // process id of the application (the responsible one for helpers)
    QString bundleID;     // empty when the application reports none
    QString name;
    std::vector<std::uint32_t> objectIDs;  // ascending; empty for a silent ordinary application
    bool isPlaying = false;
    bool isRecording = false;

    bool operator==(const AudioApp&) const = default;
};

// The icon name of the running application with the app's process id, or the generic
// application icon.
QString appIcon(const AudioApp& app, const RunningApplications& running);

}  // namespace quellor
