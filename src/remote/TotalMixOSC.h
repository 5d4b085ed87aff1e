#pragma once
// The default routing of an RME interface's mixer (TotalMix), written over OSC: on the PHONES
// submix the MAIN playback is closed and the PHONES playback opened at 0.82, on the MAIN submix
// the reverse. A pair whose first output channel is c is submix c / 2 and playback fader c / 2 + 1.
//
// Pure functions; any thread.

#include <QString>
#include <vector>

namespace quellor {

class TotalMixOSC {
public:
    // Where TotalMix listens for OSC on the same machine.
    static constexpr const char* kHost = "127.0.0.1";
    static constexpr quint16 kPort = 7001;
    // The pause after each message of a routing write.
    static constexpr double kMessageInterval = 0.08;

    struct Command {
        QString path;
        float value = 0;
        bool operator==(const Command&) const = default;
    };

    // The eight messages, in sending order, for a MAIN pair starting at channel `mainOffset` and a
    // PHONES pair starting at `phonesOffset` (0-based).
    static std::vector<Command> defaultRoutingCommands(int mainOffset, int phonesOffset);
    // An interface that TotalMix drives: a UID beginning with "RMEUSBDevice", or a name holding
    // "rme", "babyface" or "fireface" in any capitals.
    static bool isTotalMixDevice(const QString& uid, const QString& name);
    // The name holds "babyface pro" in any capitals.
    static bool isBabyfaceProName(const QString& name);
};

}  // namespace quellor
