#include "app/Diagnostics.h"

#include <QFile>
#include <QStringList>
#include <QSysInfo>

#include "app/AppVersion.h"
#include "audio/IOBufferFrames.h"
#include "base/UserDefaults.h"
#include "engine/MixerEngine.h"

namespace quellor {

SystemFacts currentSystemFacts() {
    return {appShortVersion(), appBuildNumber(), QSysInfo::prettyProductName(), hardwareModel()};
}

QString hardwareModel(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("unknown");
    QByteArray bytes = file.read(4096);
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) bytes.truncate(nul);
    const QString model = QString::fromUtf8(bytes).trimmed();
    return model.isEmpty() ? QStringLiteral("unknown") : model;
}

QString busPairingSummary(const BusLayout& layout) {
    const int m = layout.mainOffset;
    const int p = layout.phonesOffset;
    return QStringLiteral("MAIN %1/%2, PHONES %3/%4").arg(m + 1).arg(m + 2).arg(p + 1).arg(p + 2);
}

QString diagnosticsText(const SystemFacts& system, const MixerEngine* engine, int midiMappingCount) {
    QStringList lines{
        QStringLiteral("Quellor %1 (%2)").arg(system.shortVersion, system.buildNumber),
        system.osVersion,
        QStringLiteral("Machine ") + system.machineModel,
    };
    if (engine) {
        const auto device = engine->currentOutputDevice();
        lines << (device ? QStringLiteral("MAIN device: %1 — %2 ch").arg(device->name).arg(device->outputChannels)
                         : QStringLiteral("MAIN device: none — 0 ch"));
        if (device) {
            const auto layout = engine->busLayout(*device);
            lines << (layout ? QStringLiteral("Channel pairing: ") + busPairingSummary(*layout)
                             : QStringLiteral("Channel pairing: none (PHONES unavailable)"));
        }
        lines << QStringLiteral("Active taps: %1").arg(engine->taps().count());
        const std::uint32_t frames = storedIOBufferFrames(UserDefaults::standard());
        QString latency;
        if (const auto ms = engine->readOutputLatency(int(frames))) latency = QStringLiteral(" (%1)").arg(outputLatencyText(*ms));
        const bool minLatency = UserDefaults::standard().boolOr(QStringLiteral("minLatencyMode"), false);
        lines << QStringLiteral("Buffer: ") + ioBufferFramesLabel(frames) + latency + QStringLiteral(", minimum latency ") +
                     (minLatency ? QStringLiteral("on") : QStringLiteral("off"));
        lines << QStringLiteral("MIDI mappings: %1").arg(midiMappingCount);
        // "Phone paired" is the companion's line; support reads the text as it has always been.
        lines << QStringLiteral("Phone paired: ") + (engine->companion().endpoint() ? QStringLiteral("yes") : QStringLiteral("no"));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace quellor
