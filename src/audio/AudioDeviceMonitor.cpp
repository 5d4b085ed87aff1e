#include "audio/AudioDeviceMonitor.h"

#include "audio/HALProperties.h"
#include "audio/MainThreadListener.h"
#include "base/Observable.h"
#include "platform/StreamConfiguration.h"

namespace quellor {
namespace {

// The channel count of one scope's streams; nothing when it cannot be read.
std::optional<int> channelCount(AudioObjectID device, std::uint32_t scope) {
    AudioHardware& hardware = AudioHardware::installed();
    PropertyAddress address{hal::kStreamConfiguration, scope, hal::kElementMain};
    std::uint32_t size = 0;
    if (hardware.propertyDataSize(device, address, size) != hal::kStatusOK || size == 0) return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    if (hardware.propertyData(device, address, size, bytes.data()) != hal::kStatusOK) return std::nullopt;
    auto configuration = StreamConfiguration::fromBytes(bytes.constData(), size);
    if (!configuration) return std::nullopt;
    return static_cast<int>(configuration->totalChannels());
}

template <class T>
T readOr(std::uint32_t selector, std::uint32_t scope, AudioObjectID object, T fallback) {
    try {
        T value = fallback;
        readHALProperty32(selector, scope, value, object);
        return value;
    } catch (const HALError&) {
        return fallback;
    }
}

std::optional<QString> readString(AudioObjectID object, std::uint32_t selector) {
    try {
        return stringProperty(object, selector);
    } catch (const HALError&) {
        return std::nullopt;
    }
}

bool isOwnAggregate(const AudioDevice& d) {
    return d.transport == hal::kTransportAggregate &&
           (d.name.startsWith(QLatin1String("Quellor")) || d.name.startsWith(QLatin1String("Lintor")));
}

}  // namespace

AudioDeviceMonitor::AudioDeviceMonitor(AudioDirection direction, UserDefaults& defaults, QObject* parent)
    : QObject(parent), direction_(direction), priorityStore_{devicePriorityKey(direction), defaults} {}

int AudioDeviceMonitor::outputChannelCount(AudioObjectID device) {
    return channelCount(device, hal::kScopeOutput).value_or(0);
}

void AudioDeviceMonitor::start() {
    ranking_.order = priorityStore_.loadOrder();
    ranking_.armed = priorityStore_.loadArmed();
    listeners_.clear();
    for (std::uint32_t selector : {hal::kDevices, defaultDeviceSelector(direction_)}) {
        listeners_.push_back(
            listenOnMainThread(hal::kSystemObject, selector, hal::kScopeGlobal, alive_, [this] { refresh(); }));
    }
    refresh();
}

std::optional<AudioDevice> AudioDeviceMonitor::readDevice(AudioObjectID id) const {
    auto channels = channelCount(id, streamScope(direction_));
    if (!channels || *channels < 1) return std::nullopt;
    auto uid = readString(id, hal::kDeviceUID);
    if (!uid) return std::nullopt;
    auto name = readString(id, hal::kName);
    if (!name) return std::nullopt;
    AudioDevice d;
    d.id = id;
    d.uid = *uid;
    d.name = *name;
    d.transport = readOr<std::uint32_t>(hal::kTransportType, hal::kScopeGlobal, id, 0);
    d.outputDataSource = readOr<std::uint32_t>(hal::kDataSource, hal::kScopeOutput, id, 0);
    d.inputDataSource = readOr<std::uint32_t>(hal::kDataSource, hal::kScopeInput, id, 0);
    d.outputChannels = direction_ == AudioDirection::output ? *channels : outputChannelCount(id);
    if (isOwnAggregate(d)) return std::nullopt;
    return d;
}

void AudioDeviceMonitor::refresh() {
    AudioObjectID defaultID = readOr<std::uint32_t>(defaultDeviceSelector(direction_), hal::kScopeGlobal,
                                                    hal::kSystemObject, 0);
    // Observers of the default device hear of it before the list is rebuilt.
    if (assignIfChanged(defaultDeviceID_, defaultID)) emit defaultDeviceIDChanged();
    std::optional<QString> defaultUID = readString(defaultID, hal::kDeviceUID);

    std::vector<std::uint32_t> ids;
    try {
        ids = readUInt32ArrayProperty(hal::kDevices, hal::kScopeGlobal, hal::kSystemObject);
    } catch (const HALError&) {
        log_.error("Failed to read device list");
        return;
    }

    QSet<QString> previousUIDs;
    for (const AudioDevice& d : devices_) previousUIDs.insert(d.uid);

    std::vector<AudioDevice> devices;
    for (std::uint32_t id : ids)
        if (auto d = readDevice(id)) devices.push_back(std::move(*d));
    assignDevices(ranking_.sorted(std::move(devices)));

    evaluatePolicy(previousUIDs, defaultUID);
    lastDefaultUID_ = defaultUID;
    hasBaseline_ = true;
}

void AudioDeviceMonitor::assignDevices(std::vector<AudioDevice> devices) {
    if (assignIfChanged(devices_, std::move(devices))) emit devicesChanged();
}

void AudioDeviceMonitor::evaluatePolicy(const QSet<QString>& previousUIDs,
                                        const std::optional<QString>& currentDefaultUID) {
    if (!hasBaseline_) return;  // the first list after start is the baseline
    if (currentDefaultUID == QLatin1String(kMultiOutputUID)) return;
    QStringList currentUIDs;
    for (const AudioDevice& d : devices_) currentUIDs.append(d.uid);
    auto decision = ranking_.policyDecision(currentUIDs, previousUIDs, lastDefaultUID_, currentDefaultUID);
    if (!decision) return;
    auto it = std::find_if(devices_.begin(), devices_.end(), [&](const AudioDevice& d) { return d.uid == decision->uid; });
    if (it == devices_.end()) return;
    if (decision->reason == DeviceRanking::Reason::HigherPriorityConnected)
        log_.info("Higher-priority device connected (%s) — NOT switching (never auto-switch)", qPrintable(it->name));
    else
        log_.info("Default device disappeared; policy would pick %s — NOT switching (never auto-switch)",
                  qPrintable(it->name));
}

void AudioDeviceMonitor::setDefaultDevice(const AudioDevice& device) {
    try {
        setUInt32Property(defaultDeviceSelector(direction_), hal::kScopeGlobal, device.id, hal::kSystemObject);
    } catch (const HALError& error) {
        log_.error("Failed to set default device to %s: %s", qPrintable(device.name), qPrintable(error.description()));
        return;
    }
    if (assignIfChanged(defaultDeviceID_, device.id)) emit defaultDeviceIDChanged();
}

void AudioDeviceMonitor::applyOrder(const QStringList& visibleUIDs, const QString& movedUID) {
    ranking_.order = ranking_.mergedOrder(visibleUIDs);
    priorityStore_.saveOrder(ranking_.order);
    ranking_.armed.insert(movedUID);
    priorityStore_.saveArmed(ranking_.armed);
    assignDevices(ranking_.sorted(devices_));
}

}  // namespace quellor
