#include "ui/panels/DeviceSymbols.h"

#include <QFile>
#include <QRegularExpression>

#include "audio/AudioDevice.h"
#include "platform/AudioConstants.h"

namespace quellor {
namespace {

bool containsAny(const QString& text, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (text.contains(QLatin1String(w))) return true;
    return false;
}

// Short model words would hide inside longer words ("nuc" in "nucleus"): they count as whole words.
bool containsWord(const QString& text, const char* pattern) {
    return QRegularExpression(QStringLiteral("\\b(%1)\\b").arg(QLatin1String(pattern))).match(text).hasMatch();
}

}  // namespace

QString bluetoothSymbolName(const QString& name, std::uint32_t minorClass) {
    const QString n = name.toLower();
    if (n.contains(QLatin1String("airpods max"))) return QStringLiteral("airpodsmax");
    if (n.contains(QLatin1String("airpods pro"))) return QStringLiteral("airpodspro");
    if (n.contains(QLatin1String("airpods"))) return QStringLiteral("airpods.gen3");
    using namespace bluetooth_minor;
    switch (minorClass) {
    case kLoudspeaker:
    case kPortableAudio:
    case kCarAudio:
    case kHiFiAudio: return QStringLiteral("hifispeaker");
    case kMicrophone: return QStringLiteral("mic");
    default: return QStringLiteral("headphones");
    }
}

QString deviceSymbolName(std::uint32_t transport, std::uint32_t dataSource, bool isInput,
                         const QString& machineSymbol) {
    const QString generic = isInput ? QStringLiteral("mic") : QStringLiteral("cable.connector");
    switch (transport) {
    case hal::kTransportBuiltIn:
        if (isInput)
            return dataSource == hal::kDataSourceExternalMic || dataSource == hal::kDataSourceLine ? QStringLiteral("mic")
                                                                                                 : machineSymbol;
        if (dataSource == hal::kDataSourceExternalSpeaker || dataSource == hal::kDataSourceLine)
            return QStringLiteral("hifispeaker");
        if (dataSource == hal::kDataSourceHeadphones) return QStringLiteral("headphones");
        return machineSymbol;
    case hal::kTransportUSB:
    case hal::kTransportPCI:
    case hal::kTransportThunderbolt:
    case hal::kTransportFireWire:
    case hal::kTransportAVB: return generic;
    case hal::kTransportAirPlay: return QStringLiteral("airplay.audio");
    case hal::kTransportVirtual: return QStringLiteral("waveform");
    case hal::kTransportContinuityWired:
    case hal::kTransportContinuityWireless: return QStringLiteral("iphone");
    case hal::kTransportDisplayPort:
    case hal::kTransportHDMI: return QStringLiteral("display");
    case hal::kTransportAggregate: return QStringLiteral("hifispeaker.2");
    default: return isInput ? QStringLiteral("mic") : QStringLiteral("hifispeaker");
    }
}

QString deviceSymbolName(const AudioDevice& device, bool isInput, const std::optional<BluetoothAudioDevice>& bluetooth,
                         const QString& machineSymbol) {
    if (isBluetoothTransport(device.transport))
        return bluetooth ? bluetoothSymbolName(bluetooth->name, bluetooth->minorClass)
                         : bluetoothSymbolName(device.name, 0);
    return deviceSymbolName(device.transport, isInput ? device.inputDataSource : device.outputDataSource, isInput,
                            machineSymbol);
}

QString deviceSymbolName(const AudioDevice& device, bool isInput, const std::optional<BluetoothAudioDevice>& bluetooth) {
    // The machine is asked for only when a built-in device needs it.
    if (isBluetoothTransport(device.transport) || device.transport != hal::kTransportBuiltIn)
        return deviceSymbolName(device, isInput, bluetooth, QString());
    return deviceSymbolName(device, isInput, bluetooth, machineSymbolName());
}

QString machineSymbolForProductName(const QString& productName) {
    const QString n = productName.toLower();
    // Macs name themselves; Linux runs on them too.
    if (n.contains(QLatin1String("macbook"))) return QStringLiteral("laptopcomputer");
    if (n.contains(QLatin1String("imac"))) return QStringLiteral("desktopcomputer");
    if (containsAny(n, {"mac mini", "macmini"})) return QStringLiteral("macmini");
    if (containsAny(n, {"mac studio", "macstudio"})) return QStringLiteral("macstudio");
    if (containsAny(n, {"mac pro", "macpro"})) return QStringLiteral("macpro.gen3");
    // Portable lines, and the "...book" names most makers give their notebooks.
    if (containsAny(n, {"book", "laptop", "thinkpad", "ideapad", "latitude", "yoga"}) || containsWord(n, "xps"))
        return QStringLiteral("laptopcomputer");
    // Small-form machines before the desktop words: "mini pc" is no tower.
    if (containsAny(n, {"mini pc", "minipc"}) || containsWord(n, "nuc")) return QStringLiteral("macmini");
    // Desktop lines, all-in-ones, and the placeholders that retail desktop boards leave in place of a
    // product name.
    if (containsAny(n, {"desktop", "tower", "optiplex", "thinkcentre", "prodesk", "elitedesk", "workstation",
                        "all-in-one", "system product name", "to be filled by o.e.m."}) ||
        containsWord(n, "aio"))
        return QStringLiteral("desktopcomputer");
    return QStringLiteral("laptopcomputer");
}

QString readProductName(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(file.read(256));
    qsizetype begin = 0, end = text.size();
    auto blank = [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; };
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

const QString& CachedMachineSymbol::get() {
    std::call_once(once_, [this] { symbol_ = machineSymbolForProductName(read_ ? read_() : QString()); });
    return symbol_;
}

const QString& machineSymbolName() {
    static CachedMachineSymbol machine([] { return readProductName(QString::fromLatin1(kProductNamePath)); });
    return machine.get();
}

}  // namespace quellor
