#include <gtest/gtest.h>

#include "engine/RouteID.h"

namespace quellor {
namespace {

TEST(RouteID, NamesWhatEachIdMoves) {
    using K = RouteID::Kind;
    const std::vector<std::pair<QString, RouteID>> cases = {
        {"system_output", {K::OutputVolume, ""}},
        {"bus:main", {K::OutputVolume, ""}},
        {"system_input", {K::InputVolume, ""}},
        {"bus:phones", {K::PhonesBus, ""}},
        {"device:USB-1:2", {K::Device, "USB-1:2"}},
        {"device:", {K::Device, ""}},
        {"transport:record", {K::Record, ""}},
        {"cue:com.example.player", {K::Cue, "com.example.player"}},
        {"com.example.player", {K::Application, "com.example.player"}},
        {"bus:other", {K::Application, "bus:other"}},
        {"Device:X", {K::Application, "Device:X"}},
        {"", {K::Application, ""}},
    };
    for (const auto& [id, expected] : cases) EXPECT_EQ(RouteID::parse(id), expected) << id.toStdString();
}

}  // namespace
}  // namespace quellor
