#include <QJsonArray>
#include <cmath>
#include <limits>

#include "TestEnvironment.h"
#include "base/JsonCoding.h"
#include "base/JsonDefaults.h"

namespace quellor {
namespace {

QJsonValue parsed(const char* text) { return json::parseValue(text).value(); }

TEST(JsonCoding, ScalarsDecodeOnlyFromTheirOwnType) {
    EXPECT_EQ(json::fromJson<int>(parsed("2")), 2);
    EXPECT_EQ(json::fromJson<int>(parsed("2.0")), 2);
    EXPECT_EQ(json::fromJson<int>(parsed("2.5")), std::nullopt);
    EXPECT_EQ(json::fromJson<int>(parsed("3000000000")), std::nullopt);
    EXPECT_EQ(json::fromJson<int>(parsed("\"2\"")), std::nullopt);
    EXPECT_EQ(json::fromJson<int>(parsed("null")), std::nullopt);
    EXPECT_EQ(json::fromJson<qint64>(parsed("9007199254740993")), 9007199254740993LL);
    EXPECT_EQ(json::fromJson<bool>(parsed("1")), std::nullopt);
    EXPECT_EQ(json::fromJson<float>(parsed("0.1")), 0.1f);
    EXPECT_EQ(json::fromJson<float>(parsed("1e300")), std::nullopt);  // not read as infinity
    EXPECT_EQ(json::fromJson<QString>(parsed("5")), std::nullopt);
    EXPECT_EQ(json::fromJson<QDateTime>(parsed("1e20")), std::nullopt);
    EXPECT_EQ(json::fromJson<QUuid>(parsed("\"e621e1f8-c36c-495a-93fc-0c247a3e6e5f\"")),
              QUuid("{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}"));
    EXPECT_EQ(json::fromJson<QUuid>(parsed("\"e621e1f8\"")), std::nullopt);
}

TEST(JsonCoding, OneBadElementFailsTheWholeContainer) {
    EXPECT_EQ(json::fromJson<std::vector<int>>(parsed("[1,2,3]")), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(json::fromJson<std::vector<int>>(parsed("[1,\"2\",3]")), std::nullopt);
    EXPECT_EQ(json::fromJson<QStringList>(parsed("[\"a\",null]")), std::nullopt);
    EXPECT_EQ(json::fromJson<std::vector<int>>(parsed("{}")), std::nullopt);
    using Map = QMap<QString, std::vector<float>>;
    EXPECT_EQ(json::fromJson<Map>(parsed(R"({"a":[0.5],"b":[]})")), (Map{{"a", {0.5f}}, {"b", {}}}));
    EXPECT_EQ(json::fromJson<Map>(parsed(R"({"a":[0.5],"b":[true]})")), std::nullopt);
    EXPECT_EQ(json::fromJson<Map>(parsed("[]")), std::nullopt);
}

TEST(JsonCoding, ScalarRootsRoundTrip) {
    EXPECT_EQ(json::encode(0.3f), QByteArray("0.3"));
    EXPECT_EQ(json::decode<float>("0.3"), 0.3f);
    EXPECT_EQ(json::encode(QString("a\"b")), QByteArray(R"("a\"b")"));
    EXPECT_EQ(json::decode<QString>(R"("a\"b")"), QString("a\"b"));
    EXPECT_EQ(json::decode<int>("[1]"), std::nullopt);
    EXPECT_EQ(json::decode<int>("1 2"), std::nullopt);
}

class JsonDefaultsTest : public test::QuellorTest {};

TEST_F(JsonDefaultsTest, LoadsWhatWasSavedAndNothingForMissingOrUndecodableData) {
    using Priorities = std::map<QString, QStringList>;
    const Priorities value{{"order", {"B", "A"}}, {"armed", {}}};
    EXPECT_TRUE(JsonDefaults::save(value, "devicePriority"));
    EXPECT_EQ(defaults().dataValue("devicePriority"), QByteArray(R"({"armed":[],"order":["B","A"]})"));
    EXPECT_EQ(JsonDefaults::load<Priorities>("devicePriority"), value);

    EXPECT_EQ(JsonDefaults::load<Priorities>("absent"), std::nullopt);
    defaults().setData("garbage", "{not json");
    EXPECT_EQ(JsonDefaults::load<Priorities>("garbage"), std::nullopt);
    defaults().setData("otherShape", R"({"order":"B"})");
    EXPECT_EQ(JsonDefaults::load<Priorities>("otherShape"), std::nullopt);
    defaults().setString("notData", R"({"order":["B"]})");
    EXPECT_EQ(JsonDefaults::load<Priorities>("notData"), std::nullopt);
    EXPECT_TRUE(logs.records().empty());
}

TEST_F(JsonDefaultsTest, AValueWithANonFiniteNumberKeepsThePreviousBytesAndLogs) {
    UserDefaults other;
    JsonDefaults::save(std::vector<float>{0.5f}, "levels", other);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        EXPECT_FALSE(JsonDefaults::save(std::map<QString, std::vector<float>>{{"deep", {0.1f, bad}}}, "levels", other));
        EXPECT_EQ(other.dataValue("levels"), QByteArray("[0.5]"));
    }
    EXPECT_EQ(logs.count("Failed to encode levels; not persisted"), 2);
    EXPECT_TRUE(logs.contains("JSONDefaults", LogLevel::Error, "Failed to encode levels; not persisted"));
    EXPECT_FALSE(defaults().contains("levels"));  // the given defaults, not the standard ones
}

}  // namespace
}  // namespace quellor
