#pragma once
// Description of one simulated process object: the process id and running flags that the hardware
// layer reports ('ppid', 'piro', 'piri'), plus what the running-applications side of the platform
// knows of the process (bundle id, name, responsible process). A plain value type.

#include <QString>
#include <cstdint>

namespace quellor {

struct SimulatedProcess {
    std::int32_t pid = 0;
    QString bundleID;
    QString name;
    bool runningOutput = false;
    bool runningInput = false;
    // The process that answers for this one (a browser for its audio service); 0 = itself.
    std::int32_t responsiblePid = 0;

    friend bool operator==(const SimulatedProcess&, const SimulatedProcess&) = default;
};

}  // namespace quellor
