#include <QJsonObject>

#include "RecordPrinting.h"
#include "TestEnvironment.h"
#include "base/JsonDefaults.h"
#include "engine/MixSnapshot.h"
#include "engine/SnapshotStore.h"

namespace quellor {

void PrintTo(const MixSnapshot& v, std::ostream* os) { test::printAsJson(v, os); }

namespace {

const QUuid kId("{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}");
const QDateTime kSecondDayOf2001(QDate(2001, 1, 2), QTime(0, 0, 1, 500), Qt::UTC);  // 86401.5 s

MixSnapshot scene(std::optional<float> main, std::optional<float> phones) {
    MixSnapshot s;
    s.id = kId;
    s.name = "Scene 1";
    s.volumes = {{"com.example.player", AppVolume{0.5f, true, {"USB-1"}, false, 1.0f}}};
    s.mainLevel = main;
    s.phonesLevel = phones;
    s.savedAt = kSecondDayOf2001;
    return s;
}

TEST(MixSnapshot, WritesUuidTextAnd2001SecondsAndLevelsOnlyWhenPresent) {
    auto full = json::toJson(scene(0.8f, 0.6f)).toObject();
    EXPECT_EQ(full.value("id"), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(full.value("savedAt"), 86401.5);
    EXPECT_EQ(json::encodeValue(full.value("mainLevel")), QByteArray("0.8"));
    EXPECT_EQ(json::decode<MixSnapshot>(*json::encode(scene(0.8f, 0.6f))), scene(0.8f, 0.6f));

    auto bare = json::toJson(scene(std::nullopt, std::nullopt)).toObject();
    EXPECT_EQ(bare.keys(), (QStringList{"id", "name", "savedAt", "volumes"}));
    EXPECT_EQ(json::fromJson<MixSnapshot>(bare), scene(std::nullopt, std::nullopt));
}

TEST(MixSnapshot, SnapshotsDifferingOnlyInSavedAtAreNotEqual) {
    auto later = scene(0.8f, std::nullopt);
    later.savedAt = later.savedAt.addMSecs(1);
    EXPECT_NE(later, scene(0.8f, std::nullopt));
    EXPECT_NE(MixSnapshot(), MixSnapshot());  // each new snapshot has its own id
}

class SnapshotStoreTest : public test::QuellorTest {
protected:
    std::vector<MixSnapshot> loadStored(const QByteArray& data) {
        defaults().setData("mixSnapshots", data);
        return SnapshotStore().loadSnapshots();
    }
};

TEST_F(SnapshotStoreTest, ReadsTheStoredListInOrderOrNothingWhenAnyElementIsBad) {
    const QByteArray good =
        R"({"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","name":"Scene 1","savedAt":86401.5,"mainLevel":0.8,)"
        R"("phonesLevel":null,"volumes":{"com.example.player":{"volume":0.5,"isMuted":true,"outputDeviceUID":"USB-1"}}})";
    const QByteArray second =
        R"({"id":"00000000-0000-0000-0000-000000000001","name":"Scene 2","savedAt":-1,"volumes":{}})";
    struct Case {
        QByteArray element;
        const char* what;
    };
    const Case bad[] = {
        {R"({"id":"00000000-0000-0000-0000-000000000001","name":"Scene 2","volumes":{}})", "no savedAt"},
        {R"({"id":"00000000-0000-0000-0000-000000000001","name":"Scene 2","savedAt":"2024-01-01","volumes":{}})",
         "date as text"},
        {R"({"id":"not-a-uuid","name":"Scene 2","savedAt":0,"volumes":{}})", "bad id"},
        {R"({"id":"00000000-0000-0000-0000-000000000001","savedAt":0,"volumes":{}})", "no name"},
        {R"({"id":"00000000-0000-0000-0000-000000000001","name":"Scene 2","savedAt":0,"volumes":null})",
         "null volumes"},
        {R"({"id":"00000000-0000-0000-0000-000000000001","name":"Scene 2","savedAt":0,"mainLevel":"high","volumes":{}})",
         "level as text"},
        {R"({"id":"00000000-0000-0000-0000-000000000001","name":"Scene 2","savedAt":0,"volumes":{"a":{"volume":"0"}}})",
         "bad record inside"},
    };

    auto list = loadStored("[" + good + "," + second + "]");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], scene(0.8f, std::nullopt));  // the legacy record reads as one output
    EXPECT_EQ(list[1].name, "Scene 2");
    EXPECT_EQ(list[1].savedAt, QDateTime(QDate(2000, 12, 31), QTime(23, 59, 59), Qt::UTC));

    for (const auto& c : bad) {
        const QByteArray stored = "[" + good + "," + c.element + "]";
        EXPECT_TRUE(loadStored(stored).empty()) << c.what;
        EXPECT_EQ(defaults().dataValue("mixSnapshots"), stored);
    }
    EXPECT_TRUE(loadStored("{}").empty());
    EXPECT_TRUE(logs.records().empty());
}

TEST_F(SnapshotStoreTest, UsesItsKeyInTheGivenDefaults) {
    UserDefaults other;
    SnapshotStore store(other);
    EXPECT_EQ(store.key(), "mixSnapshots");
    EXPECT_TRUE(store.loadSnapshots().empty());
    JsonDefaults::save(std::vector<MixSnapshot>{scene(std::nullopt, 0.5f)}, store.key(), other);
    EXPECT_EQ(store.loadSnapshots(), std::vector<MixSnapshot>{scene(std::nullopt, 0.5f)});
    EXPECT_TRUE(SnapshotStore().loadSnapshots().empty());  // the standard defaults hold nothing
}

}  // namespace
}  // namespace quellor
