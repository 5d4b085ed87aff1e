#include "audio/MirrorAggregateCleanup.h"

#include <QStringList>
#include <QVariant>

#include "audio/HALProperties.h"
#include "base/Logger.h"
#include "platform/AudioHardware.h"

namespace quellor {
namespace {

const QStringList kMirrorUIDs = {QStringLiteral("com.larchfen.quellor.multi-output"),
                                 QStringLiteral("dev.corvantis.lintor.multi-output")};

std::optional<QString> deviceUID(AudioObjectID device) {
    try {
        return stringProperty(device, hal::kDeviceUID);
    } catch (const HALError&) {
        return std::nullopt;
    }
}

std::vector<std::uint32_t> deviceList() {
    try {
        return readUInt32ArrayProperty(hal::kDevices, hal::kScopeGlobal, hal::kSystemObject);
    } catch (const HALError&) {
        return {};
    }
}

}  // namespace

std::vector<AudioObjectID> subDeviceIDs(AudioObjectID aggregate) {
    QVariant value = QStringList();
    try {
        readHALProperty64(hal::kFullSubDeviceList, hal::kScopeGlobal, value, aggregate);
    } catch (const HALError&) {
        return {};
    }
    if (value.typeId() != QMetaType::QStringList) return {};
    QStringList subDevices = value.toStringList();
    if (subDevices.isEmpty()) return {};

    std::vector<std::pair<AudioObjectID, QString>> present;
    for (std::uint32_t id : deviceList())
        if (auto uid = deviceUID(id)) present.emplace_back(id, *uid);

    std::vector<AudioObjectID> ids;
    for (const QString& sub : subDevices) {
        auto it = std::find_if(present.begin(), present.end(), [&](const auto& p) { return p.second == sub; });
        if (it != present.end()) ids.push_back(it->first);
    }
    return ids;
}

void cleanUpLeftoverMirrorAggregates() {
    Logger log(QStringLiteral("MirrorAggregateCleanup"));
    AudioHardware& hardware = AudioHardware::installed();
    for (std::uint32_t device : deviceList()) {
        auto uid = deviceUID(device);
        if (!uid || !kMirrorUIDs.contains(*uid)) continue;

        std::uint32_t defaultOutput = 0;
        bool isDefault = false;
        try {
            readHALProperty32(hal::kDefaultOutputDevice, hal::kScopeGlobal, defaultOutput, hal::kSystemObject);
            isDefault = defaultOutput == device;
        } catch (const HALError&) {
        }
        if (isDefault) {
            auto subDevices = subDeviceIDs(device);
            if (!subDevices.empty()) {
                try {
                    setUInt32Property(hal::kDefaultOutputDevice, hal::kScopeGlobal, subDevices.front(),
                                      hal::kSystemObject);
                } catch (const HALError&) {
                    // The destruction below moves the default away by itself if this did not.
                }
            }
        }
        hardware.destroyAggregateDevice(device);
        log.info("Destroyed leftover mirror aggregate %s", qPrintable(*uid));
    }
}

}  // namespace quellor
