#include "engine/RouteID.h"

namespace quellor {

RouteID RouteID::parse(const QString& id) {
    if (id == kSystemOutput || id == kMainBus) return {Kind::OutputVolume, {}};
    if (id == kSystemInput) return {Kind::InputVolume, {}};
    if (id == kPhonesBus) return {Kind::PhonesBus, {}};
    if (id == kRecordTransport) return {Kind::Record, {}};
    if (id.startsWith(kDevicePrefix)) return {Kind::Device, id.mid(kDevicePrefix.size())};
    if (id.startsWith(kCuePrefix)) return {Kind::Cue, id.mid(kCuePrefix.size())};
    return {Kind::Application, id};
}

}  // namespace quellor
