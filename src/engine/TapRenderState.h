#pragma once
// What a tap's render pass reads and writes: the mix settings the main thread writes, the ramps
// and counters the IO thread keeps, the peaks the meter clock takes, and the ring that carries
// the pass's diagnostic lines out of the IO thread. Every field is one relaxed atomic value.
//
// Threads: settings (volume ... recordPre, meterPre, rampCoefficient, isFloat32: what TapSettings
// holds) are written by the main thread and read by the IO thread; currentGain, currentCueGain, shapeLogged, renderCount and the diag fields are written
// only by the IO thread while the tap runs (the main thread sets them before the IO procedure
// exists); peak and postPeak are raised by the IO thread and taken by the main thread. The
// diagnostics ring is pushed by the IO thread and drained by the main thread. mainLane is set by
// the main thread and read by the IO thread (release/acquire: the sink behind it is fully built).
//
// The IO thread reads the settings once per cycle, into a TapSettings (settings()), and works from
// that copy for the rest of the cycle: the render and the MAIN mix feed of one cycle then see the
// same values, whatever the main thread changes meanwhile.

#include <atomic>
#include <cstdint>

#include "engine/BusLayout.h"
#include "engine/IODiagnostic.h"
#include "engine/MixSink.h"
#include "engine/PhonesMode.h"
#include "engine/Relaxed.h"
#include "engine/SpscRing.h"

namespace quellor {

// The settings of a tap as one IO cycle sees them: plain values, read together.
struct TapSettings {
    float volume = 0.0f;
    bool isMuted = false;
    float cueVolume = 0.0f;
    PhonesMode phonesMode = PhonesMode::MirrorsMain;
    bool pairedBuses = false;
    BusLayout buses;  // where MAIN and PHONES lie, when pairedBuses
    float phonesBusGain = 1.0f;
    bool panicked = false;
    bool recordsToMain = false;
    bool recordPre = false;
    bool meterPre = false;
    float rampCoefficient = 0.0f;
    bool isFloat32 = true;
};

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

    // Every setting, each read once. Any thread.
    TapSettings settings() const {
        TapSettings s;
        s.volume = volume.load();
        s.isMuted = isMuted.load();
        s.cueVolume = cueVolume.load();
        s.phonesMode = phonesMode.load();
        s.pairedBuses = pairedBuses.load();
        s.buses = {mainOffset.load(), phonesOffset.load(), pairWidth.load()};
        s.phonesBusGain = phonesBusGain.load();
        s.panicked = panicked.load();
        s.recordsToMain = recordsToMain.load();
        s.recordPre = recordPre.load();
        s.meterPre = meterPre.load();
        s.rampCoefficient = rampCoefficient.load();
        s.isFloat32 = isFloat32.load();
        return s;
    }
};

}  // namespace quellor
