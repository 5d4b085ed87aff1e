#pragma once
// What a tap's render pass reads and writes: the mix settings the main thread writes, the ramps
// and counters the IO thread keeps, the peaks the meter clock takes, and the ring that carries
// the pass's diagnostic lines out of the IO thread. Every field is one relaxed atomic value.
//
// Threads: settings (volume ... recordPre) are written by the main thread and read by the IO
// thread; currentGain, currentCueGain, shapeLogged, renderCount and the diag fields are written
// only by the IO thread while the tap runs (the main thread sets them before the IO procedure
// exists); peak and postPeak are raised by the IO thread and taken by the main thread. The
// diagnostics ring is pushed by the IO thread and drained by the main thread. mainLane is set by
// the main thread and read by the IO thread (release/acquire: the sink behind it is fully built).

#include <atomic>
#include <cstdint>

#include "engine/IODiagnostic.h"
#include "engine/MixSink.h"
#include "engine/PhonesMode.h"
#include "engine/Relaxed.h"
#include "engine/SpscRing.h"

namespace quellor {

struct TapRenderState {
    Relaxed<float> volume{0.0f};
    Relaxed<bool> isMuted{false};
    Relaxed<float> cueVolume{0.0f};
    Relaxed<PhonesMode> phonesMode{PhonesMode::MirrorsMain};
    Relaxed<bool> pairedBuses{false};
    Relaxed<int> mainOffset{0};
    Relaxed<int> phonesOffset{2};
    Relaxed<int> pairWidth{2};
    Relaxed<bool> shapeLogged{false};
    Relaxed<float> phonesBusGain{1.0f};
    Relaxed<bool> panicked{false};
    Relaxed<bool> recordsToMain{false};
    Relaxed<bool> recordPre{false};
    Relaxed<float> peak{0.0f};
    Relaxed<float> postPeak{0.0f};
    Relaxed<bool> meterPre{false};
    Relaxed<float> currentGain{0.0f};
    Relaxed<float> currentCueGain{0.0f};
    Relaxed<float> rampCoefficient{0.0f};
    Relaxed<bool> isFloat32{true};
    Relaxed<std::uint64_t> renderCount{0};
    Relaxed<float> diagInPeak{0.0f};
    Relaxed<float> diagOutPeak{0.0f};
    Relaxed<bool> diagLogged{false};
    // Where the tap adds its share of the MAIN mix (when recordsToMain); none: nowhere.
    std::atomic<MixSink*> mainLane{nullptr};

    // One shape line and five diagnostics lines in a tap's life: the ring never fills.
    SpscRing<IODiagnostic, 8> diagnostics;
};

}  // namespace quellor
