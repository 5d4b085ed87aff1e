#pragma once
// The running applications of the desktop, as the process monitor needs them: one record per
// process id, the ordered list of all of them, the program's own identifier, and the lookup of the
// process responsible for another one (a browser for its audio service process).
//
// Threads: the simulation is main-thread only; the /proc-backed implementation keeps no state and
// may be called from any thread.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace quellor {

// Only Regular counts for the mixer: an application the user launched and sees. Accessory marks
// background helpers; Prohibited marks processes that never take part in the desktop.
enum class ActivationPolicy { Regular, Accessory, Prohibited };

struct RunningApplication {
    std::int32_t processIdentifier = 0;
    std::optional<QString> bundleIdentifier;
    std::optional<QString> localizedName;
    ActivationPolicy activationPolicy = ActivationPolicy::Prohibited;
    std::optional<QString> icon;  // an icon name of the desktop's icon theme

    bool operator==(const RunningApplication&) const = default;
};

class RunningApplications {
public:
    virtual ~RunningApplications() = default;

    // The application with this process id, or nothing when no such process is known.
    virtual std::optional<RunningApplication> application(std::int32_t pid) const = 0;
    // Every running application, in the desktop's order.
    virtual std::vector<RunningApplication> runningApplications() const = 0;
    // This program's own identifier; nothing when it has none.
    virtual std::optional<QString> ownBundleIdentifier() const = 0;
    // The process responsible for `pid`; nothing when the lookup is unavailable or cannot resolve it.
    virtual std::optional<std::int32_t> responsibleProcess(std::int32_t pid) const = 0;
};

}  // namespace quellor
