#include "ui/panels/OutputBus.h"

#include <QHash>

#include "engine/RouteID.h"

namespace quellor {

QString rawValue(OutputBus bus) {
    return bus == OutputBus::Main ? QStringLiteral("main") : QStringLiteral("phones");
}

std::optional<OutputBus> outputBusFromRawValue(const QString& raw) {
    for (OutputBus bus : kAllOutputBuses)
        if (rawValue(bus) == raw) return bus;
    return std::nullopt;
}

QString displayName(OutputBus bus) { return rawValue(bus).toUpper(); }

QString routeID(OutputBus bus) { return bus == OutputBus::Main ? RouteID::kMainBus : RouteID::kPhonesBus; }

size_t qHash(OutputBus bus, size_t seed) { return qHash(rawValue(bus), seed); }

}  // namespace quellor
