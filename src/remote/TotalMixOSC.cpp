#include "remote/TotalMixOSC.h"

namespace quellor {

std::vector<TotalMixOSC::Command> TotalMixOSC::defaultRoutingCommands(int mainOffset, int phonesOffset) {
    const int main = mainOffset / 2;
    const int phones = phonesOffset / 2;
    const QString submix = QStringLiteral("/setSubmix");
    const QString playback = QStringLiteral("/1/busPlayback");
    const QString mainFader = QStringLiteral("/1/volume%1").arg(main + 1);
    const QString phonesFader = QStringLiteral("/1/volume%1").arg(phones + 1);
    constexpr float open = 0.82f;
    return {
        {submix, float(phones)}, {playback, 1.0f}, {mainFader, 0.0f}, {phonesFader, open},
        {submix, float(main)},   {playback, 1.0f}, {mainFader, open}, {phonesFader, 0.0f},
    };
}

bool TotalMixOSC::isTotalMixDevice(const QString& uid, const QString& name) {
    if (uid.startsWith(u"RMEUSBDevice")) return true;
    for (const char* word : {"rme", "babyface", "fireface"})
        if (name.contains(QLatin1String(word), Qt::CaseInsensitive)) return true;
    return false;
}

bool TotalMixOSC::isBabyfaceProName(const QString& name) {
    return name.contains(QLatin1String("babyface pro"), Qt::CaseInsensitive);
}

}  // namespace quellor
