#include "platform/AlsaMIDIService.h"

#include <QFileInfo>
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
