#pragma once
// What the mixer view's sources page shows, apart from pixels: which of its three forms (waiting for
// the engine, no applications, the list of application rows), how high the list is framed, and which
// row a dragged device lights up. (A device dropped on a row: routeDeviceToApp.)
//
// The list lists every application of the process monitor, in its order, playing or not. Its frame
// is worked out from the rows' contents (PanelMetrics::SourcesPage): a row with no explicit output
// has a level slider, one with n outputs a panel of n device sliders. Taller rows scroll inside
// that frame.
//
// Threads: main thread only (the engine).

#include <QString>
#include <optional>
#include <vector>

#include "audio/AudioApp.h"

namespace quellor {

class MixerEngine;

struct MixerSourcesPage {
    enum class Form { Waiting, Empty, List };

    static inline const QString kHeading = QStringLiteral("Sources");
    static inline const QString kWaitingText = QStringLiteral("Waiting for the audio system…");
    static inline const QString kNoAppsText = QStringLiteral("No apps are running");
    static inline const QString kNoAppsSymbol = QStringLiteral("waveform.slash");

    // Until the engine has started the page waits, whatever the list holds.
    static Form form(bool engineStarted, const std::vector<AudioApp>& apps);
    static double rowHeight(int explicitOutputs);
    static double listHeight(const MixerEngine& engine, const std::vector<AudioApp>& apps);
    static bool isRouteTarget(const std::optional<QString>& routeTarget, const AudioApp& app);
};

}  // namespace quellor
