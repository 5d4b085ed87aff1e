#include "platform/AlsaMIDIService.h"

#include <QFileInfo>
#include <alsa/asoundlib.h>
#include <set>

#include "TestEnvironment.h"

namespace quellor {
namespace {

using Names = std::vector<AlsaMIDIService::PortName>;

TEST(AlsaMIDIServiceIDs, DependOnNamesOnlySoABindingSurvivesReconnectionAndRestart) {
    const AlsaMIDIService::PortName keys{"nanoKONTROL2", "nanoKONTROL2 _ CTRL"};
    const AlsaMIDIService::PortName pads{"LPD8", "LPD8 MIDI 1"};
    const AlsaMIDIService::PortName through{"Midi Through", "Midi Through Port-0"};

    auto alone = AlsaMIDIService::deriveUniqueIDs({keys});
    // Other devices around it, in any order (client numbers are assigned by plug-in order).
    auto withOthers = AlsaMIDIService::deriveUniqueIDs({through, pads, keys});
    auto reordered = AlsaMIDIService::deriveUniqueIDs({keys, through});
    EXPECT_EQ(alone[0], withOthers[2]);
    EXPECT_EQ(alone[0], reordered[0]);

    // Different client or port names are different sources.
    auto all = AlsaMIDIService::deriveUniqueIDs({keys, pads, through, {"nanoKONTROL2", "other port"}});
    std::set<std::int32_t> distinct(all.begin(), all.end());
    EXPECT_EQ(distinct.size(), all.size());
}

TEST(AlsaMIDIServiceIDs, TwoControllersOfOneModelGetTwoIDs) {
    const AlsaMIDIService::PortName pads{"LPD8", "LPD8 MIDI 1"};
    auto ids = AlsaMIDIService::deriveUniqueIDs({pads, {"Midi Through", "Midi Through Port-0"}, pads});
    EXPECT_NE(ids[0], ids[2]);
    // The first of them keeps the id it has when alone.
    EXPECT_EQ(ids[0], AlsaMIDIService::deriveUniqueIDs({pads})[0]);
}

TEST(AlsaMIDIServiceEvents, ControlChangesBecomePacketsAndAnnouncementsNotifications) {
    constexpr int kOwnClient = 128, kInputPort = 1;
    // A controller event from client 20 port 0 to `port`.
    auto controller = [](int port, int channel, unsigned param, int value) {
        snd_seq_event_t ev{};
        ev.type = SND_SEQ_EVENT_CONTROLLER;
        ev.source = {20, 0};
        ev.dest = {kOwnClient, static_cast<unsigned char>(port)};
        ev.data.control.channel = static_cast<unsigned char>(channel);
        ev.data.control.param = param;
        ev.data.control.value = value;
        return ev;
    };
    // An announcement of the system about `client`.
    auto announcement = [](snd_seq_event_type_t type, int client) {
        snd_seq_event_t ev{};
        ev.type = type;
        ev.source = {SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE};
        ev.data.addr = {static_cast<unsigned char>(client), 0};
        return ev;
    };
    snd_seq_event_t note = controller(kInputPort, 0, 60, 100);
    note.type = SND_SEQ_EVENT_NOTEON;

    using D = AlsaMIDIService::Decoded;
    struct Case {
        const char* what;
        snd_seq_event_t event;
        std::optional<D> decoded;
    };
    // A packet word: type 2, status 0xB, then channel, controller number and value.
    const Case cases[] = {
        {"controller 7 = 100 on channel 3", controller(kInputPort, 3, 7, 100), D{0, 20, 0, 0x20B30764}},
        {"controller 100 = 7 on channel 15", controller(kInputPort, 15, 100, 7), D{0, 20, 0, 0x20BF6407}},
        {"out-of-range number and value are clamped", controller(kInputPort, 0, 300, -5), D{0, 20, 0, 0x20B07F00}},
        {"a controller sent to another port", controller(kInputPort + 1, 0, 7, 100), std::nullopt},
        {"a note", note, std::nullopt},
        {"a port came", announcement(SND_SEQ_EVENT_PORT_START, 20), D{MIDIService::ObjectAdded}},
        {"a client went", announcement(SND_SEQ_EVENT_CLIENT_EXIT, 20), D{MIDIService::ObjectRemoved}},
        {"a port changed", announcement(SND_SEQ_EVENT_PORT_CHANGE, 20), D{MIDIService::SetupChanged}},
        {"our own port came", announcement(SND_SEQ_EVENT_PORT_START, kOwnClient), std::nullopt},
        {"a subscription", announcement(SND_SEQ_EVENT_PORT_SUBSCRIBED, 20), std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(AlsaMIDIService::decode(c.event, kOwnClient, kInputPort), c.decoded) << c.what;
}

TEST(AlsaMIDIService, WithoutASequencerTheClientFailsCleanly) {
    if (QFileInfo::exists("/dev/snd/seq")) GTEST_SKIP() << "this machine has an ALSA sequencer";
    AlsaMIDIService service;
    int notified = 0;
    MIDIService::Ref client = 0;
    MIDIService::Status status = service.createClient("QuellorMIDIClient", [&](int) { ++notified; }, &client);
    EXPECT_LT(status, 0);
    EXPECT_EQ(client, 0u);
    MIDIService::Ref port = 0;
    EXPECT_NE(service.createInputPort(client, "QuellorMIDIInputPort", {}, &port), 0);
    EXPECT_EQ(service.sourceCount(), 0);
    EXPECT_EQ(service.source(0), 0u);
    service.disposeClient(client);  // harmless
    EXPECT_EQ(notified, 0);
}

}  // namespace
}  // namespace quellor
