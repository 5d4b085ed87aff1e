#pragma once
// The settings page for the IO buffer size with its output-latency readout and the minimum-latency
// mode. The widgets show AudioSettings and forward the user's picks to it: only a pick by the
// user stores anything, never the showing of the page.
//
// Threads: main thread only.
#include <QWidget>

#include "ui/settings/AudioSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace quellor {

class ThemeController;

class AudioSettingsView : public QWidget {
    Q_OBJECT
public:
    AudioSettingsView(MixerEngine& engine, UserDefaults& defaults, ThemeController& themes, QWidget* parent = nullptr);

    AudioSettings& settings() { return settings_; }

protected:
    // The readout is read from the device each time the page shows.
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    AudioSettings settings_;
    QComboBox* buffer_;
    QLabel* latency_;
    QCheckBox* minLatency_;
};

}  // namespace quellor
