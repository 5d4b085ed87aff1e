#include "ui/panels/MixerSourcesPage.h"

#include "engine/MixerEngine.h"
#include "ui/panels/PanelMetrics.h"

namespace quellor {

MixerSourcesPage::Form MixerSourcesPage::form(bool engineStarted, const std::vector<AudioApp>& apps) {
    if (!engineStarted) return Form::Waiting;
    return apps.empty() ? Form::Empty : Form::List;
}

double MixerSourcesPage::rowHeight(int explicitOutputs) {
    using Sources = PanelMetrics::SourcesPage;
    return explicitOutputs == 0 ? Sources::kLevelRowHeight
                                : Sources::kOutputHeight * explicitOutputs + Sources::kOutputsFrame;
}

double MixerSourcesPage::listHeight(const MixerEngine& engine, const std::vector<AudioApp>& apps) {
    double total = 0;
    for (const AudioApp& app : apps) total += rowHeight(int(engine.outputDeviceUIDs(app).size()));
    return total;
}

bool MixerSourcesPage::isRouteTarget(const std::optional<QString>& routeTarget, const AudioApp& app) {
    return routeTarget && *routeTarget == app.bundleID;
}

}  // namespace quellor
