#pragma once
// The devices page as a widget (the mixer view): the page that shows where sound goes and where it comes
// from. In its devices mode a two-button switch chooses the output side (the MAIN and PHONES cards, and
// the output devices not in use, which can be dragged onto the MAIN card to make them the default output
// or reordered to change their priority) or the input side (the default input's gain strip with MIDI
// learn, and the input devices); below either side the paired Bluetooth devices that are not connected as
// outputs, then the permission banner while the capture permission is missing and the update banner while
// an update is found or staged. In its sources mode the page shows the content it is given in place of the
// switch, the sides and the Bluetooth section; the banners stay.
//
// The page keeps only the chosen side and the drag bookkeeping; it reads everything else from the
// engine once per burst of changes.
//
// Threads: main thread only.

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "ui/panels/DevicesPage.h"
#include "ui/panels/OutputBus.h"

class QVBoxLayout;

namespace quellor {

class ActiveOutputsSectionWidget;
class BluetoothRowWidget;
class DeviceListWidget;
class DropZoneBoard;
class InputStripWidget;
class MIDIMappingManager;
class MixerEngine;
class MixerSourcesPageView;
class ThemeController;
class ViewRefresh;

// What the page needs of the application shell: its two banners and the update state.
struct DevicesPageShell {
    std::function<QWidget*(QWidget* parent)> permissionBanner;
    std::function<QWidget*(const QString& version, QWidget* parent)> updateBanner;
    std::function<std::optional<QString>()> stagedVersion;
    std::function<std::optional<QString>()> availableVersion;
};

class DevicesPageView : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Devices, Sources };

    // Needs the engine, the MIDI mappings, the theme and the shell's banners.
    DevicesPageView(Mode mode, MixerEngine& engine, MIDIMappingManager& mappings, ThemeController& themes,
                    DevicesPageShell shell, QWidget* parent = nullptr);

    Mode mode() const { return mode_; }
    AudioSide side() const { return side_; }
    void setSide(AudioSide side);
    // The content of the sources mode (taken over; the sources mode starts with the application
    // list); the devices mode ignores it.
    void setSourcesContent(QWidget* content);

    const DevicesPage& model() const { return model_; }
    std::optional<OutputBus> busTarget() const { return busTarget_; }
    // The application row a dragged device is over, for the sources mode's rows.
    const std::optional<QString>& routeTarget() const { return routeTarget_; }
    DropZoneBoard& dropZones() const { return *board_; }
    ActiveOutputsSectionWidget& outputs() const { return *outputs_; }
    DeviceListWidget& outputList() const { return *outputList_; }
    DeviceListWidget& inputList() const { return *inputList_; }
    InputStripWidget& inputStrip() const { return *inputStrip_; }

    // Reads the engine and the update state again, once, after the current burst of changes.
    void requestRebuild();
    void rebuild();

protected:
    void showEvent(QShowEvent*) override;

private:
    QWidget* makeSideSwitch();
    void assignToBus(OutputBus bus, const AudioDevice& device);
    void rebuildBluetooth();
    void rebuildUpdateBanner();

    Mode mode_;
    MixerEngine& engine_;
    MIDIMappingManager& mappings_;
    ThemeController& themes_;
    DevicesPageShell shell_;
    AudioSide side_ = AudioSide::Output;
    std::optional<OutputBus> busTarget_;
    std::optional<QString> routeTarget_;
    DevicesPage model_;
    bool refreshedBluetooth_ = false;

    DropZoneBoard* board_;
    QVBoxLayout* column_;
    QWidget* sideSwitch_;
    QWidget* outputSide_;
    ActiveOutputsSectionWidget* outputs_;
    DeviceListWidget* outputList_;
    QWidget* inputSide_;
    InputStripWidget* inputStrip_;
    DeviceListWidget* inputList_;
    QWidget* bluetoothSection_;
    MixerSourcesPageView* sourcesPage_ = nullptr;  // the sources mode's list, while it is the content
    QVBoxLayout* bluetoothRows_;
    std::vector<BluetoothRowWidget*> bluetoothRowWidgets_;
    QPointer<QWidget> sourcesContent_;
    QWidget* permissionBanner_ = nullptr;
    QWidget* updateDivider_;
    QWidget* updateBanner_ = nullptr;
    std::optional<QString> updateBannerVersion_;
    ViewRefresh* refresh_;
};

}  // namespace quellor
