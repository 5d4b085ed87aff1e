#include "TestEnvironment.h"
#include "audio/DevicePriorityStore.h"
#include "audio/DeviceRanking.h"

namespace quellor {
namespace {

AudioDevice device(const QString& uid, const QString& name) {
    AudioDevice d;
    d.uid = uid;
    d.name = name;
    return d;
}

QStringList uids(const std::vector<AudioDevice>& devices) {
    QStringList result;
    for (const auto& d : devices) result.append(d.uid);
    return result;
}

QStringList split(const char* text) { return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts); }

class DeviceRankingTest : public test::QuellorTest {};

TEST_F(DeviceRankingTest, RankedDevicesComeFirstThenTheRestByNameIgnoringCase) {
    DeviceRanking ranking{split("r2 gone r1"), {}};
    auto sorted = ranking.sorted({device("b", "Beta"), device("r1", "Aardvark"), device("a", "alpha"),
                                  device("A", "Alpha"), device("r2", "Zulu"), device("c", "alpha 2")});
    // Equal names keep their incoming order.
    EXPECT_EQ(uids(sorted), split("r2 r1 a A c b"));
}

TEST_F(DeviceRankingTest, MergedOrderRedistributesOnlyTheVisiblePlaces) {
    struct Case {
        const char* order;
        const char* visible;
        const char* expected;
    } cases[] = {
        {"A X B", "B A", "B X A"},          // X is hidden and keeps its place
        {"A X B", "N B A", "N X B A"},      // N is new: appended first, then redistributed
        {"", "B A", "B A"},
        {"A X", "", "A X"},
        {"A X A B", "B A", "B X A"},        // a UID stored twice counts once
        {"A X B", "B B A", "B X A"},        // a UID shown twice counts once
    };
    for (const Case& c : cases) {
        DeviceRanking ranking{split(c.order), {}};
        EXPECT_EQ(ranking.mergedOrder(split(c.visible)), split(c.expected)) << c.order << " / " << c.visible;
    }
}

TEST_F(DeviceRankingTest, PolicyNamesOnlyArmedRankedDevices) {
    using Reason = DeviceRanking::Reason;
    using D = std::optional<DeviceRanking::Decision>;
    auto some = [](const char* uid, Reason r) { return D(DeviceRanking::Decision{QString::fromLatin1(uid), r}); };
    std::optional<QString> none;
    auto uid = [](const char* u) { return std::optional<QString>(QString::fromLatin1(u)); };
    struct Case {
        const char* name;
        const char* order;
        const char* armed;
        const char* previous;
        const char* current;
        std::optional<QString> lastDefault, currentDefault;
        D expected;
    } cases[] = {
        {"default gone, best armed one named", "A B C", "B C", "A B C", "C B", uid("A"), uid("C"),
         some("B", Reason::DefaultDisappeared)},
        {"default gone, nothing armed present", "A B", "A", "A B", "B", uid("A"), uid("B"), D()},
        {"default gone, best already default", "A B C", "B C", "A B C", "B C", uid("A"), uid("B"), D()},
        {"default gone, no default now", "A B", "B", "A B", "B", uid("A"), none, some("B", Reason::DefaultDisappeared)},
        {"newcomer above default", "N D", "N", "D", "D N", uid("D"), uid("D"), some("N", Reason::HigherPriorityConnected)},
        {"newcomer below default", "D N", "N", "D", "D N", uid("D"), uid("D"), D()},
        {"newcomer, default unranked", "N", "N", "D", "D N", uid("D"), uid("D"), some("N", Reason::HigherPriorityConnected)},
        {"newcomer never dragged", "N D", "", "D", "D N", uid("D"), uid("D"), D()},
        {"two newcomers together", "N M D", "N M", "D", "D N M", uid("D"), uid("D"), D()},
        {"newcomer, no default", "N D", "N", "D", "D N", uid("D"), none, D()},
        {"armed but unranked newcomer", "D", "N", "D", "D N", uid("D"), uid("D"), D()},
    };
    for (const Case& c : cases) {
        QStringList armed = split(c.armed);
        QStringList previous = split(c.previous);
        DeviceRanking ranking{split(c.order), QSet<QString>(armed.begin(), armed.end())};
        EXPECT_EQ(ranking.policyDecision(split(c.current), QSet<QString>(previous.begin(), previous.end()),
                                         c.lastDefault, c.currentDefault),
                  c.expected)
            << c.name;
    }
}

TEST_F(DeviceRankingTest, StoreKeepsOrderAndSortedArmedSetAsJsonArrays) {
    DevicePriorityStore store{QStringLiteral("devicePriority"), defaults()};
    EXPECT_TRUE(store.loadOrder().isEmpty());
    store.saveOrder(split("b a c"));
    store.saveArmed({QStringLiteral("c"), QStringLiteral("a")});
    EXPECT_EQ(defaults().dataValue(QStringLiteral("devicePriority")), QByteArray(R"(["b","a","c"])"));
    EXPECT_EQ(defaults().dataValue(QStringLiteral("devicePriorityArmed")), QByteArray(R"(["a","c"])"));
    EXPECT_EQ(store.loadOrder(), split("b a c"));
    EXPECT_EQ(store.loadArmed(), (QSet<QString>{QStringLiteral("a"), QStringLiteral("c")}));

    for (QByteArray unreadable : {QByteArray("not json"), QByteArray(R"({"a":1})"), QByteArray(R"(["a",2])")}) {
        defaults().setData(QStringLiteral("devicePriority"), unreadable);
        EXPECT_TRUE(store.loadOrder().isEmpty()) << unreadable.constData();
    }
    defaults().setString(QStringLiteral("devicePriority"), QStringLiteral(R"(["a"])"));
    EXPECT_TRUE(store.loadOrder().isEmpty());
}

}  // namespace
}  // namespace quellor
