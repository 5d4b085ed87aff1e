#include "RecordPrinting.h"
#include "TestEnvironment.h"
#include "base/JsonDefaults.h"
#include "engine/BusPairing.h"

namespace quellor {

void PrintTo(const BusPairing& v, std::ostream* os) { test::printAsJson(v, os); }

namespace {

class BusPairingTest : public test::QuellorTest {};

TEST_F(BusPairingTest, EncodesBothOffsetsByName) {
    EXPECT_EQ(json::encode(BusPairing{0, 2}), QByteArray(R"({"mainOffset":0,"phonesOffset":2})"));
}

TEST_F(BusPairingTest, AStoredMapDecodesOnlyWhenEveryEntryHasBothOffsets) {
    struct Case {
        const char* json;
        std::optional<BusPairingMap> expected;
    };
    const Case cases[] = {
        {R"({"UID-A":{"mainOffset":0,"phonesOffset":2},"UID-B":{"mainOffset":4,"phonesOffset":6,"x":1}})",
         BusPairingMap{{"UID-A", {0, 2}}, {"UID-B", {4, 6}}}},
        {R"({})", BusPairingMap{}},
        {R"({"UID-A":{"mainOffset":0,"phonesOffset":2},"UID-B":{"mainOffset":4}})", std::nullopt},
        {R"({"UID-A":{"mainOffset":0,"phonesOffset":null}})", std::nullopt},
        {R"({"UID-A":{"mainOffset":0,"phonesOffset":2.5}})", std::nullopt},
        {R"({"UID-A":{"mainOffset":"0","phonesOffset":2}})", std::nullopt},
    };
    for (const auto& c : cases) {
        defaults().setData("busPairings", c.json);
        EXPECT_EQ(JsonDefaults::load<BusPairingMap>("busPairings"), c.expected) << c.json;
    }
}

}  // namespace
}  // namespace quellor
