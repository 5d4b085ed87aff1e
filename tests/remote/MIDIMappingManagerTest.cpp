#include "remote/MIDIMappingManager.h"

#include <QJsonDocument>
#include <QSignalSpy>

#include "TestEnvironment.h"

namespace quellor {
namespace {

const MIDISource kControllerA{100, true};
const MIDISource kControllerB{200, true};
const MIDISource kSoftware{300, false};

class MIDIMappingManagerTest : public test::QuellorTest {
protected:
    QJsonObject stored() const {
        auto data = defaults_->dataValue("midiMappings");
        return data ? QJsonDocument::fromJson(*data).object() : QJsonObject();
    }
    static QJsonObject object(const char* json) { return QJsonDocument::fromJson(json).object(); }
};

TEST_F(MIDIMappingManagerTest, LearningGivesOneNumberPerTargetAndOneTargetPerNumber) {
    MIDIMappingManager m(defaults());
    m.assign(7, kControllerA, "com.example.player");
    QSignalSpy learning(&m, &MIDIMappingManager::learningTargetChanged);

    m.setLearningTarget("bus:main");
    m.setLearningTarget("bus:main");
    EXPECT_EQ(learning.count(), 1);
    EXPECT_FALSE(m.routeForControl(7, kControllerA)) << "learning moves nothing";
    EXPECT_FALSE(m.learningTarget());
    EXPECT_EQ(learning.count(), 2);
    EXPECT_EQ(m.mappings(), (MIDIMappingManager::Mappings{{"7", {"bus:main", 100}}}));
    EXPECT_TRUE(logs.contains("MIDIMappingManager", LogLevel::Info, "Määritetty MIDI CC 7 (lähde 100) -> bus:main"));

    m.setLearningTarget("bus:main");
    m.routeForControl(9, kControllerB);
    EXPECT_EQ(m.mappings(), (MIDIMappingManager::Mappings{{"9", {"bus:main", 200}}}));
    EXPECT_EQ(m.ccNumber("bus:main"), 9);
    EXPECT_FALSE(m.ccNumber("com.example.player"));

    // Learnt from OSC: no source, unbound.
    m.setLearningTarget("cue:com.example.player");
    m.routeForControl(12, std::nullopt);
    EXPECT_EQ(m.mappings().at("12"), (MIDIMapping{"cue:com.example.player", std::nullopt}));
    EXPECT_TRUE(logs.contains("MIDIMappingManager", LogLevel::Info,
                              "Määritetty MIDI CC 12 (lähde 0) -> cue:com.example.player"));

    m.clearMapping("bus:main");
    EXPECT_EQ(m.count(), 1u);
    EXPECT_EQ(stored(), object(R"({"12": {"target": "cue:com.example.player"}})"));
}

TEST_F(MIDIMappingManagerTest, AControlMovesItsTargetOnlyFromItsOwnSource) {
    MIDIMappingManager m(defaults());
    m.assign(7, kControllerA, "bus:main");
    EXPECT_EQ(m.routeForControl(7, kControllerA), "bus:main");
    EXPECT_FALSE(m.routeForControl(7, kControllerB));
    EXPECT_EQ(m.routeForControl(7, std::nullopt), "bus:main") << "an OSC control has no source";
    EXPECT_FALSE(m.routeForControl(8, kControllerA));
}

TEST_F(MIDIMappingManagerTest, AnUnboundMappingBindsToTheFirstHardwareSourceThatUsesIt) {
    MIDIMappingManager m(defaults());
    m.assign(7, std::nullopt, "system_output");
    EXPECT_EQ(m.target(7, std::nullopt), "system_output");
    EXPECT_FALSE(m.target(7, kSoftware));
    EXPECT_EQ(m.mappings().at("7").sourceID, std::nullopt) << "a virtual source binds nothing";

    QSignalSpy changed(&m, &MIDIMappingManager::mappingsChanged);
    EXPECT_EQ(m.target(7, kControllerB), "system_output");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(stored(), object(R"({"7": {"target": "system_output", "sourceID": 200}})"));
    EXPECT_TRUE(logs.contains("MIDIMappingManager", LogLevel::Info, "MIDI CC 7 sidottu lähteeseen 200"));
    EXPECT_FALSE(m.target(7, kControllerA));
}

TEST_F(MIDIMappingManagerTest, MappingsAreReadBackAfterARestart) {
    {
        MIDIMappingManager m(defaults());
        m.assign(7, kControllerA, "bus:main");
        m.assign(64, MIDISource{-5, true}, "device:USB-1234");
        m.assign(1, std::nullopt, "transport:record");
    }
    EXPECT_EQ(stored(), object(R"({"7": {"target": "bus:main", "sourceID": 100},
                                   "64": {"target": "device:USB-1234", "sourceID": -5},
                                   "1": {"target": "transport:record"}})"));
    MIDIMappingManager again(defaults());
    EXPECT_EQ(again.mappings(), (MIDIMappingManager::Mappings{{"7", {"bus:main", 100}},
                                                              {"64", {"device:USB-1234", -5}},
                                                              {"1", {"transport:record", std::nullopt}}}));
    EXPECT_EQ(again.routeForControl(7, kControllerA), "bus:main");
}

TEST_F(MIDIMappingManagerTest, TheOlderDictionaryIsMigratedOnceAndBindsOnFirstUse) {
    defaults().setDictionary("midiMappings", {{"7", "system_output"}, {"9", "bus:phones"}});
    {
        MIDIMappingManager m(defaults());
        EXPECT_EQ(m.mappings(), (MIDIMappingManager::Mappings{{"7", {"system_output", std::nullopt}},
                                                              {"9", {"bus:phones", std::nullopt}}}));
        EXPECT_EQ(stored(), object(R"({"7": {"target": "system_output"}, "9": {"target": "bus:phones"}})"));
        EXPECT_TRUE(logs.contains("MIDIMappingManager", LogLevel::Info,
                                  "Migratoitu 2 MIDI-kartoitusta lähdetietoiseen muotoon"));
        EXPECT_EQ(m.routeForControl(7, kControllerA), "system_output");
    }
    MIDIMappingManager again(defaults());
    EXPECT_EQ(again.mappings().at("7"), (MIDIMapping{"system_output", 100}));
    EXPECT_EQ(logs.count("Migratoitu 2 MIDI-kartoitusta lähdetietoiseen muotoon"), 1);
}

TEST_F(MIDIMappingManagerTest, UnreadableStoredMappingsGiveNoneAndStayUntilTheNextSave) {
    struct Case {
        const char* name;
        QVariant value;
    };
    const std::vector<Case> cases = {
        {"not JSON", QByteArray("{\"7\": {\"target\"")},
        {"JSON array", QByteArray("[]")},
        {"target not a string", QByteArray(R"({"7": {"target": 7}})")},
        {"target missing", QByteArray(R"({"7": {"sourceID": 1}})")},
        {"sourceID a string", QByteArray(R"({"7": {"target": "bus:main", "sourceID": "100"}})")},
        {"sourceID a fraction", QByteArray(R"({"7": {"target": "bus:main", "sourceID": 1.5}})")},
        {"sourceID beyond 32 bits", QByteArray(R"({"7": {"target": "bus:main", "sourceID": 4294967296}})")},
        {"older dictionary with a non-string", QVariantMap{{"7", "bus:main"}, {"8", 3}}},
        {"a plain string", QString("bus:main")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        defaults().setValue("midiMappings", c.value);
        logs.clear();
        MIDIMappingManager m(defaults());
        EXPECT_EQ(m.count(), 0u);
        EXPECT_EQ(defaults().value("midiMappings"), c.value);
        EXPECT_TRUE(logs.records().empty());
    }
    // A null sourceID is an absent one.
    defaults().setData("midiMappings", R"({"7": {"target": "bus:main", "sourceID": null}})");
    EXPECT_EQ(MIDIMappingManager(defaults()).mappings().at("7"), (MIDIMapping{"bus:main", std::nullopt}));
}

TEST(MIDIMappingFaderValue, ClampsAndScales) {
    const std::vector<std::pair<int, float>> cases = {
        {127, 1.0f}, {64, 64.0f / 127.0f}, {0, 0.0f}, {200, 1.0f}, {-5, 0.0f}};
    for (auto [midi, fader] : cases) EXPECT_EQ(MIDIMappingManager::faderValue(midi), fader) << midi;
}

}  // namespace
}  // namespace quellor
