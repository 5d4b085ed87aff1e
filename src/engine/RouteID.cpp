#include "engine/RouteID.h"

namespace quellor {

RouteID RouteID::parse(const QString& id) {
    if (id == u"system_output" || id == u"bus:main") return {Kind::OutputVolume, {}};
    if (id == u"system_input") return {Kind::InputVolume, {}};
    if (id == u"bus:phones") return {Kind::PhonesBus, {}};
    if (id == u"transport:record") return {Kind::Record, {}};
    if (id.startsWith(u"device:")) return {Kind::Device, id.mid(7)};
    if (id.startsWith(u"cue:")) return {Kind::Cue, id.mid(4)};
    return {Kind::Application, id};
}

}  // namespace quellor
