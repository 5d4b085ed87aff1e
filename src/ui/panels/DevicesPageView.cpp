#include "ui/panels/DevicesPageView.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "audio/AudioDeviceMonitor.h"
#include "audio/AudioProcessMonitor.h"
#include "audio/BluetoothAudioMonitor.h"
#include "engine/MixerEngine.h"
#include "ui/common/KeyedChildren.h"
#include "ui/common/ViewRefresh.h"
#include "ui/panels/ActiveOutputsSectionWidget.h"
#include "ui/panels/BluetoothRowWidget.h"
#include "ui/panels/DeviceListWidget.h"
#include "ui/panels/DeviceSymbols.h"
#include "ui/panels/DropZoneBoard.h"
#include "ui/panels/HairDividerWidget.h"
#include "ui/panels/InputStripWidget.h"
#include "ui/panels/MixerSourcesPageView.h"
#include "ui/panels/PanelMetrics.h"
#include "ui/panels/PanelParts.h"
#include "ui/panels/SideSwitchButtonWidget.h"
#include "ui/panels/SideSwitchWidget.h"
#include "ui/style/ThemeController.h"

namespace quellor {
namespace {

// Wraps `content` with the page's own margin on each side (the page itself reaches into it).
QWidget* inset(QWidget* content, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(PanelMetrics::Page::kListOutset, 0, PanelMetrics::Page::kListOutset, 0);
    layout->setSpacing(0);
    layout->addWidget(content);
    return box;
}

}  // namespace

DevicesPageView::DevicesPageView(Mode mode, MixerEngine& engine, MIDIMappingManager& mappings,
                                 ThemeController& themes, DevicesPageShell shell, QWidget* parent)
    : QWidget(parent),
      mode_(mode),
      engine_(engine),
      mappings_(mappings),
      themes_(themes),
      shell_(std::move(shell)),
      board_(new DropZoneBoard(this)),
      refresh_(new ViewRefresh([this] { rebuild(); }, this)) {
    setObjectName(QStringLiteral("devices-page"));
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(DevicesPage::margins());
    column_->setSpacing(PanelMetrics::Page::kSpacing);

    sideSwitch_ = makeSideSwitch();
    column_->addWidget(inset(sideSwitch_, this));

    // Output side: the cards, then the devices not in use.
    outputSide_ = new QWidget(this);
    auto* outputColumn = new QVBoxLayout(outputSide_);
    outputColumn->setContentsMargins(0, 0, 0, 0);
    outputColumn->setSpacing(PanelMetrics::Page::kSpacing);
    outputs_ = new ActiveOutputsSectionWidget(
        engine_, mappings_, themes_, board_,
        [](const AudioDevice& d, bool isInput, const std::optional<BluetoothAudioDevice>& b) {
            return deviceSymbolName(d, isInput, b);
        },
        outputSide_);
    outputColumn->addWidget(inset(outputs_, outputSide_));
    DeviceListDrag::Owner owner;
    owner.busZones = [this] { return board_->busZones(); };
    owner.appZones = [this] { return board_->appZones(); };
    owner.onBusHover = [this](std::optional<OutputBus> bus) {
        busTarget_ = bus;
        outputs_->setBusTarget(bus);
    };
    owner.onBusAssign = [this](OutputBus bus, const AudioDevice& device) { assignToBus(bus, device); };
    owner.onRouteHover = [this](std::optional<QString> bundleID) {
        routeTarget_ = bundleID;
        if (sourcesPage_) sourcesPage_->setRouteTarget(std::move(bundleID));
    };
    owner.onRoute = [this](const QString& bundleID, const AudioDevice& device) {
        routeDeviceToApp(engine_, bundleID, device);
    };
    outputList_ = new DeviceListWidget(engine_, engine_.deviceMonitor(), themes_, std::move(owner), outputSide_);
    outputColumn->addWidget(outputList_);
    column_->addWidget(outputSide_);

    // Input side: the gain strip, then the input devices (no drops on buses from here).
    inputSide_ = new QWidget(this);
    auto* inputColumn = new QVBoxLayout(inputSide_);
    inputColumn->setContentsMargins(0, 0, 0, 0);
    inputColumn->setSpacing(PanelMetrics::Page::kSpacing);
    inputStrip_ = new InputStripWidget(engine_, mappings_, themes_, inputSide_);
    inputColumn->addWidget(inset(inputStrip_, inputSide_));
    inputList_ = new DeviceListWidget(engine_, engine_.inputDeviceMonitor(), themes_, {}, inputSide_);
    inputColumn->addWidget(inputList_);
    column_->addWidget(inputSide_);

    // Paired Bluetooth devices that are not connected as outputs.
    bluetoothSection_ = new QWidget(this);
    bluetoothSection_->setObjectName(QStringLiteral("bluetooth-section"));
    bluetoothRows_ = new QVBoxLayout(bluetoothSection_);
    bluetoothRows_->setContentsMargins(0, 0, 0, 0);
    bluetoothRows_->setSpacing(PanelMetrics::Page::kBluetoothSpacing);
    auto* heading = panelLabel(QStringLiteral("bluetooth-heading"), 10, QFont::DemiBold, bluetoothSection_);
    heading->setText(DevicesPage::kBluetoothHeading);
    heading->setContentsMargins(PanelMetrics::Page::kHeadingInset, 0, PanelMetrics::Page::kHeadingInset, 0);
    bluetoothRows_->addWidget(heading);
    column_->addWidget(bluetoothSection_);

    if (shell_.permissionBanner) {
        permissionBanner_ = shell_.permissionBanner(this);
        column_->addWidget(inset(permissionBanner_, this));
    }
    updateDivider_ = new HairDividerWidget(themes_, this);
    updateDivider_->setObjectName(QStringLiteral("update-divider"));
    column_->addWidget(inset(updateDivider_, this));
    column_->addStretch(1);

    refresh_->watch(&engine_, &MixerEngine::isStartedChanged)
        .watch(&engine_, &MixerEngine::volumesChanged)
        .watch(&engine_, &MixerEngine::needsAudioCapturePermissionChanged)
        .watch(&engine_.deviceMonitor(), &AudioDeviceMonitor::devicesChanged)
        .watch(&engine_.deviceMonitor(), &AudioDeviceMonitor::defaultDeviceIDChanged)
        .watch(&engine_.inputDeviceMonitor(), &AudioDeviceMonitor::devicesChanged)
        .watch(&engine_.processMonitor(), &AudioProcessMonitor::appsChanged)
        .watch(&engine_.bluetooth(), &BluetoothAudioMonitor::pairedChanged)
        .watch(&themes_, &ThemeController::themeChanged);
    // The sources mode lists the applications in place of the switch, the sides and the Bluetooth
    // section; its rows publish their zones on this view's board.
    if (mode_ == Mode::Sources) {
        sourcesPage_ = new MixerSourcesPageView(engine_, mappings_, themes_, board_);
        setSourcesContent(sourcesPage_);
    }
    rebuild();
}

QWidget* DevicesPageView::makeSideSwitch() {
    auto* box = new SideSwitchWidget(themes_, this);
    auto* row = new QHBoxLayout(box);
    using Switch = PanelMetrics::SideSwitch;
    row->setContentsMargins(Switch::kPadding, Switch::kPadding, Switch::kPadding, Switch::kPadding);
    row->setSpacing(Switch::kSpacing);
    const struct {
        const char* name;
        const char* symbol;
        const char* help;
        AudioSide side;
    } sides[] = {{"side-output", "speaker.wave.2.fill", "Output", AudioSide::Output},
                 {"side-input", "mic.fill", "Microphone", AudioSide::Input}};
    for (const auto& s : sides) {
        auto* button = new SideSwitchButtonWidget(themes_, QString::fromLatin1(s.symbol), box);
        button->setObjectName(QString::fromLatin1(s.name));
        button->setToolTip(QString::fromLatin1(s.help));
        button->setAccessibleName(QString::fromLatin1(s.help));
        button->setChecked(s.side == side_);
        connect(button, &QAbstractButton::clicked, this, [this, side = s.side] { setSide(side); });
        row->addWidget(button, 1);
    }
    return box;
}

void DevicesPageView::setSide(AudioSide side) {
    if (side == side_) return;
    side_ = side;
    const QString name = side == AudioSide::Output ? QStringLiteral("side-output") : QStringLiteral("side-input");
    if (auto* button = sideSwitch_->findChild<QAbstractButton*>(name)) button->setChecked(true);
    rebuild();
}

void DevicesPageView::setSourcesContent(QWidget* content) {
    if (content != sourcesPage_) sourcesPage_ = nullptr;
    delete sourcesContent_;
    sourcesContent_ = content;
    if (content) {
        content->setParent(this);
        // In the sources mode the content stands where the switch, the sides and the Bluetooth
        // section stand in the devices mode: above the banners.
        column_->insertWidget(column_->indexOf(bluetoothSection_) + 1, content);
    }
    rebuild();
}

void DevicesPageView::assignToBus(OutputBus bus, const AudioDevice& device) {
    // Only MAIN takes a device: it becomes the system's default output. PHONES is a pair of that
    // same device and takes none.
    if (bus != OutputBus::Main) return;
    engine_.setDefaultOutput(device);
}

void DevicesPageView::requestRebuild() { refresh_->request(); }

void DevicesPageView::rebuild() {
    const auto staged = shell_.stagedVersion ? shell_.stagedVersion() : std::nullopt;
    const auto available = shell_.availableVersion ? shell_.availableVersion() : std::nullopt;
    model_ = DevicesPage::of(engine_, side_, staged, available);
    const bool devices = mode_ == Mode::Devices;
    sideSwitch_->parentWidget()->setVisible(devices);
    outputSide_->setVisible(devices && side_ == AudioSide::Output);
    inputSide_->setVisible(devices && side_ == AudioSide::Input);
    outputList_->setExcludedUIDs(model_.inUseOutputUIDs);
    outputList_->setVisible(model_.showsOutputList);
    inputList_->setVisible(model_.showsInputList);
    if (sourcesContent_) sourcesContent_->setVisible(!devices);
    rebuildBluetooth();
    bluetoothSection_->setVisible(devices && !model_.bluetooth.empty());
    if (permissionBanner_) permissionBanner_->parentWidget()->setVisible(model_.showsPermissionBanner);
    rebuildUpdateBanner();
    if (auto* heading = bluetoothSection_->findChild<QLabel*>(QStringLiteral("bluetooth-heading")))
        setTextColor(*heading, themes_.palette().textMuted);
    update();
}

void DevicesPageView::rebuildBluetooth() {
    std::vector<QString> current, wanted;
    for (BluetoothRowWidget* r : bluetoothRowWidgets_) current.push_back(r->device().id);
    for (const BluetoothAudioDevice& device : model_.bluetooth) wanted.push_back(device.id);
    const KeyedChildrenPlan plan = planKeyedChildren(current, wanted);
    std::vector<BluetoothRowWidget*> rows;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const BluetoothAudioDevice& device = model_.bluetooth[i];
        BluetoothRowWidget* row = nullptr;
        if (plan.kept[i]) {
            row = bluetoothRowWidgets_[*plan.kept[i]];
            row->setDevice(device);
        } else {
            row = new BluetoothRowWidget(engine_, themes_, device, bluetoothSection_);
        }
        rows.push_back(row);
    }
    for (std::size_t i : plan.gone) {
        BluetoothRowWidget* gone = bluetoothRowWidgets_[i];
        bluetoothRows_->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    // Listed in the paired order, under the heading.
    for (BluetoothRowWidget* row : rows) bluetoothRows_->removeWidget(row);
    for (std::size_t i = 0; i < rows.size(); ++i) bluetoothRows_->insertWidget(int(i) + 1, rows[i]);
    bluetoothRowWidgets_ = std::move(rows);
}

void DevicesPageView::rebuildUpdateBanner() {
    if (model_.updateVersion != updateBannerVersion_) {
        delete updateBanner_;
        updateBanner_ = nullptr;
        updateBannerVersion_ = model_.updateVersion;
        if (updateBannerVersion_ && shell_.updateBanner) {
            updateBanner_ = inset(shell_.updateBanner(*updateBannerVersion_, nullptr), this);
            column_->insertWidget(column_->indexOf(updateDivider_->parentWidget()) + 1, updateBanner_);
        }
    }
    updateDivider_->parentWidget()->setVisible(updateBanner_ != nullptr);
}

void DevicesPageView::showEvent(QShowEvent*) {
    // The paired list may have changed while nobody looked.
    if (refreshedBluetooth_) return;
    refreshedBluetooth_ = true;
    engine_.bluetooth().refresh();
}

}  // namespace quellor
