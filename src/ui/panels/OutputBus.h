#pragma once
// The two output buses of the mixer. MAIN is the system's default output device; PHONES is a
// second stereo pair on the same interface, present only while the engine has a PHONES bus for the
// current default output. A bus names the card that shows it, the zone a dragged device is over and
// the keys of the bus drop zones.
//
// Values only; any thread.

#include <QString>
#include <array>
#include <optional>

namespace quellor {

// Declared in the order every list of buses keeps: MAIN before PHONES.
enum class OutputBus { Main, Phones };

inline constexpr std::array<OutputBus, 2> kAllOutputBuses{OutputBus::Main, OutputBus::Phones};

QString rawValue(OutputBus bus);  // "main", "phones"
// Exactly "main" or "phones": no other capitals, no surrounding spaces.
std::optional<OutputBus> outputBusFromRawValue(const QString& raw);
// How views spell the bus: "MAIN", "PHONES".
QString displayName(OutputBus bus);
// The route id of the bus level, which MIDI learns and OSC addresses: "bus:main", "bus:phones".
QString routeID(OutputBus bus);

// Hashes as the raw value does, so a bus and its raw text land in the same bucket.
size_t qHash(OutputBus bus, size_t seed = 0);

}  // namespace quellor
